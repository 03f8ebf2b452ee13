#ifndef TABLE_H
#define TABLE_H

#include <stddef.h>

struct entry {
  char *word;
  unsigned count;
};

struct table {
  struct entry *entries;
  size_t size;     /* slots, a power of two */
  size_t used;
};

int table_init(struct table *table, size_t size);
/* Counts one more occurrence of `word`; returns 0 when memory ran out. */
int table_add(struct table *table, const char *word);
/* Moves the used entries to the front, most frequent first. */
size_t table_sort(struct table *table);
void table_free(struct table *table);

#endif
