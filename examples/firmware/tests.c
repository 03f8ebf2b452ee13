/* Unit tests of the frame parser, the CRC and the clock; the same on every
 * board.  Prints one line per check and returns the number of failures. */
#include "board.h"
#include "clock.h"
#include "crc16.h"
#include "frame.h"

static int failures;

static void put_number(unsigned value)
{
  char digits[12];
  int at = sizeof digits - 1;
  digits[at] = 0;
  do {
    digits[--at] = (char)('0' + value % 10);
    value /= 10;
  } while (value);
  board_puts(digits + at);
}

static void check(int passed, const char *what)
{
  board_puts(passed ? "ok   " : "FAIL ");
  board_puts(what);
  board_puts("\n");
  failures += !passed;
}

/* Feeds bytes to a fresh parser; returns the status of the last byte and
 * the number of statuses other than INCOMPLETE before it. */
static enum frame_status feed_all(struct frame_parser *parser, const unsigned char *bytes, unsigned length,
                                  unsigned *others)
{
  enum frame_status status = FRAME_INCOMPLETE;
  unsigned i;
  *others = 0;
  frame_reset(parser);
  for (i = 0; i < length; i++) {
    *others += i > 0 && status != FRAME_INCOMPLETE;
    status = frame_feed(parser, bytes[i]);
  }
  return status;
}

static void test_crc(void)
{
  static const unsigned char check_text[] = "123456789";
  check(crc16(check_text, 9) == 0x29B1, "crc16 of 123456789 is 0x29B1");
  check(crc16(check_text, 0) == 0xFFFF, "crc16 of nothing is its initial value");
}

static void test_round_trips(void)
{
  static const unsigned char awkward[] = { 0x7E, 0x01, 0x7D, 0x5E, 0x20 };
  static const unsigned char address[] = { 0x42 };
  unsigned char frame[64];
  struct frame_parser parser;
  unsigned length, others, i;
  int same;

  length = frame_encode(FRAME_PING, 0, 0, frame, sizeof frame);
  check(length == 5 && feed_all(&parser, frame, length, &others) == FRAME_OK && others == 0 &&
        parser.command == FRAME_PING && parser.length == 0, "ping frame round trip");

  length = frame_encode(FRAME_WRITE, awkward, sizeof awkward, frame, sizeof frame);
  same = feed_all(&parser, frame, length, &others) == FRAME_OK && parser.length == sizeof awkward;
  for (i = 0; same && i < sizeof awkward; i++)
    same = parser.payload[i] == awkward[i];
  check(same && length > 1 + 2 + sizeof awkward + 2, "start and escape bytes escaped and restored");

  length = frame_encode(FRAME_READ, address, 1, frame, sizeof frame);
  check(feed_all(&parser, frame, length, &others) == FRAME_OK && parser.payload[0] == 0x42, "read frame");
}

static void test_bad_frames(void)
{
  static const unsigned char payload[] = { 1, 2, 3 };
  static const unsigned char too_long[] = { FRAME_START, FRAME_WRITE, FRAME_MAX_PAYLOAD + 1 };
  static const unsigned char unknown[] = { FRAME_START, 9, 0 };
  static const unsigned char read_two[] = { FRAME_START, FRAME_READ, 2 };
  static const unsigned char stray[] = { 0x11 };
  unsigned char frame[64];
  struct frame_parser parser;
  unsigned length, others;

  length = frame_encode(FRAME_WRITE, payload, sizeof payload, frame, sizeof frame);
  frame[4] ^= 0xFF;
  check(feed_all(&parser, frame, length, &others) == FRAME_BAD_CRC, "a changed byte fails the CRC");
  check(feed_all(&parser, too_long, sizeof too_long, &others) == FRAME_TOO_LONG, "payload too long");
  check(feed_all(&parser, unknown, sizeof unknown, &others) == FRAME_BAD_COMMAND, "unknown command");
  check(feed_all(&parser, read_two, sizeof read_two, &others) == FRAME_BAD_COMMAND, "read with two bytes");
  check(feed_all(&parser, stray, sizeof stray, &others) == FRAME_DROPPED, "byte outside any frame");

  /* A frame cut short by the start of the next one. */
  length = frame_encode(FRAME_RESET, 0, 0, frame + 3, sizeof frame - 3);
  frame[0] = FRAME_START;
  frame[1] = FRAME_WRITE;
  frame[2] = 2;
  check(feed_all(&parser, frame, length + 3, &others) == FRAME_OK && others == 1 && parser.command == FRAME_RESET,
        "a cut frame is dropped, the next one read");

  check(frame_encode(FRAME_WRITE, payload, sizeof payload, frame, 5) == 0, "encoding into too small a buffer");
  check(frame_encode(FRAME_PING, payload, 1, frame, sizeof frame) == 0, "ping with a payload is refused");
}

static void test_clock(void)
{
  unsigned waits = 0;
  clock_reset();
  clock_set_alarm(3);
  check(!clock_alarm_due(), "alarm not due before any tick");
  board_start_timer();
  while (!clock_alarm_due() && waits++ < 1000)
    board_wait();
  check(clock_alarm_due() && clock_now() == 3, "alarm due after three timer interrupts");
}

int main(void)
{
  test_crc();
  test_round_trips();
  test_bad_frames();
  test_clock();
  board_puts("failures: ");
  put_number((unsigned)failures);
  board_puts("\n");
  return failures != 0;
}
