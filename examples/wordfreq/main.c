/* wordfreq [-n COUNT] [FILE]...: the COUNT (default 10) most frequent words
   of the files, or of standard input. */
#include "table.h"
#include "words.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int count_file(struct table *table, FILE *in) {
  char word[64];
  while (next_word(in, word, sizeof word) > 0) {
    if (!table_add(table, word)) return 0;
  }
  return 1;
}

static int count_named(struct table *table, const char *name) {
  FILE *in = fopen(name, "r");
  int ok;
  if (!in) {
    fprintf(stderr, "wordfreq: cannot open %s\n", name);
    return 0;
  }
  ok = count_file(table, in);
  fclose(in);
  return ok;
}

int main(int argc, char **argv) {
  struct table table;
  size_t shown = 10, used, i;
  int first = 1, status = 0;
  if (argc > 2 && strcmp(argv[1], "-n") == 0) {
    shown = (size_t)strtoul(argv[2], NULL, 10);
    first = 3;
  }
  if (!table_init(&table, 64)) return 2;
  if (first == argc && !count_file(&table, stdin)) status = 2;
  for (i = (size_t)first; i < (size_t)argc; i++) {
    if (!count_named(&table, argv[i])) status = 1;
  }
  used = table_sort(&table);
  for (i = 0; i < used && i < shown; i++) {
    printf("%7u %s\n", table.entries[i].count, table.entries[i].word);
  }
  table_free(&table);
  return status;
}
