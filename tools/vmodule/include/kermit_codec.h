#pragma once

#include <QByteArray>
#include <cstdint>

// Kermit packets as the receiving side sees them: block checks, packet building and
// parsing, data-field decoding. Written apart from the program's sender (kermit/), so
// that the virtual module and the tests hold the sender to an independent reading.
namespace kcodec {

inline char toChar(int x)
{
    return char(x + 32);
}
inline int unChar(char c)
{
    return (uint8_t(c) - 32) & 0xFF;
}

// CRC-16 with the reflected polynomial 0x8408, bit by bit.
uint16_t crc16(const QByteArray &bytes);
// Check characters of type 1, 2 or 3 over bytes (LEN up to the end of the data field).
QByteArray blockCheck(int type, const QByteArray &bytes);
// A whole packet, marks included, normal or long form by length.
QByteArray packet(char type, int seq, const QByteArray &data, int checkType, char eol = '\r');

struct Packet
{
    char type = 0;
    int seq = -1;
    QByteArray data;
    int checkLen = 0;
    bool valid = false; // well formed, with a matching check of length checkLen
};
// Parses a packet without its marks (LEN SEQ TYPE ... CHECK).
Packet parse(const QByteArray &body, int checkLen);

// Decodes a data field with the sender's prefixes (0: that prefixing is off). False when
// the field ends inside a prefix sequence.
bool decodeField(const QByteArray &field, char qctl, char qbin, char rept, QByteArray &out);

} // namespace kcodec
