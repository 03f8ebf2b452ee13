/*
 * TP_semihosting.h - qbc_results_write over ARM semihosting, for programs
 * run under an emulator (qemu-system-arm -semihosting) or a debug probe.
 * Included by TP.h when QBC_RESULTS_SEMIHOSTING is defined.
 *
 * Each section is appended to the host file QBC_RESULTS_DEFAULT, opened
 * with its first piece and closed with its end, so that the host sees whole
 * sections even if the target stops later without warning.  Without a
 * debugger or emulator attached, a semihosting call stops an M-profile core
 * (a breakpoint): use it only where one is.
 */
#ifndef QBL_TP_SEMIHOSTING_H_INCLUDED
#define QBL_TP_SEMIHOSTING_H_INCLUDED

enum {
  _QBC_SYS_OPEN = 0x01, _QBC_SYS_CLOSE = 0x02, _QBC_SYS_WRITE0 = 0x04, _QBC_SYS_WRITE = 0x05,
  _QBC_SYS_SEEK = 0x0A, _QBC_SYS_FLEN = 0x0C
};
enum { _QBC_SEMIHOSTING_APPEND_BINARY = 9 }; /* fopen() mode "ab" */

/* One semihosting operation on a block of word-sized parameters. */
static _QBCRT_COLD long _qbc_semihost(long operation, const void *parameters)
{
#if defined(__aarch64__)
  register long x0 __asm__("x0") = operation;
  register const void *x1 __asm__("x1") = parameters;
  __asm__ __volatile__("hlt 0xf000" : "+r"(x0) : "r"(x1) : "memory");
  return x0;
#elif defined(__arm__)
  register long r0 __asm__("r0") = operation;
  register const void *r1 __asm__("r1") = parameters;
#if defined(__ARM_ARCH_PROFILE) && __ARM_ARCH_PROFILE == 'M'
  __asm__ __volatile__("bkpt 0xab" : "+r"(r0) : "r"(r1) : "memory");
#elif defined(__thumb__)
  __asm__ __volatile__("svc 0xab" : "+r"(r0) : "r"(r1) : "memory");
#else
  __asm__ __volatile__("svc 0x123456" : "+r"(r0) : "r"(r1) : "memory");
#endif
  return r0;
#else
#error "TP.h: ARM semihosting is for ARM and AArch64 targets; supply qbc_results_write instead"
#endif
}

void qbc_results_write(const void *bytes, unsigned long size) __attribute__((__weak__, __cold__));
void qbc_results_write(const void *bytes, unsigned long size)
{
  static long handle = -1;
  static int failureShown;
  static const char path[] = QBC_RESULTS_DEFAULT;
  long block[3];
  if (size == 0) {
    if (handle != -1) {
      block[0] = handle;
      _qbc_semihost(_QBC_SYS_CLOSE, block);
    }
    handle = -1;
    return;
  }
  if (handle == -1) {
    block[0] = (long)path;
    block[1] = _QBC_SEMIHOSTING_APPEND_BINARY;
    block[2] = (long)(sizeof path - 1);
    handle = _qbc_semihost(_QBC_SYS_OPEN, block);
    /* Hosts that open "ab" without appending (QEMU 7.2) write from the end
     * all the same. */
    block[0] = handle;
    block[1] = handle == -1 ? 0 : _qbc_semihost(_QBC_SYS_FLEN, block);
    if (block[1] > 0)
      _qbc_semihost(_QBC_SYS_SEEK, block);
  }
  if (handle == -1) {
    if (!failureShown)
      _qbc_semihost(_QBC_SYS_WRITE0, "quorb runtime: cannot open the results file " QBC_RESULTS_DEFAULT "\n");
    failureShown = 1;
    return;
  }
  block[0] = handle;
  block[1] = (long)bytes;
  block[2] = (long)size;
  _qbc_semihost(_QBC_SYS_WRITE, block);
}

#endif /* QBL_TP_SEMIHOSTING_H_INCLUDED */
