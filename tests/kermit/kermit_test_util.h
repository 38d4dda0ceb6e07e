#pragma once

// Independent Kermit helpers for the tests: a bit-wise CRC, packet builder and parser,
// a data-field decoder and a scripted receiver. Written apart from the sender so that
// the tests compare two implementations rather than one with itself.

#include "test_data.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace ktest {

inline char tochar(int x)
{
    return char(x + 32);
}
inline int unchar(char c)
{
    return (uint8_t(c) - 32) & 0xFF;
}

// Every byte value in turn ("all"), or bytes with runs mixed in.
inline QByteArray content(const QString &kind, int size)
{
    if (kind != "all")
        return testPayload(size, uint32_t(size) ^ 0xC0DE);
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(i % 256);
    return b;
}

// CRC-16 with reflected polynomial 0x8408, bit by bit.
inline unsigned crc16(const QByteArray &bytes)
{
    unsigned crc = 0;
    for (char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0x8408 : crc >> 1;
    }
    return crc;
}

inline QByteArray check(const QByteArray &bytes, int type)
{
    unsigned s = 0;
    for (char ch : bytes)
        s += uint8_t(ch);
    QByteArray out;
    if (type == 1) {
        out += tochar(int((s + ((s & 0xC0) >> 6)) & 0x3F));
    } else if (type == 2) {
        out += tochar(int((s >> 6) & 0x3F));
        out += tochar(int(s & 0x3F));
    } else {
        const unsigned c = crc16(bytes);
        out += tochar(int((c >> 12) & 0x0F));
        out += tochar(int((c >> 6) & 0x3F));
        out += tochar(int(c & 0x3F));
    }
    return out;
}

// A whole packet with marks, as a receiver would send it.
inline QByteArray packet(char type, int seq, const QByteArray &data, int checkType)
{
    QByteArray body;
    const int x = int(data.size()) + checkType;
    const bool longForm = x + 2 >= 95;
    body += tochar(longForm ? 0 : x + 2);
    body += tochar(seq);
    body += type;
    if (longForm) {
        body += tochar(x / 95);
        body += tochar(x % 95);
        body += check(body, 1);
    }
    body += data;
    body += check(body, checkType);
    return QByteArray(1, '\x01') + body + '\r';
}

struct Packet
{
    char type = 0;
    int seq = -1;
    QByteArray data;
    int checkLen = 0;
    bool valid = false;
};

// Parses one packet (marks included) whose check length is known.
inline Packet parse(const QByteArray &raw, int checkLen)
{
    Packet p;
    if (raw.size() < 6 || raw.at(0) != '\x01' || !raw.endsWith('\r'))
        return p;
    const QByteArray body = raw.mid(1, raw.size() - 2);
    p.seq = unchar(body.at(1));
    p.type = body.at(2);
    p.checkLen = checkLen;
    int dataAt = 3;
    int dataLen = unchar(body.at(0)) - 2 - checkLen;
    if (body.at(0) == ' ') {
        if (check(body.left(5), 1) != body.mid(5, 1))
            return p;
        dataAt = 6;
        dataLen = unchar(body.at(3)) * 95 + unchar(body.at(4)) - checkLen;
    }
    if (dataLen < 0 || dataAt + dataLen + checkLen != body.size())
        return p;
    p.data = body.mid(dataAt, dataLen);
    p.valid = check(body.left(dataAt + dataLen), checkLen) == body.right(checkLen);
    return p;
}

// Prefix settings a decoder needs.
struct Prefixes
{
    char qctl = '#';
    char qbin = 0; // 0: no 8th-bit prefixing
    char rept = 0; // 0: no repeat counts
};

// Decodes a data field; sets ok false on a malformed field.
inline QByteArray decode(const QByteArray &field, const Prefixes &px, bool *ok = nullptr)
{
    QByteArray out;
    bool good = true;
    int i = 0;
    auto next = [&]() -> int { return i < field.size() ? uint8_t(field.at(i++)) : -1; };
    while (i < field.size()) {
        int c = next();
        int count = 1;
        if (px.rept && c == uint8_t(px.rept)) {
            const int n = next();
            if (n < 0) {
                good = false;
                break;
            }
            count = unchar(char(n));
            c = next();
        }
        int bit8 = 0;
        if (px.qbin && c == uint8_t(px.qbin)) {
            bit8 = 0x80;
            c = next();
        }
        if (c == uint8_t(px.qctl)) {
            c = next();
            const int c7 = c & 0x7F;
            if ((c7 >= 64 && c7 < 96) || c7 == 63)
                c ^= 64;
        }
        if (c < 0) {
            good = false;
            break;
        }
        out.append(QByteArray(count, char(c | bit8)));
    }
    if (ok)
        *ok = good;
    return out;
}

// Reply policy of the scripted receiver: given the packet just received (parsed) and
// the number of times that sequence number was seen, returns the bytes to answer
// (empty: stay silent).
struct Receiver
{
    QByteArray sinitReply = "~* @-#Y3~.!5U"; // TIME 10 s, no window, all else defaults
    Prefixes px;
    int checkType = 1; // agreed block check, applied after the Send-Init exchange
    QList<Packet> received; // every valid packet, resends included
    QByteArray fileName;
    QByteArray attributes;
    QByteArray content;
    int expectSeq = 0;
    bool sinitAcked = false;
    bool done = false;
    std::function<QByteArray(const Packet &, int timesSeen)> override;

    // Answers one written packet.
    QByteArray respond(const QByteArray &raw)
    {
        // Error packets may carry a one-character check whatever was agreed.
        Packet p = parse(raw, sinitAcked ? checkType : 1);
        for (int t = 1; t <= 3 && !p.valid; ++t)
            p = parse(raw, t);
        if (!p.valid)
            return packet('N', expectSeq, {}, checkType);
        received.append(p);
        int seen = 0;
        for (const Packet &q : received)
            seen += q.seq == p.seq && q.type == p.type;
        if (override) {
            const QByteArray r = override(p, seen);
            if (!r.isNull())
                return r;
        }
        const bool fresh = p.seq == expectSeq;
        QByteArray ackData;
        if (fresh) {
            switch (p.type) {
            case 'S':
                applySinit();
                sinitAcked = true;
                expectSeq = 1;
                return packet('Y', p.seq, sinitReply, 1);
            case 'F':
                fileName = decode(p.data, px);
                ackData = p.data; // receivers name the stored file in this acknowledgement
                break;
            case 'A':
                attributes = p.data;
                break;
            case 'D':
                content += decode(p.data, px);
                break;
            case 'B':
                done = true;
                break;
            default:
                break;
            }
            expectSeq = (expectSeq + 1) % 64;
        }
        return packet('Y', p.seq, ackData, checkType);
    }

    void applySinit()
    {
        const QByteArray &d = sinitReply;
        if (d.size() >= 8) {
            const int t = d.at(7) == '5' ? 3 : d.at(7) - '0'; // 5: type 3 throughout
            checkType = t >= 1 && t <= 3 ? t : 1;
        }
        if (d.size() >= 7 && d.at(6) != 'Y' && d.at(6) != 'N' && d.at(6) != ' ')
            px.qbin = d.at(6);
        if (d.size() >= 9 && d.at(8) != ' ')
            px.rept = d.at(8);
    }

    QByteArray types() const
    {
        QByteArray t;
        for (const Packet &p : received)
            t += p.type;
        return t;
    }
};

} // namespace ktest
