#include "pty_relay.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kChunkBytes = 65536;

int openMaster(QString &path)
{
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (grantpt(fd) != 0 || unlockpt(fd) != 0) {
        ::close(fd);
        return -1;
    }
    path = QString::fromLocal8Bit(ptsname(fd));
    termios tio {};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

} // namespace

PtyRelay::PtyRelay()
{
    for (int side = 0; side < 2; ++side) {
        mMaster[side] = openMaster(mPath[side]);
        if (mMaster[side] >= 0)
            mHeldSlave[side] = ::open(mPath[side].toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    }
    if (::pipe(mStopPipe) != 0)
        mStopPipe[0] = mStopPipe[1] = -1;
    if (!isValid())
        return;
    mThread[0] = std::thread(&PtyRelay::copy, this, 0, 1);
    mThread[1] = std::thread(&PtyRelay::copy, this, 1, 0);
}

PtyRelay::~PtyRelay()
{
    if (mStopPipe[1] >= 0)
        (void)::write(mStopPipe[1], "x", 1);
    for (std::thread &t : mThread)
        if (t.joinable())
            t.join();
    for (int fd :
        { mHeldSlave[0], mHeldSlave[1], mMaster[0], mMaster[1], mStopPipe[0], mStopPipe[1] })
        if (fd >= 0)
            ::close(fd);
}

// Copies from one master to the other until the stop pipe becomes readable.
void PtyRelay::copy(int from, int to)
{
    char buf[kChunkBytes];
    for (;;) {
        pollfd in[2] = { { mMaster[from], POLLIN, 0 }, { mStopPipe[0], POLLIN, 0 } };
        if (::poll(in, 2, -1) < 0 && errno != EINTR)
            return;
        if (in[1].revents)
            return;
        const ssize_t n = ::read(mMaster[from], buf, sizeof buf);
        for (ssize_t done = 0; n > 0 && done < n;) {
            const ssize_t w = ::write(mMaster[to], buf + done, size_t(n - done));
            if (w > 0) {
                done += w;
                continue;
            }
            if (w < 0 && errno != EAGAIN && errno != EINTR)
                return;
            pollfd out[2] = { { mMaster[to], POLLOUT, 0 }, { mStopPipe[0], POLLIN, 0 } };
            ::poll(out, 2, -1);
            if (out[1].revents)
                return;
        }
    }
}
