/* The tests on Arm's MPS2 AN385 board (Cortex-M3), as QEMU emulates it:
 * start-up, the SysTick timer, and console and exit through semihosting. */
#include "board.h"
#include "clock.h"

#define SYST_CSR (*(volatile unsigned *)0xE000E010)
#define SYST_RVR (*(volatile unsigned *)0xE000E014)
#define SYST_CVR (*(volatile unsigned *)0xE000E018)
#define CPU_HZ 25000000u

enum { SYS_WRITE0 = 0x04, SYS_EXIT = 0x18 };
enum { EXIT_SUCCESS_REASON = 0x20026, EXIT_FAILURE_REASON = 0x20023 };

extern unsigned _data_load[], _data_start[], _data_end[], _bss_start[], _bss_end[], _stack_top[];
int main(void);

static int semihost(int operation, const void *parameter)
{
  register int r0 __asm__("r0") = operation;
  register const void *r1 __asm__("r1") = parameter;
  __asm__ __volatile__("bkpt 0xab" : "+r"(r0) : "r"(r1) : "memory");
  return r0;
}

void board_puts(const char *text)
{
  semihost(SYS_WRITE0, text);
}

void board_start_timer(void)
{
  SYST_RVR = CPU_HZ / 1000 - 1;
  SYST_CVR = 0;
  SYST_CSR = 7; /* processor clock, interrupt, enabled */
}

void board_wait(void)
{
  __asm__ __volatile__("wfi");
}

void SysTick_Handler(void)
{
  clock_tick();
  if (clock_alarm_due())
    SYST_CSR = 0;
}

void Reset_Handler(void)
{
  unsigned *from = _data_load, *to = _data_start;
  int status;
  while (to < _data_end)
    *to++ = *from++;
  for (to = _bss_start; to < _bss_end; to++)
    *to = 0;
  status = main();
  semihost(SYS_EXIT, (const void *)(status ? EXIT_FAILURE_REASON : EXIT_SUCCESS_REASON));
  for (;;)
    ;
}

static void Fault_Handler(void)
{
  board_puts("fault\n");
  semihost(SYS_EXIT, (const void *)EXIT_FAILURE_REASON);
  for (;;)
    ;
}

/* Initial stack, then the handlers of exceptions 1 to 15. */
__attribute__((section(".isr_vector"), used)) static void (*const vectors[16])(void) = {
  (void (*)(void))_stack_top, Reset_Handler, Fault_Handler, Fault_Handler, Fault_Handler,
  Fault_Handler, Fault_Handler, 0, 0, 0, 0, Fault_Handler, 0, 0, Fault_Handler, SysTick_Handler,
};
