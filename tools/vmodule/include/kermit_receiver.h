#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What the receiver offers in its reply to the Send-Init, and its fault switches.
struct KermitReceiverOptions
{
    char chkt = '3'; // '1', '2', '3', or '5' (type 3 on every packet after the Send-Init)
    bool longPackets = true;
    int maxPacketLen = 2048; // longest packet accepted when long packets are agreed
    int window = 1;
    bool attributes = true;
    char qbin = 'Y'; // 'Y' willing, 'N' refuse, or the prefix to use
    char rept = '~'; // ' ' for no repeat counts
    int timeoutMs = 5000; // silence before a NAK
    int maxTimeouts = 5; // consecutive time-outs before the transfer is given up
    int nakEvery = 0; // fault: NAK every k-th data packet instead of acknowledging it
    int prevSeqCount = 0; // fault: acknowledge the next n data packets with the previous
                          // sequence number
    QByteArray initReply; // the reply to the Send-Init as sent ("": built from the above)
};

struct KermitReceivedFile
{
    QString name;
    QByteArray data;
    qint64 declaredSize = -1; // from the attribute packet; -1 when none came
    bool complete = false; // the end-of-file packet arrived (and did not discard it)
};

// The receiving side of a Kermit file transfer as a step engine: bytes from the line go in,
// bytes for the line come out. Single window: every packet is acknowledged before the next.
class KermitReceiver
{
public:
    enum class Status
    {
        Running,
        Complete,
        Failed
    };

    explicit KermitReceiver(const KermitReceiverOptions &options);

    // Consumes bytes from the sender; returns what must be written back.
    QByteArray feed(const QByteArray &bytes, qint64 nowMs);
    // Time-out handling; call regularly. Returns what must be written back.
    QByteArray poll(qint64 nowMs);

    Status status() const { return mStatus; }
    QString error() const { return mError; }
    const QList<KermitReceivedFile> &files() const { return mFiles; }
    // File bytes decoded so far in this transfer, over all files.
    qint64 bytesReceived() const { return mBytesReceived; }
    // Block-check type in use after the Send-Init exchange (1 to 3).
    int blockCheckType() const { return mBct; }
    bool repeatCountsOn() const { return mRept != 0; }
    bool eighthBitPrefixOn() const { return mQbin != 0; }
    int nakCount() const { return mNaksSent; }

private:
    enum class State
    {
        WaitInit,
        WaitFile,
        WaitData,
        Done
    };

    QByteArray handlePacket(const QByteArray &body, qint64 nowMs);
    QByteArray ack(int seq, const QByteArray &data = QByteArray());
    QByteArray nak(int seq);
    int replyCheckType() const;
    void applySenderInit(const QByteArray &data);
    void parseAttributes(const QByteArray &data);
    void fail(const QString &why);

    KermitReceiverOptions mOpt;
    QByteArray mInitReply;
    Status mStatus = Status::Running;
    State mState = State::WaitInit;
    QString mError;
    QByteArray mPacket; // packet being collected (after the start mark)
    bool mCollecting = false;
    qint64 mLastActivityMs = -1;
    int mTimeouts = 0;
    int mExpectedSeq = 0;
    QByteArray mLastReply; // resent when the sender repeats its last packet
    int mBct = 1;
    bool mForce3 = false;
    bool mBctLocked = false; // the sender's check type has been seen on a packet
    char mQctl = '#';
    char mQbin = 0;
    char mRept = 0;
    char mEol = 13;
    int mDataPackets = 0;
    int mPrevSeqLeft = 0;
    int mNaksSent = 0;
    qint64 mBytesReceived = 0;
    QList<KermitReceivedFile> mFiles;
};
