#include "kermit_receiver.h"

namespace {

constexpr char kStartMark = 1;
constexpr int kSeqModulo = 64;

inline char toChar(int x)
{
    return char(x + 32);
}
inline int unChar(char c)
{
    return (uint8_t(c) - 32) & 0xFF;
}
// Characters that may serve as a prefix (8th-bit, repeat).
inline bool isPrefixChar(char c)
{
    const int v = uint8_t(c);
    return (v >= 33 && v <= 62) || (v >= 96 && v <= 126);
}
inline int prevSeq(int seq)
{
    return (seq + kSeqModulo - 1) % kSeqModulo;
}

} // namespace

KermitReceiver::KermitReceiver(const KermitReceiverOptions &options)
    : mOpt(options)
    , mPrevSeqLeft(options.prevSeqCount)
{ }

QByteArray KermitReceiver::blockCheck(int type, const QByteArray &bytes)
{
    QByteArray out;
    if (type == 3) {
        uint16_t crc = 0;
        for (char ch : bytes) {
            crc ^= uint8_t(ch);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0x8408) : uint16_t(crc >> 1);
        }
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

bool KermitReceiver::decodeField(
    const QByteArray &field, char qctl, char qbin, char rept, QByteArray &out)
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

QByteArray KermitReceiver::packet(char type, int seq, const QByteArray &data, int checkType) const
{
    const int n = data.size();
    QByteArray body;
    if (n + checkType + 2 < 95) {
        body += toChar(n + checkType + 2);
        body += toChar(seq);
        body += type;
    } else {
        body += toChar(0);
        body += toChar(seq);
        body += type;
        body += toChar((n + checkType) / 95);
        body += toChar((n + checkType) % 95);
        body += blockCheck(1, body);
    }
    body += data;
    body += blockCheck(checkType, body);
    QByteArray out;
    out += kStartMark;
    out += body;
    out += mEol;
    return out;
}

QByteArray KermitReceiver::ack(int seq, const QByteArray &data)
{
    mLastReply = packet('Y', seq, data, mState == State::WaitInit ? 1 : mBct);
    mExpectedSeq = (seq + 1) % kSeqModulo;
    return mLastReply;
}

QByteArray KermitReceiver::nak(int seq)
{
    ++mNaksSent;
    return packet('N', seq, QByteArray(), mState == State::WaitInit ? 1 : mBct);
}

QByteArray KermitReceiver::initReply() const
{
    const bool windows = mOpt.window > 1;
    QByteArray p;
    p += toChar(94);
    p += toChar(qBound(1, mOpt.timeoutMs / 1000, 94));
    p += toChar(0);
    p += '@'; // PADC: 0 transformed
    p += toChar(13);
    p += '#';
    p += mOpt.qbin;
    p += mOpt.chkt;
    p += mOpt.rept;
    p += toChar((mOpt.longPackets ? 2 : 0) | (windows ? 4 : 0) | (mOpt.attributes ? 8 : 0));
    p += toChar(mOpt.window);
    p += toChar(mOpt.maxPacketLen / 95);
    p += toChar(mOpt.maxPacketLen % 95);
    return p;
}

void KermitReceiver::applySenderInit(const QByteArray &d)
{
    const auto field = [&d](int i, char fallback) { return i < d.size() ? d[i] : fallback; };
    const int eol = unChar(field(4, toChar(13)));
    mEol = char(eol > 0 && eol < 32 ? eol : 13);
    mQctl = field(5, '#');

    const char theirQbin = field(6, ' ');
    if (isPrefixChar(theirQbin) && (mOpt.qbin == 'Y' || mOpt.qbin == theirQbin))
        mQbin = theirQbin;
    else if (theirQbin == 'Y' && isPrefixChar(mOpt.qbin))
        mQbin = mOpt.qbin;
    else
        mQbin = 0;

    mForce3 = mOpt.chkt == '5';
    mBct = mForce3 ? 3 : mOpt.chkt - '0';

    const char theirRept = field(8, ' ');
    mRept = (isPrefixChar(mOpt.rept) && theirRept == mOpt.rept) ? mOpt.rept : 0;

    const int theirCapas = d.size() > 9 ? unChar(d[9]) : 0;
    mAttributesOn = mOpt.attributes && (theirCapas & 8);
}

void KermitReceiver::parseAttributes(const QByteArray &d)
{
    if (mFiles.isEmpty())
        return;
    int i = 0;
    while (i + 1 < d.size()) {
        const char tag = d[i];
        const int len = unChar(d[i + 1]);
        const QByteArray value = d.mid(i + 2, len);
        if (tag == '1') {
            bool ok = false;
            const qint64 size = value.toLongLong(&ok);
            if (ok)
                mFiles.last().declaredSize = size;
        } else if (tag == '!' && mFiles.last().declaredSize < 0) {
            bool ok = false;
            const qint64 kbytes = value.toLongLong(&ok);
            if (ok)
                mFiles.last().declaredSize = kbytes * 1024;
        }
        i += 2 + len;
    }
}

void KermitReceiver::fail(const QString &why)
{
    mStatus = Status::Failed;
    mState = State::Done;
    mError = why;
}

QByteArray KermitReceiver::feed(const QByteArray &bytes, qint64 nowMs)
{
    QByteArray out;
    if (mLastActivityMs < 0)
        mLastActivityMs = nowMs;
    for (char c : bytes) {
        if (mStatus != Status::Running)
            break;
        if (c == kStartMark) {
            // A new start mark always begins a new packet: a partial one was garbled.
            mPacket.clear();
            mCollecting = true;
            continue;
        }
        if (!mCollecting)
            continue;
        if (c == '\r' || c == '\n' || c == mEol) {
            mCollecting = false;
            out += handlePacket(mPacket, nowMs);
            continue;
        }
        mPacket += c;
        if (mPacket.size() > mOpt.maxPacketLen + 16)
            mCollecting = false; // longer than we ever agreed to: drop it
    }
    return out;
}

QByteArray KermitReceiver::poll(qint64 nowMs)
{
    if (mStatus != Status::Running)
        return QByteArray();
    if (mLastActivityMs < 0)
        mLastActivityMs = nowMs;
    if (nowMs - mLastActivityMs < mOpt.timeoutMs)
        return QByteArray();
    mLastActivityMs = nowMs;
    if (++mTimeouts > mOpt.maxTimeouts) {
        fail("timed out waiting for the sender");
        return QByteArray();
    }
    return nak(mExpectedSeq);
}

QByteArray KermitReceiver::handlePacket(const QByteArray &body, qint64 nowMs)
{
    mLastActivityMs = nowMs;
    mTimeouts = 0;
    if (body.size() < 4)
        return nak(mExpectedSeq);

    const int len = unChar(body[0]);
    const int seq = unChar(body[1]);
    const char type = body[2];
    int dataStart = 3;
    int total = 0; // bytes of the packet from LEN to the end of the check
    if (len == 0) {
        if (body.size() < 7 || blockCheck(1, body.left(5)).at(0) != body[5])
            return nak(mExpectedSeq);
        dataStart = 6;
        total = 6 + unChar(body[3]) * 95 + unChar(body[4]);
    } else {
        total = len + 1;
    }
    if (len != 0 && len < 3)
        return nak(mExpectedSeq);
    if (body.size() != total)
        return nak(mExpectedSeq);

    // The check type agreed; a sender that fell back to type 1 (because our offer differed
    // from its own) is recognised on its first packet, and error packets may carry type 1.
    const int agreed = mState == State::WaitInit ? 1 : mBct;
    QList<int> candidates { agreed };
    if (agreed != 1 && (type == 'S' || type == 'E' || !mBctLocked))
        candidates.append(1);
    int checkLen = -1;
    for (int c : candidates) {
        if (total - c < dataStart)
            continue;
        if (blockCheck(c, body.left(total - c)) == body.mid(total - c, c)) {
            checkLen = c;
            break;
        }
    }
    if (checkLen < 0)
        return nak(mExpectedSeq);
    if (mState != State::WaitInit && type != 'S' && type != 'E' && !mBctLocked) {
        mBct = checkLen;
        mBctLocked = true;
    }
    const QByteArray data = body.mid(dataStart, total - checkLen - dataStart);

    if (type == 'E') {
        QByteArray text;
        decodeField(data, mQctl, mQbin, mRept, text);
        fail(QString("sender error: %1").arg(QString::fromLatin1(text)));
        return QByteArray();
    }

    if (seq != mExpectedSeq) {
        // The sender did not see our last reply: repeat it.
        if (seq == prevSeq(mExpectedSeq) && !mLastReply.isEmpty())
            return mLastReply;
        return nak(mExpectedSeq);
    }

    switch (mState) {
    case State::WaitInit:
        if (type != 'S')
            return nak(mExpectedSeq);
        applySenderInit(data);
        {
            QByteArray reply = ack(seq, initReply());
            mState = State::WaitFile;
            return reply;
        }
    case State::WaitFile:
        if (type == 'F') {
            KermitReceivedFile file;
            QByteArray name;
            decodeField(data, mQctl, mQbin, mRept, name);
            file.name = QString::fromUtf8(name);
            mFiles.append(file);
            mState = State::WaitData;
            return ack(seq);
        }
        if (type == 'B') {
            QByteArray reply = ack(seq);
            mStatus = Status::Complete;
            mState = State::Done;
            return reply;
        }
        return nak(mExpectedSeq);
    case State::WaitData:
        if (type == 'A') {
            parseAttributes(data);
            return ack(seq);
        }
        if (type == 'D') {
            ++mDataPackets;
            if (mPrevSeqLeft > 0) {
                --mPrevSeqLeft;
                return packet('Y', prevSeq(seq), QByteArray(), mBct);
            }
            if (mOpt.nakEvery > 0 && mDataPackets % mOpt.nakEvery == 0)
                return nak(seq);
            QByteArray decoded;
            if (!decodeField(data, mQctl, mQbin, mRept, decoded))
                return nak(seq);
            mFiles.last().data += decoded;
            mBytesReceived += decoded.size();
            return ack(seq);
        }
        if (type == 'Z') {
            mFiles.last().complete = data != "D";
            mState = State::WaitFile;
            return ack(seq);
        }
        return nak(mExpectedSeq);
    case State::Done:
        break;
    }
    return QByteArray();
}
