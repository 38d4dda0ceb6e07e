// Kermit packet layer: framing, block checks, prefix encoding, reader and writer.

#include "kermit.h"
#include "kermit_private.h"
#include "serial_if.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcKermit, "trivo.kermit", QtInfoMsg)

namespace {

constexpr int kWriteAttempts = 10;
constexpr uint8_t kCtrlC = 3;
constexpr int kCtrlCAbortCount = 3;
// The wait for a reply is taken in slices this long, so that a stop request is seen
// promptly.
constexpr qint64 kStopCheckMs = 50;

// Sum of the bytes up to len or the first zero byte.
unsigned byteSum(const uint8_t *p, int len)
{
    unsigned s = 0;
    for (int i = 0; i < len && p[i]; ++i)
        s += p[i];
    return s & 0xFFFF;
}

int check1Of(const uint8_t *p, int len)
{
    const unsigned s = byteSum(p, len);
    return int((s + ((s & 0xC0) >> 6)) & 0x3F);
}

unsigned crcOf(const KermitTransfer *k, const uint8_t *p, int len)
{
    unsigned crc = 0;
    for (int i = 0; i < len && p[i]; ++i) {
        const unsigned q = (crc ^ p[i]) & 0xFF;
        crc = (crc >> 8) ^ k->crcT1[(q >> 4) & 0xF] ^ k->crcT2[q & 0xF];
    }
    return crc & 0xFFFF;
}

// Appends the check characters of type bct over p[0..len) to out; returns their count.
int appendCheck(const KermitTransfer *k, int bct, const uint8_t *p, int len, uint8_t *out)
{
    switch (bct) {
    case 2: {
        const unsigned s = byteSum(p, len);
        out[0] = kermitToChar((s >> 6) & 0x3F);
        out[1] = kermitToChar(s & 0x3F);
        return 2;
    }
    case 3: {
        const unsigned crc = crcOf(k, p, len);
        out[0] = kermitToChar((crc >> 12) & 0x0F);
        out[1] = kermitToChar((crc >> 6) & 0x3F);
        out[2] = kermitToChar(crc & 0x3F);
        return 3;
    }
    default:
        out[0] = kermitToChar(check1Of(p, len));
        return 1;
    }
}

// Compares the c check characters at chk with the check of p[0..len).
bool checkMatches(const KermitTransfer *k, int c, const uint8_t *p, int len, const uint8_t *chk)
{
    switch (c) {
    case 1:
        return kermitUnChar(chk[0]) == check1Of(p, len);
    case 2:
        return unsigned(kermitUnChar(chk[0]) * 64 + kermitUnChar(chk[1]))
            == (byteSum(p, len) & 0xFFF);
    case 3:
        return unsigned((kermitUnChar(chk[0]) << 12) | (kermitUnChar(chk[1]) << 6)
                   | kermitUnChar(chk[2]))
            == crcOf(k, p, len);
    default:
        return false;
    }
}

qint64 replyTimeoutMs(const KermitTransfer *k)
{
    // A receiver stating no time-out still gets a bounded wait: a silent module must
    // not hold the upload forever.
    const int sec = k->ownTimeoutSec > 0 ? k->ownTimeoutSec : kKermitDefaultTimeoutSec;
    const double scale = k->timeScale > 0 ? k->timeScale : 1.0;
    return std::max<qint64>(1, qint64(sec * 1000 * scale));
}

bool stopRequested(const KermitTransfer *k)
{
    return k->stopFlag && k->stopFlag->load();
}

} // namespace

// --- Block checks ---

int blockCheck1(const uint8_t *p)
{
    return check1Of(p, INT32_MAX);
}

int blockCheck2(const uint8_t *p)
{
    return int(byteSum(p, INT32_MAX) & 0xFFF);
}

unsigned blockCheck3(const KermitTransfer *k, const uint8_t *p)
{
    return crcOf(k, p, INT32_MAX);
}

void kermitFillCrcTables(KermitTransfer *k)
{
    // T1[i] is the byte-wise table entry of i * 16, T2[i] that of i.
    auto entry = [](unsigned byte) {
        unsigned crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0x8408 : crc >> 1;
        return uint16_t(crc);
    };
    for (unsigned i = 0; i < 16; ++i) {
        k->crcT1[i] = entry(i * 16);
        k->crcT2[i] = entry(i);
    }
}

// --- Receive slots ---

int getRecvSlot(KermitTransfer *k, uint8_t **buf)
{
    for (int i = 0; i < kKermitRecvSlots; ++i) {
        KermitRecvSlot &slot = k->rslots[i];
        if (slot.len < 1) {
            slot.len = -1;
            slot.seq = -1;
            slot.type = ' ';
            slot.data = nullptr;
            slot.buf[0] = 0;
            if (buf)
                *buf = slot.buf;
            return i;
        }
    }
    if (buf)
        *buf = nullptr;
    return -1;
}

