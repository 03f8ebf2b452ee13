#include "crc16.h"

unsigned short crc16_update(unsigned short crc, unsigned char byte)
{
  int bit;
  crc ^= (unsigned short)(byte << 8);
  for (bit = 0; bit < 8; bit++)
    crc = (crc & 0x8000) ? (unsigned short)((crc << 1) ^ 0x1021) : (unsigned short)(crc << 1);
  return crc;
}

unsigned short crc16(const unsigned char *bytes, unsigned length)
{
  unsigned short crc = 0xFFFF;
  while (length--)
    crc = crc16_update(crc, *bytes++);
  return crc;
}
