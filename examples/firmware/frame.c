#include "frame.h"
#include "crc16.h"

enum { WAIT_START, COMMAND, LENGTH, PAYLOAD, CRC_HIGH, CRC_LOW };

void frame_reset(struct frame_parser *parser)
{
  parser->state = WAIT_START;
  parser->escaped = 0;
  parser->received = 0;
  parser->crc = 0xFFFF;
}

static int length_allowed(unsigned char command, unsigned char length)
{
  switch (command) {
  case FRAME_PING:
  case FRAME_RESET:
    return length == 0;
  case FRAME_READ:
    return length == 1;
  case FRAME_WRITE:
    return length >= 2 && length <= FRAME_MAX_PAYLOAD;
  default:
    return 0;
  }
}

/* The byte as the body carries it, or -1 for an escape byte still waiting
 * for the byte it escapes. */
static int unescape(struct frame_parser *parser, unsigned char byte)
{
  if (byte == FRAME_ESCAPE && !parser->escaped) {
    parser->escaped = 1;
    return -1;
  }
  if (parser->escaped) {
    parser->escaped = 0;
    return byte ^ 0x20;
  }
  return byte;
}

static enum frame_status finish(struct frame_parser *parser)
{
  enum frame_status status = parser->crc == parser->expected ? FRAME_OK : FRAME_BAD_CRC;
  parser->state = WAIT_START;
  return status;
}

enum frame_status frame_feed(struct frame_parser *parser, unsigned char byte)
{
  int value;
  if (byte == FRAME_START && !parser->escaped) {
    int dropped = parser->state != WAIT_START;
    frame_reset(parser);
    parser->state = COMMAND;
    return dropped ? FRAME_DROPPED : FRAME_INCOMPLETE;
  }
  if (parser->state == WAIT_START)
    return FRAME_DROPPED;
  value = unescape(parser, byte);
  if (value < 0)
    return FRAME_INCOMPLETE;
  byte = (unsigned char)value;
  if (parser->state != CRC_HIGH && parser->state != CRC_LOW)
    parser->crc = crc16_update(parser->crc, byte);
  switch (parser->state) {
  case COMMAND:
    parser->command = byte;
    parser->state = LENGTH;
    break;
  case LENGTH:
    parser->length = byte;
    if (byte > FRAME_MAX_PAYLOAD) {
      parser->state = WAIT_START;
      return FRAME_TOO_LONG;
    }
    if (!length_allowed(parser->command, byte)) {
      parser->state = WAIT_START;
      return FRAME_BAD_COMMAND;
    }
    parser->state = byte ? PAYLOAD : CRC_HIGH;
    break;
  case PAYLOAD:
    parser->payload[parser->received++] = byte;
    if (parser->received == parser->length)
      parser->state = CRC_HIGH;
    break;
  case CRC_HIGH:
    parser->expected = (unsigned short)(byte << 8);
    parser->state = CRC_LOW;
    break;
  default:
    parser->expected |= byte;
    return finish(parser);
  }
  return FRAME_INCOMPLETE;
}

static unsigned put(unsigned char *out, unsigned at, unsigned capacity, unsigned char byte)
{
  int special = byte == FRAME_START || byte == FRAME_ESCAPE;
  if (at + 1 + (unsigned)special > capacity)
    return 0;
  if (special) {
    out[at++] = FRAME_ESCAPE;
    byte ^= 0x20;
  }
  out[at++] = byte;
  return at;
}

unsigned frame_encode(unsigned char command, const unsigned char *payload, unsigned length,
                      unsigned char *out, unsigned capacity)
{
  unsigned short crc = 0xFFFF;
  unsigned at = 1, i;
  if (length > FRAME_MAX_PAYLOAD || !length_allowed(command, (unsigned char)length) || capacity == 0)
    return 0;
  out[0] = FRAME_START;
  crc = crc16_update(crc, command);
  crc = crc16_update(crc, (unsigned char)length);
  at = put(out, at, capacity, command);
  at = at ? put(out, at, capacity, (unsigned char)length) : 0;
  for (i = 0; i < length && at; i++) {
    crc = crc16_update(crc, payload[i]);
    at = put(out, at, capacity, payload[i]);
  }
  at = at ? put(out, at, capacity, (unsigned char)(crc >> 8)) : 0;
  return at ? put(out, at, capacity, (unsigned char)(crc & 0xFF)) : 0;
}
