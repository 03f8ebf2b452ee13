#ifndef WORDS_H
#define WORDS_H

#include <stdio.h>

/* Reads the next word (letters, digits and apostrophes, lower-cased) of
   `in` into `word`; returns its length, 0 at the end of the input. */
size_t next_word(FILE *in, char *word, size_t size);

#endif
