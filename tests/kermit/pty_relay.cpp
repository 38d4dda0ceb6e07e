#include "pty_relay.h"

#include <QByteArray>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kPollMs = 20;
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
    if (isValid())
        mThread = std::thread(&PtyRelay::run, this);
}

PtyRelay::~PtyRelay()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
    for (int side = 0; side < 2; ++side) {
        if (mHeldSlave[side] >= 0)
            ::close(mHeldSlave[side]);
        if (mMaster[side] >= 0)
            ::close(mMaster[side]);
    }
}

void PtyRelay::run()
{
    QByteArray pending[2]; // bytes read from side i, not yet written to the other
    char buf[kChunkBytes];
    while (!mStop) {
        pollfd p[2];
        for (int side = 0; side < 2; ++side) {
            p[side].fd = mMaster[side];
            p[side].events = short((pending[side].size() < kChunkBytes ? POLLIN : 0)
                | (pending[1 - side].isEmpty() ? 0 : POLLOUT));
            p[side].revents = 0;
        }
        if (::poll(p, 2, kPollMs) <= 0)
            continue;
        for (int side = 0; side < 2; ++side) {
            if (p[side].revents & POLLIN) {
                const ssize_t n = ::read(mMaster[side], buf, sizeof buf);
                if (n > 0)
                    pending[side].append(buf, int(n));
            }
            QByteArray &out = pending[1 - side];
            if ((p[side].revents & POLLOUT) && !out.isEmpty()) {
                const ssize_t n = ::write(mMaster[side], out.constData(), size_t(out.size()));
                if (n > 0) {
                    out.remove(0, int(n));
                    mCopied[1 - side] += n;
                }
            }
        }
    }
}
