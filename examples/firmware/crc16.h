/* CRC-16/CCITT-FALSE (polynomial 0x1021, initial value 0xFFFF), the check
 * value of the frames. */
#ifndef CRC16_H
#define CRC16_H

unsigned short crc16_update(unsigned short crc, unsigned char byte);
unsigned short crc16(const unsigned char *bytes, unsigned length);

#endif
