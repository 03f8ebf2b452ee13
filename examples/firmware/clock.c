#include "clock.h"

/* Shared with the interrupt handler. */
static volatile unsigned ticks, alarm_start, alarm_delay;
static volatile int alarm_armed, alarm_fired;

void clock_reset(void)
{
  ticks = 0;
  alarm_armed = 0;
  alarm_fired = 0;
}

void clock_tick(void)
{
  ticks++;
  if (alarm_armed && !alarm_fired && ticks - alarm_start >= alarm_delay)
    alarm_fired = 1;
}

unsigned clock_now(void)
{
  return ticks;
}

void clock_set_alarm(unsigned delay)
{
  alarm_start = ticks;
  alarm_delay = delay;
  alarm_fired = 0;
  alarm_armed = 1;
}

int clock_alarm_due(void)
{
  return alarm_armed && alarm_fired;
}
