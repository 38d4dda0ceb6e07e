#include "pty_pair.h"

#include <QElapsedTimer>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    mMaster = posix_openpt(O_RDWR | O_NOCTTY);
    if (mMaster < 0)
        return;
    if (grantpt(mMaster) != 0 || unlockpt(mMaster) != 0) {
        closeMaster();
        return;
    }
    mPath = QString::fromLocal8Bit(ptsname(mMaster));
    // Raw on the master's line discipline so bytes pass unchanged both ways.
    termios tio {};
    if (tcgetattr(mMaster, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(mMaster, TCSANOW, &tio);
    }
}

PtyPair::~PtyPair()
{
    closeMaster();
}

void PtyPair::closeMaster()
{
    if (mMaster >= 0)
        ::close(mMaster);
    mMaster = -1;
}

bool PtyPair::write(const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(mMaster, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

QByteArray PtyPair::read(int timeoutMs, int atLeast)
{
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (mMaster >= 0 && out.size() < atLeast) {
        const qint64 left = timeoutMs - t.elapsed();
        if (left <= 0)
            break;
        pollfd p { mMaster, POLLIN, 0 };
        if (::poll(&p, 1, int(left)) <= 0)
            continue;
        if (!(p.revents & POLLIN))
            break;
        char buf[4096];
        const ssize_t n = ::read(mMaster, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, int(n));
    }
    return out;
}
