/* A millisecond clock that a timer interrupt advances, with one alarm. */
#ifndef CLOCK_H
#define CLOCK_H

void clock_reset(void);
void clock_tick(void); /* from the timer interrupt, once a millisecond */
unsigned clock_now(void);
void clock_set_alarm(unsigned delay);
int clock_alarm_due(void);

#endif