int freeRecvSlot(KermitTransfer *k, int slot)
{
    if (slot < 0 || slot >= kKermitRecvSlots)
        return -1;
    k->rslots[slot].len = 0;
    return 0;
}

// --- Writer and reader ---

int tx_data(KermitTransfer *k, const uint8_t *bytes, int count)
{
    CSerialIF *serial = k ? k->serial : nullptr;
    if (!serial)
        return -1;
    int attempts = 0;
    while (count > 0) {
        uint32_t written = 0;
        serial->Write(bytes, uint32_t(count), &written);
        if (++attempts >= kWriteAttempts)
            return -1;
        written = std::min<uint32_t>(written, uint32_t(count));
        count -= int(written);
        bytes += written;
    }
    return 0;
}

int readpkt(KermitTransfer *k, uint8_t *buf, int capacity)
{
    CSerialIF *serial = k ? k->serial : nullptr;
    if (!serial || !buf || !serial->IsOpen())
        return -1;
    // The reader may store one byte over the limit before it gives up, plus a zero.
    const int limit = std::min(k->recvLimit, capacity - 2);
    const qint64 timeoutMs = replyTimeoutMs(k);
    QElapsedTimer timer;
    timer.start();
    int stored = 0;
    bool started = false;
    int ctrlC = 0;
    for (;;) {
        if (k->readerPos >= k->readerCount) {
            if (stopRequested(k))
                return 0;
            // Checked on every refill, so that a line carrying only noise ends the wait
            // as silence does.
            const qint64 leftMs = timeoutMs - timer.elapsed();
            if (leftMs <= 0) {
                qCDebug(lcKermit).noquote() << "readpkt() - no reply within" << timeoutMs << "ms";
                return 0;
            }
            k->readerPos = k->readerCount = 0;
            const uint32_t want
                = k->state == kKermitStateData ? kKermitDataStateReadBytes : kKermitReaderBufBytes;
            const uint32_t got
                = serial->ReadWithin(k->readerBuf, want, int(std::min(leftMs, kStopCheckMs)));
            if (got == 0 && !serial->IsOpen())
                return -1;
            k->readerCount = int(std::min(got, want));
            continue;
        }
        const uint8_t c = k->readerBuf[k->readerPos++];
        if (k->remote) {
            if (c == kCtrlC) {
                if (++ctrlC >= kCtrlCAbortCount)
                    return -1;
            } else {
                ctrlC = 0;
            }
        }
        if (c == kKermitSOH) {
            started = true; // a second mark does not restart the packet
            continue;
        }
        if (!started)
            continue;
        if (c == kKermitCR || c == '\n') {
            buf[stored] = 0;
            return stored;
        }
        if (stored > limit)
            return 0;
        buf[stored++] = c;
    }
}

// --- Framing ---

namespace {

// Hands the kept packet to the write callback.
int writeKept(KermitTransfer *k)
{
    return k->txd ? k->txd(k, k->sendBuf, k->sendLen) : tx_data(k, k->sendBuf, k->sendLen);
}

} // namespace

int spkt(char type, int seq, int len, const uint8_t *data, KermitTransfer *k)
{
    if (len < 0)
        len = data ? int(std::strlen(reinterpret_cast<const char *>(data))) : 0;
    const int bct = k->bct;
    // Room for the long-form header, the check and the end mark.
    if (len > kKermitSendBufBytes - 7 - bct - 1)
        return -1;
    uint8_t *p = k->sendBuf;
    const int x = bct + len;
    p[0] = uint8_t(k->startMarkSent);
    p[2] = kermitToChar(seq);
    p[3] = uint8_t(type);
    int at;
    if (x + 2 < 95) {
        p[1] = kermitToChar(x + 2);
        at = 4;
    } else {
        p[1] = kermitToChar(0);
        p[4] = kermitToChar(x / 95);
        p[5] = kermitToChar(x % 95);
        p[6] = kermitToChar(check1Of(p + 1, 5));
        at = 7;
    }
    if (len > 0)
        std::memmove(p + at, data, size_t(len));
    at += len;
    at += appendCheck(k, bct, p + 1, at - 1, p + at);
    p[at++] = uint8_t(k->endMarkSent);
    k->sendLen = at;
    k->sendSeq = int16_t(seq);
    return writeKept(k);
}

int resend(KermitTransfer *k)
{
    if (k->sendLen <= 0)
        return 0;
    qCDebug(lcKermit).noquote() << "resend() - packet" << kermitUnChar(k->sendBuf[2]);
    return writeKept(k);
}

// --- Encoding ---

