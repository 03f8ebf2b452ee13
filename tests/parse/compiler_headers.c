/* A program that includes the headers the compilers ship for C, the x86
 * intrinsics among them, and uses their macros. The parse suite preprocesses
 * it with each compiler at the newest language levels and instruction-set
 * flags (-msse4.2, -mavx2, -mavx512f, -march=native) and parses the result;
 * both compilers accept it at every one of them.
 */
#include <float.h>
#include <iso646.h>
#include <limits.h>
#include <stdalign.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdnoreturn.h>
#include <cpuid.h>
#include <mm_malloc.h>
#include <x86intrin.h>
#include <immintrin.h>
#include <unwind.h>
#if __has_include(<omp.h>)
#include <omp.h>
#endif
#if defined __clang__
#include <tgmath.h>
#else
#include <quadmath.h>
#include <stdfix.h>
#include <gcov.h>
#endif
#include <inttypes.h>
#include <mm3dnow.h>
#if __has_include(<ISO_Fortran_binding.h>)
#include <ISO_Fortran_binding.h>
#endif
#if __has_include(<openacc.h>)
#include <openacc.h>
#endif
#if __has_include(<acc_prof.h>)
#include <acc_prof.h>
#endif
#if __has_include(<backtrace.h>)
#include <backtrace.h>
#endif
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <sanitizer/hwasan_interface.h>
#include <sanitizer/lsan_interface.h>
#include <sanitizer/tsan_interface.h>
#if defined __clang__
#include <sanitizer/allocator_interface.h>
#include <sanitizer/coverage_interface.h>
#include <sanitizer/dfsan_interface.h>
#include <sanitizer/linux_syscall_hooks.h>
#include <sanitizer/msan_interface.h>
#include <sanitizer/scudo_interface.h>
#include <sanitizer/tsan_interface_atomic.h>
#include <sanitizer/ubsan_interface.h>
#endif

static atomic_int counter = 0;
static atomic_flag busy = ATOMIC_FLAG_INIT;
static _Atomic(long) total;

noreturn void stop(void);

static int count_up(int step) {
  while (atomic_flag_test_and_set_explicit(&busy, memory_order_acquire)) {
  }
  int before = atomic_fetch_add(&counter, step);
  atomic_fetch_add_explicit(&total, (long)step, memory_order_relaxed);
  int expected = before + step;
  atomic_compare_exchange_strong(&counter, &expected, expected + 1);
  atomic_store_explicit(&counter, atomic_load(&counter) - 1, memory_order_release);
  atomic_thread_fence(memory_order_seq_cst);
  atomic_flag_clear_explicit(&busy, memory_order_release);
  return before;
}

static unsigned cpu_level(void) {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return 0;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  return __get_cpuid_max(0, NULL) + (ebx & bit_AVX2 ? 1u : 0u);
}

static int sum_bytes(const unsigned char *data, size_t length) {
  __m128i total = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 16 <= length; i += 16) {
    __m128i chunk = _mm_loadu_si128((const __m128i *)(data + i));
    total = _mm_add_epi64(total, _mm_sad_epu8(chunk, _mm_setzero_si128()));
  }
  int sum = _mm_cvtsi128_si32(total) + _mm_extract_epi16(total, 4);
  for (; i < length; i++) sum += data[i];
  return sum;
}

static float scale(float x) {
  __m128 v = _mm_set1_ps(x);
  v = _mm_mul_ps(v, _mm_set_ss(2.0f));
  return _mm_cvtss_f32(v) + (float)alignof(max_align_t) * 0;
}

static double vary(int n, ...) {
  va_list list;
  va_start(list, n);
  double value = va_arg(list, double);
  va_end(list);
  return value + (double)FLT_EPSILON + (n bitand 1);
}

int use_compiler_headers(void) {
  unsigned char bytes[40];
  for (int i = 0; i < 40; i++) bytes[i] = (unsigned char)i;
  void *block = _mm_malloc(64, 32);
  _mm_free(block);
  return count_up(1) + (int)cpu_level() + sum_bytes(bytes, sizeof bytes) + (int)scale(1.5f) +
         (int)vary(1, 2.0) + (INT_MAX > 0) + (int)(__rdtsc() & 0) + (int)(true and not false);
}
