#pragma once

#include <QString>
#include <thread>

// Two pseudo-terminals joined back to back, as a cable joins two serial ports: bytes
// written on one slave come out of the other. One thread per direction, so a packet is
// passed on as soon as it is read, without waiting for the other direction's turn.
class PtyRelay
{
public:
    PtyRelay();
    ~PtyRelay();
    PtyRelay(const PtyRelay &) = delete;
    PtyRelay &operator=(const PtyRelay &) = delete;

    bool isValid() const { return mMaster[0] >= 0 && mMaster[1] >= 0 && mStopPipe[1] >= 0; }
    QString path(int side) const { return mPath[side]; }

private:
    void copy(int from, int to);

    int mMaster[2] = { -1, -1 };
    int mHeldSlave[2] = { -1, -1 }; // keeps each pty open while neither end has it
    int mStopPipe[2] = { -1, -1 };
    QString mPath[2];
    std::thread mThread[2];
};