namespace {

inline void put(KermitTransfer *k, int c)
{
    k->xdata[k->size++] = uint8_t(c);
    k->xdata[k->size] = 0;
}

// Prefixing of one byte: 8th bit, then control characters and prefix characters.
void emitPrefixed(KermitTransfer *k, int b)
{
    if (k->ebqOn && (b & 0x80)) {
        put(k, k->ebqPrefix);
        b &= 0x7F;
    }
    const int b7 = b & 0x7F;
    if (b7 < 32 || b7 == 127) {
        put(k, k->ctlPrefixSent);
        put(k, b ^ 64);
    } else if (b7 == k->ctlPrefixSent || (k->ebqOn && b7 == k->ebqPrefix)
        || (k->rptOn && b7 == k->rptPrefix)) {
        put(k, k->ctlPrefixSent);
        put(k, b);
    } else {
        put(k, b);
    }
}

int fieldLimit(const KermitTransfer *k)
{
    return k->sendMax - k->bct - 8;
}

int nextInput(KermitTransfer *k)
{
    if (k->inputText) {
        const uint8_t c = uint8_t(*k->inputText);
        if (!c)
            return -1;
        ++k->inputText;
        return c;
    }
    return k->readf ? k->readf(k) : -1;
}

} // namespace

void encodeByte(KermitTransfer *k, int b, int next)
{
    constexpr int kMaxRun = 94;
    if (k->rptOn) {
        if (b == next) {
            if (++k->rptCount < kMaxRun)
                return;
            put(k, k->rptPrefix);
            put(k, kermitToChar(kMaxRun));
            k->rptCount = 0;
        } else if (k->rptCount == 1) {
            // A pair costs no more sent plainly than as a repeat count.
            k->rptCount = 0;
            emitPrefixed(k, b);
            // Lets getpkt carry only the second copy when the field overflows; never
            // mark a size beyond the field limit.
            if (k->size <= fieldLimit(k))
                k->prevSize = k->size;
            emitPrefixed(k, b);
            return;
        } else if (k->rptCount >= 2) {
            put(k, k->rptPrefix);
            put(k, kermitToChar(k->rptCount + 1));
            k->rptCount = 0;
        }
    }
    emitPrefixed(k, b);
}

int getpkt(KermitTransfer *k, KermitStatus *s)
{
    const int limit = fieldLimit(k);
    if (k->s_first == 1) {
        k->s_first = 0;
        k->remainLen = 0;
        k->rptCount = 0;
        k->lastByte = nextInput(k);
        if (k->lastByte < 0) {
            k->s_first = -1;
            k->size = 0;
            k->xdata[0] = 0;
            return 0;
        }
        if (s)
            ++s->bytesSoFar;
    } else if (k->s_first == -1 && k->remainLen == 0) {
        k->size = 0;
        k->xdata[0] = 0;
        return 0;
    }
    std::memcpy(k->xdata, k->s_remain, size_t(k->remainLen));
    k->size = k->remainLen;
    k->xdata[k->size] = 0;
    k->remainLen = 0;
    if (k->s_first == -1)
        return k->size;
    for (;;) {
        const int next = nextInput(k);
        if (next < 0)
            k->s_first = -1;
        else if (s)
            ++s->bytesSoFar;
        k->prevSize = k->size;
        encodeByte(k, k->lastByte, next);
        k->lastByte = next;
        if (k->size == limit)
            return k->size;
        if (k->size > limit) {
            const int carry = k->size - k->prevSize;
            std::memcpy(k->s_remain, k->xdata + k->prevSize, size_t(carry));
            k->remainLen = int16_t(carry);
            k->size = k->prevSize;
            k->xdata[k->size] = 0;
            return k->size;
        }
        if (k->s_first == -1)
            return k->size;
    }
}

// --- Incoming packet check ---

KermitCheck kermitCheckPacket(KermitTransfer *k, uint8_t *buf, int len, KermitPacketInfo *info)
{
    if (len < 4)
        return kKermitCheckShort;
    info->seq = kermitUnChar(buf[1]);
    info->type = char(buf[2]);
    int c;
    if (k->forceType3)
        c = 3;
    else if (info->type == 'S' || k->state == kKermitStateSendInitWait)
        c = 1;
    else
        c = k->bct;
    int dataAt;
    int dataLen;
    if (buf[0] == ' ') {
        if (len < 6 || kermitUnChar(buf[5]) != check1Of(buf, 5))
            return kKermitCheckBadHeader;
        dataAt = 6;
        dataLen = kermitUnChar(buf[3]) * 95 + kermitUnChar(buf[4]) - c;
    } else {
        dataAt = 3;
        dataLen = kermitUnChar(buf[0]) - c - 2;
    }
    // A length field that does not fit what arrived cannot be checked.
    if (dataLen < 0 || dataAt + dataLen + c > len)
        return kKermitCheckBadBlock;
    info->data = buf + dataAt;
    info->dataLen = dataLen;
    uint8_t *chk = buf + dataAt + dataLen;
    const int checked = dataAt + dataLen;
    bool ok = checkMatches(k, c, buf, checked, chk);
    if (!ok && c > 1 && info->type == 'E') {
        // An error packet may come with a one-character check whatever was agreed.
        ok = checkMatches(k, 1, buf, checked + c - 1, chk + c - 1);
        if (ok)
            info->dataLen = dataLen + c - 1;
    }
    if (!ok)
        return kKermitCheckBadBlock;
    info->data[info->dataLen] = 0;
    return kKermitCheckGood;
}
