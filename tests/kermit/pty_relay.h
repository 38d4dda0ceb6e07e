#pragma once

#include <QString>
#include <atomic>
#include <thread>

// Two pseudo-terminals joined back to back: bytes written on one slave come out of
// the other. Lets two programs that each want a terminal talk to each other, the way
// a cable would join two serial ports.
class PtyRelay
{
public:
    PtyRelay();
    ~PtyRelay();

    bool isValid() const { return mMaster[0] >= 0 && mMaster[1] >= 0; }
    QString path(int side) const { return mPath[side]; }
    qint64 bytesCopied(int fromSide) const { return mCopied[fromSide]; }

private:
    void run();

    int mMaster[2] = { -1, -1 };
    int mHeldSlave[2] = { -1, -1 }; // keeps each pty open while neither end has it
    QString mPath[2];
    std::atomic<qint64> mCopied[2] = { { 0 }, { 0 } };
    std::atomic<bool> mStop { false };
    std::thread mThread;
};
