#include "kermit_codec.h"

namespace kcodec {

uint16_t crc16(const QByteArray &bytes)
{
    uint16_t crc = 0;
    for (char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0x8408) : uint16_t(crc >> 1);
    }
    return crc;
}

QByteArray blockCheck(int type, const QByteArray &bytes)
{
    QByteArray out;
    if (type == 3) {
        const uint16_t crc = crc16(bytes);
        out += toChar((crc >> 12) & 0x0F);
        out += toChar((crc >> 6) & 0x3F);
        out += toChar(crc & 0x3F);
        return out;
    }
    unsigned sum = 0;
    for (char ch : bytes)
        sum += uint8_t(ch);
    if (type == 2) {
        out += toChar((sum >> 6) & 0x3F);
        out += toChar(sum & 0x3F);
    } else {
        out += toChar((sum + ((sum & 0xC0) >> 6)) & 0x3F);
    }
    return out;
}

QByteArray packet(char type, int seq, const QByteArray &data, int checkType, char eol)
{
    const int x = int(data.size()) + checkType;
    QByteArray body;
    if (x + 2 < 95) {
        body += toChar(x + 2);
        body += toChar(seq);
        body += type;
    } else {
        body += toChar(0);
        body += toChar(seq);
        body += type;
        body += toChar(x / 95);
        body += toChar(x % 95);
        body += blockCheck(1, body);
    }
    body += data;
    body += blockCheck(checkType, body);
    return '\x01' + body + eol;
}

Packet parse(const QByteArray &body, int checkLen)
{
    Packet p;
    if (body.size() < 3 + checkLen)
        return p;
    p.seq = unChar(body[1]);
    p.type = body[2];
    p.checkLen = checkLen;
    int dataAt = 3;
    int total = unChar(body[0]) + 1; // LEN counts from SEQ to the end of the check
    if (body[0] == ' ') {
        if (body.size() < 6 || blockCheck(1, body.left(5)) != body.mid(5, 1))
            return p;
        dataAt = 6;
        total = 6 + unChar(body[3]) * 95 + unChar(body[4]);
    }
    const int dataLen = total - checkLen - dataAt;
    if (dataLen < 0 || total != body.size())
        return p;
    p.data = body.mid(dataAt, dataLen);
    p.valid = blockCheck(checkLen, body.left(total - checkLen)) == body.right(checkLen);
    return p;
}

bool decodeField(const QByteArray &field, char qctl, char qbin, char rept, QByteArray &out)
{
    const int n = field.size();
    int i = 0;
    while (i < n) {
        char c = field[i++];
        int count = 1;
        if (rept && c == rept) {
            if (i + 1 >= n)
                return false;
            count = unChar(field[i++]);
            c = field[i++];
        }
        uint8_t high = 0;
        if (qbin && c == qbin) {
            if (i >= n)
                return false;
            high = 0x80;
            c = field[i++];
        }
        if (c == qctl) {
            if (i >= n)
                return false;
            c = field[i++];
            const int low7 = uint8_t(c) & 0x7F;
            // Only the control-character range was transformed; anything else was quoted.
            if (low7 >= 0x3F && low7 <= 0x5F)
                c = char(uint8_t(c) ^ 0x40);
        }
        out.append(count, char(uint8_t(c) | high));
    }
    return true;
}

} // namespace kcodec
