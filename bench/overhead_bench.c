/* The workload of the runtime benchmark: a small LZ-style compressor and its
 * decompressor run over generated text. Its inner loops take a decision or
 * make a call every few instructions, as real code does, so the cost of
 * instrumenting each branch shows in the run time.
 *
 *   runtime_bench [kilobytes [rounds]]
 *
 * Prints the compressed size and a checksum of the round trip; exits with 1
 * when the decompressed text differs from the original. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { WINDOW = 4096, MIN_MATCH = 3, MAX_MATCH = 66, HASH_SIZE = 1 << 12, CHAIN_DEPTH = 8 };
enum { ESCAPE = 0xFF, NO_POSITION = -1 };

static unsigned long long randomState = 88172645463325252ULL;

static unsigned nextRandom(void) {
  randomState ^= randomState << 13;
  randomState ^= randomState >> 7;
  randomState ^= randomState << 17;
  return (unsigned)(randomState >> 32);
}

/* Words from a small vocabulary, with punctuation and now and then a byte
 * that needs escaping, so that the text repeats as prose does. */
static void generateText(unsigned char *text, size_t size) {
  static const char *const words[] = {"the", "quick", "brown", "fox", "jumps", "over", "lazy",
                                      "dog", "while", "coverage", "branch", "counts", "every",
                                      "decision", "loop", "and", "call"};
  const size_t wordCount = sizeof words / sizeof words[0];
  size_t at = 0;
  while (at < size) {
    unsigned pick = nextRandom();
    const char *word = words[pick % wordCount];
    while (*word && at < size)
      text[at++] = (unsigned char)*word++;
    if (at < size) {
      switch (pick >> 28) {
        case 0: text[at++] = '.'; break;
        case 1: text[at++] = ','; break;
        case 2: text[at++] = ESCAPE; break;
        default: text[at++] = ' '; break;
      }
    }
  }
}

static unsigned hashAt(const unsigned char *p) {
  return ((unsigned)p[0] << 8 ^ (unsigned)p[1] << 4 ^ p[2]) & (HASH_SIZE - 1);
}

static size_t matchLength(const unsigned char *a, const unsigned char *b, size_t limit) {
  size_t length = 0;
  while (length < limit && a[length] == b[length])
    length++;
  return length;
}

static size_t putLiteral(unsigned char *out, size_t at, unsigned char byte) {
  out[at++] = byte;
  if (byte == ESCAPE)
    out[at++] = 0;
  return at;
}

static size_t putMatch(unsigned char *out, size_t at, size_t distance, size_t length) {
  out[at++] = ESCAPE;
  out[at++] = (unsigned char)(length - MIN_MATCH + 1);
  out[at++] = (unsigned char)(distance >> 8);
  out[at++] = (unsigned char)(distance & 0xFF);
  return at;
}

/* Longest earlier match of text[at..] within the window, following the hash
 * chain a few steps; its length (0 when too short) and distance. */
static size_t findMatch(const unsigned char *text, size_t size, size_t at, const long *head,
                        const long *previous, size_t *distance) {
  size_t best = 0, limit = size - at < MAX_MATCH ? size - at : MAX_MATCH;
  long candidate = head[hashAt(text + at)];
  int depth = CHAIN_DEPTH;
  while (candidate != NO_POSITION && depth-- > 0 && at - (size_t)candidate <= WINDOW - 1) {
    size_t length = matchLength(text + candidate, text + at, limit);
    if (length > best) {
      best = length;
      *distance = at - (size_t)candidate;
      if (length == limit)
        break;
    }
    candidate = previous[candidate % WINDOW];
  }
  return best >= MIN_MATCH ? best : 0;
}

static void insertPosition(const unsigned char *text, size_t at, long *head, long *previous) {
  unsigned hash = hashAt(text + at);
  previous[at % WINDOW] = head[hash];
  head[hash] = (long)at;
}

static size_t compress(const unsigned char *text, size_t size, unsigned char *out) {
  static long head[HASH_SIZE], previous[WINDOW];
  size_t at = 0, written = 0, i;
  for (i = 0; i < HASH_SIZE; i++)
    head[i] = NO_POSITION;
  while (at < size) {
    size_t distance = 0, length = 0;
    if (at + MIN_MATCH <= size)
      length = findMatch(text, size, at, head, previous, &distance);
    if (length) {
      written = putMatch(out, written, distance, length);
      for (i = 0; i < length; i++, at++)
        if (at + MIN_MATCH <= size)
          insertPosition(text, at, head, previous);
    } else {
      written = putLiteral(out, written, text[at]);
      if (at + MIN_MATCH <= size)
        insertPosition(text, at, head, previous);
      at++;
    }
  }
  return written;
}

static size_t decompress(const unsigned char *in, size_t size, unsigned char *out) {
  size_t at = 0, written = 0;
  while (at < size) {
    unsigned char byte = in[at++];
    if (byte != ESCAPE) {
      out[written++] = byte;
    } else if (in[at] == 0) {
      out[written++] = ESCAPE;
      at++;
    } else {
      size_t length = (size_t)in[at] + MIN_MATCH - 1;
      size_t distance = (size_t)in[at + 1] << 8 | in[at + 2];
      at += 3;
      do {
        out[written] = out[written - distance];
        written++;
      } while (--length > 0);
    }
  }
  return written;
}

static unsigned long checksum(const unsigned char *data, size_t size) {
  unsigned long a = 1, b = 0;
  size_t i;
  for (i = 0; i < size; i++) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

int main(int argc, char **argv) {
  size_t size = (size_t)(argc > 1 ? atol(argv[1]) : 1024) * 1024;
  int rounds = argc > 2 ? atoi(argv[2]) : 4, round;
  unsigned char *text = malloc(size), *packed = malloc(2 * size + 4), *unpacked = malloc(size);
  size_t packedSize = 0;
  unsigned long sum = 0;
  if (!text || !packed || !unpacked || size == 0)
    return 2;
  for (round = 0; round < rounds; round++) {
    generateText(text, size);
    packedSize = compress(text, size, packed);
    if (decompress(packed, packedSize, unpacked) != size || memcmp(text, unpacked, size) != 0) {
      printf("round %d: the round trip differs\n", round);
      return 1;
    }
    sum = (sum + checksum(packed, packedSize)) % 4294967291UL;
  }
  printf("%lu bytes packed into %lu, checksum %lu\n", (unsigned long)size, (unsigned long)packedSize, sum);
  free(text);
  free(packed);
  free(unpacked);
  return 0;
}
