#include "table.h"

#include <stdlib.h>
#include <string.h>

static size_t hash(const char *word) {
  size_t h = 5381;
  while (*word) h = h * 33 + (unsigned char)*word++;
  return h;
}

int table_init(struct table *table, size_t size) {
  table->entries = calloc(size, sizeof *table->entries);
  table->size = size;
  table->used = 0;
  return table->entries != NULL;
}

static int grow(struct table *table) {
  struct table bigger;
  size_t i;
  if (!table_init(&bigger, table->size * 2)) return 0;
  for (i = 0; i < table->size; i++) {
    struct entry *old = &table->entries[i];
    if (old->word) {
      size_t slot = hash(old->word) & (bigger.size - 1);
      while (bigger.entries[slot].word) slot = (slot + 1) & (bigger.size - 1);
      bigger.entries[slot] = *old;
      bigger.used++;
    }
  }
  free(table->entries);
  *table = bigger;
  return 1;
}

int table_add(struct table *table, const char *word) {
  size_t slot;
  if (2 * (table->used + 1) > table->size && !grow(table)) return 0;
  slot = hash(word) & (table->size - 1);
  while (table->entries[slot].word && strcmp(table->entries[slot].word, word) != 0) {
    slot = (slot + 1) & (table->size - 1);
  }
  if (!table->entries[slot].word) {
    table->entries[slot].word = malloc(strlen(word) + 1);
    if (!table->entries[slot].word) return 0;
    strcpy(table->entries[slot].word, word);
    table->used++;
  }
  table->entries[slot].count++;
  return 1;
}

static int by_count(const void *a, const void *b) {
  const struct entry *x = a, *y = b;
  if (x->count != y->count) return x->count < y->count ? 1 : -1;
  return strcmp(x->word, y->word);
}

size_t table_sort(struct table *table) {
  size_t used = 0, i;
  for (i = 0; i < table->size; i++) {
    if (!table->entries[i].word) continue;
    table->entries[used] = table->entries[i];
    if (used++ != i) table->entries[i].word = NULL;
  }
  qsort(table->entries, used, sizeof *table->entries, by_count);
  return used;
}

void table_free(struct table *table) {
  size_t i;
  for (i = 0; i < table->size; i++) free(table->entries[i].word);
  free(table->entries);
}
