#include "words.h"

#include <ctype.h>

static int is_word_char(int c) { return isalnum(c) || c == '\''; }

size_t next_word(FILE *in, char *word, size_t size) {
  size_t length = 0;
  int c;
  while ((c = getc(in)) != EOF && !is_word_char(c)) {
  }
  while (c != EOF && is_word_char(c)) {
    if (length + 1 < size) word[length++] = (char)tolower(c);
    c = getc(in);
  }
  word[length] = '\0';
  return length;
}
