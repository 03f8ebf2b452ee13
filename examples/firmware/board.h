/* What the tests need of the board they run on. */
#ifndef BOARD_H
#define BOARD_H

void board_puts(const char *text);
/* Starts the timer interrupt that calls clock_tick(); the handler stops it
 * once the clock's alarm is due. */
void board_start_timer(void);
/* Waits for the next interrupt. */
void board_wait(void);

#endif
