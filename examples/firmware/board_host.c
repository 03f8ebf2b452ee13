/* The tests on the build machine: the timer interrupt is simulated, one tick
 * per wait. */
#include "board.h"
#include "clock.h"

#include <stdio.h>

static int timer_running;

void board_puts(const char *text)
{
  fputs(text, stdout);
}

void board_start_timer(void)
{
  timer_running = 1;
}

void board_wait(void)
{
  if (!timer_running)
    return;
  clock_tick();
  if (clock_alarm_due())
    timer_running = 0;
}
