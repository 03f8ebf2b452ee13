/* A byte search and a hash over a buffer with SSE2, SSE4.2 and AVX2
 * intrinsics, as a string library or a hash table would write them.
 * compilers: gcc clang
 * standards: gnu11 c2x
 * flags: -msse4.2 -mavx2
 * needs: avx2
 */
#include <immintrin.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

/* The index of the first byte equal to c, or n. */
static size_t find_byte_avx2(const unsigned char *data, size_t n, unsigned char c) {
  const __m256i needle = _mm256_set1_epi8((char)c);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    __m256i chunk = _mm256_loadu_si256((const __m256i *)(data + i));
    unsigned mask = (unsigned)_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, needle));
    if (mask) return i + (size_t)__builtin_ctz(mask);
  }
  for (; i < n; i++)
    if (data[i] == c) return i;
  return n;
}

static size_t find_byte_sse2(const unsigned char *data, size_t n, unsigned char c) {
  const __m128i needle = _mm_set1_epi8((char)c);
  size_t i = 0;
  while (i + 16 <= n) {
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128((const __m128i *)(data + i)), needle));
    if (mask != 0) return i + (size_t)__builtin_ctz((unsigned)mask);
    i += 16;
  }
  return i < n && memchr(data + i, c, n - i) ? (size_t)((const unsigned char *)memchr(data + i, c, n - i) - data) : n;
}

static uint32_t crc32c(const unsigned char *data, size_t n) {
  uint64_t crc = 0xFFFFFFFFu;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    memcpy(&word, data + i, sizeof word);
    crc = _mm_crc32_u64(crc, word);
  }
  for (; i < n; i++) crc = _mm_crc32_u8((uint32_t)crc, data[i]);
  return (uint32_t)crc ^ 0xFFFFFFFFu;
}

static int sum_avx2(const int *values, size_t n) {
  __m256i total = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) total = _mm256_add_epi32(total, _mm256_loadu_si256((const __m256i *)(values + i)));
  __m128i half = _mm_add_epi32(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
  half = _mm_hadd_epi32(half, half);
  half = _mm_hadd_epi32(half, half);
  int sum = _mm_cvtsi128_si32(half);
  for (; i < n; i++) sum += values[i];
  return sum;
}

int main(void) {
  unsigned char text[200];
  int values[37];
  size_t i;
  for (i = 0; i < sizeof text; i++) text[i] = (unsigned char)('a' + i % 23);
  text[150] = '#';
  for (i = 0; i < 37; i++) values[i] = (int)(i * i);
  printf("%zu %zu %zu\n", find_byte_avx2(text, sizeof text, '#'), find_byte_sse2(text, sizeof text, '#'),
         find_byte_avx2(text, 100, '#'));
  printf("%08x %d\n", crc32c(text, sizeof text), sum_avx2(values, 37));
  if (!__builtin_cpu_supports("avx2")) return 3;
  return 0;
}
