#include "kermit_receiver.h"

#include "kermit_codec.h"

using kcodec::toChar;
using kcodec::unChar;

namespace {

constexpr char kStartMark = 1;
constexpr int kSeqModulo = 64;

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

QByteArray builtInitReply(const KermitReceiverOptions &o)
{
    const bool windows = o.window > 1;
    QByteArray p;
    p += toChar(94);
    p += toChar(qBound(1, o.timeoutMs / 1000, 94));
    p += toChar(0);
    p += '@'; // PADC: 0 transformed
    p += toChar(13);
    p += '#';
    p += o.qbin;
    p += o.chkt;
    p += o.rept;
    p += toChar((o.longPackets ? 2 : 0) | (windows ? 4 : 0) | (o.attributes ? 8 : 0));
    p += toChar(o.window);
    p += toChar(o.maxPacketLen / 95);
    p += toChar(o.maxPacketLen % 95);
    return p;
}

} // namespace

KermitReceiver::KermitReceiver(const KermitReceiverOptions &options)
    : mOpt(options)
    , mInitReply(options.initReply.isEmpty() ? builtInitReply(options) : options.initReply)
    , mPrevSeqLeft(options.prevSeqCount)
{ }

int KermitReceiver::replyCheckType() const
{
    return mState == State::WaitInit ? 1 : mBct;
}

QByteArray KermitReceiver::ack(int seq, const QByteArray &data)
{
    mLastReply = kcodec::packet('Y', seq, data, replyCheckType(), mEol);
    mExpectedSeq = (seq + 1) % kSeqModulo;
    return mLastReply;
}

QByteArray KermitReceiver::nak(int seq)
{
    ++mNaksSent;
    return kcodec::packet('N', seq, QByteArray(), replyCheckType(), mEol);
}

// What both Send-Init strings agree on; the fields of our own reply decide our side.
void KermitReceiver::applySenderInit(const QByteArray &d)
{
    const auto field
        = [](const QByteArray &s, int i, char fallback) { return i < s.size() ? s[i] : fallback; };
    const int eol = unChar(field(d, 4, toChar(13)));
    mEol = char(eol > 0 && eol < 32 ? eol : 13);
    mQctl = field(d, 5, '#');

    const char ourQbin = field(mInitReply, 6, ' ');
    const char theirQbin = field(d, 6, ' ');
    if (isPrefixChar(theirQbin) && (ourQbin == 'Y' || ourQbin == theirQbin))
        mQbin = theirQbin;
    else if (theirQbin == 'Y' && isPrefixChar(ourQbin))
        mQbin = ourQbin;
    else
        mQbin = 0;

    const char chkt = field(mInitReply, 7, '1');
    mForce3 = chkt == '5';
    mBct = mForce3 ? 3 : (chkt >= '1' && chkt <= '3' ? chkt - '0' : 1);

    const char ourRept = field(mInitReply, 8, ' ');
    mRept = (isPrefixChar(ourRept) && field(d, 8, ' ') == ourRept) ? ourRept : 0;
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

    // The check type agreed; a sender that fell back to type 1 (because our offer differed
    // from its own) is recognised on its first packet, and error packets may carry type 1.
    const char type = body[2];
    const int agreed = replyCheckType();
    kcodec::Packet p = kcodec::parse(body, agreed);
    if (!p.valid && agreed != 1 && (type == 'S' || type == 'E' || !mBctLocked))
        p = kcodec::parse(body, 1);
    if (!p.valid)
        return nak(mExpectedSeq);
    if (mState != State::WaitInit && type != 'S' && type != 'E' && !mBctLocked) {
        mBct = p.checkLen;
        mBctLocked = true;
    }
    const int seq = p.seq;
    const QByteArray &data = p.data;

    if (type == 'E') {
        QByteArray text;
        kcodec::decodeField(data, mQctl, mQbin, mRept, text);
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
            QByteArray reply = ack(seq, mInitReply);
            mState = State::WaitFile;
            return reply;
        }
    case State::WaitFile:
        if (type == 'F') {
            KermitReceivedFile file;
            QByteArray name;
            kcodec::decodeField(data, mQctl, mQbin, mRept, name);
            file.name = QString::fromUtf8(name);
            mFiles.append(file);
            mState = State::WaitData;
            return ack(seq, data); // names the file as it will be stored
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
                return kcodec::packet('Y', prevSeq(seq), QByteArray(), mBct, mEol);
            }
            if (mOpt.nakEvery > 0 && mDataPackets % mOpt.nakEvery == 0)
                return nak(seq);
            QByteArray decoded;
            if (!kcodec::decodeField(data, mQctl, mQbin, mRept, decoded))
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
