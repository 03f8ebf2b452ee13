/* Frames of a serial link: a start byte, then command, length, payload and
 * CRC-16 (high byte first), with the start and escape bytes escaped in the
 * body (escape byte, then the byte XOR 0x20). */
#ifndef FRAME_H
#define FRAME_H

#define FRAME_START 0x7E
#define FRAME_ESCAPE 0x7D
#define FRAME_MAX_PAYLOAD 16

enum frame_command { FRAME_PING = 1, FRAME_READ = 2, FRAME_WRITE = 3, FRAME_RESET = 4 };

enum frame_status {
  FRAME_INCOMPLETE,  /* more bytes needed */
  FRAME_OK,          /* a whole frame: command, length and payload are set */
  FRAME_BAD_CRC,
  FRAME_TOO_LONG,
  FRAME_BAD_COMMAND, /* unknown command, or a length the command forbids */
  FRAME_DROPPED      /* a byte outside any frame */
};

struct frame_parser {
  int state;
  int escaped;
  unsigned char command, length, received;
  unsigned char payload[FRAME_MAX_PAYLOAD];
  unsigned short crc, expected;
};

void frame_reset(struct frame_parser *parser);
enum frame_status frame_feed(struct frame_parser *parser, unsigned char byte);
/* Writes the frame into out; returns its length, 0 when it does not fit or
 * the command does not allow the payload's length. */
unsigned frame_encode(unsigned char command, const unsigned char *payload, unsigned length,
                      unsigned char *out, unsigned capacity);

#endif
