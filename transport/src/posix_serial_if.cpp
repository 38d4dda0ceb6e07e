#include "posix_serial_if.h"

#include "port_enumeration.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSerial, "trivo.serial", QtInfoMsg)

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// Bounded mode: a transfer of n bytes may take 500 * n + 500 ms in all, and a read
// ends once more than 500 ms pass between two bytes.
constexpr qint64 kPerByteMs = 500;
constexpr qint64 kConstantMs = 500;
constexpr qint64 kInterByteMs = 500;
// FlushInput stops once the line has been quiet this long.
constexpr int kFlushSilenceMs = 1;
// ...and gives up on a device that never stops talking, so callers cannot hang.
constexpr qint64 kFlushLimitMs = 2000;
// Closing waits for queued output at most this long, plus the time the bytes need.
constexpr qint64 kDrainBaseMs = 500;
constexpr qint64 kBytesPerMsAt38400 = 3;

constexpr int kFallbackPortCount = 256;
constexpr char kFallbackPortPrefix[] = "/dev/ttyACM";

qint64 msUntil(Clock::time_point t)
{
    return std::chrono::duration_cast<Ms>(t - Clock::now()).count();
}

Clock::time_point boundedDeadline(uint32_t length)
{
    return Clock::now() + Ms(kPerByteMs * qint64(length) + kConstantMs);
}

// poll() takes an int; the unbounded mode waits forever (-1).
int pollTimeout(qint64 ms)
{
    if (ms < 0)
        return -1;
    return int(std::min<qint64>(ms, 1 << 30));
}

bool isGoneErrno(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF || err == EPIPE;
}

CPosixSerialIF::OpenError classifyOpenErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return CPosixSerialIF::OpenError::NoSuchPort;
    case EACCES:
    case EPERM:
    case EROFS:
        return CPosixSerialIF::OpenError::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return CPosixSerialIF::OpenError::Busy;
    default:
        return CPosixSerialIF::OpenError::Other;
    }
}

// The exclusive flag belongs to the terminal, not to our descriptor: a pseudo-terminal
// keeps it after we close while its master stays open, and would refuse every later
// open by an unprivileged user. Clear it first.
bool releaseFd(int fd)
{
    ::ioctl(fd, TIOCNXCL);
    return ::close(fd) == 0;
}

bool configureLine(int fd)
{
    termios tio {};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CRTSCTS | CSTOPB | PARENB | CSIZE);
    tio.c_cflag |= CS8;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Reads never block in the driver; every wait is a poll() with its own deadline.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        qCDebug(lcSerial).noquote() << "Failed to set line settings, error" << errno;
    return true;
}

} // namespace

CPosixSerialIF::CPosixSerialIF()
    : mLister(&ListModulePorts)
{ }

CPosixSerialIF::~CPosixSerialIF()
{
    if (mFd >= 0)
        releaseFd(mFd);
}

void CPosixSerialIF::SetPortLister(PortLister lister)
{
    mLister = std::move(lister);
}

void CPosixSerialIF::SetPortList(const QStringList &paths)
{
    mPortList = paths;
    mEnumerationFailed = false;
}

void CPosixSerialIF::EnumeratePorts()
{
    mPortList.clear();
    QStringList paths;
    if (!mLister || !mLister(paths)) {
        mEnumerationFailed = true;
        return;
    }
    mPortList = paths;
    mEnumerationFailed = false;
}

int CPosixSerialIF::GetNumPorts()
{
    return mEnumerationFailed ? kFallbackPortCount : int(mPortList.size());
}

QString CPosixSerialIF::NumberedPortPath(int index)
{
    return QLatin1String(kFallbackPortPrefix) + QString::number(index);
}

QString CPosixSerialIF::PortPath(int index) const
{
    if (mEnumerationFailed)
        return index >= 0 && index < kFallbackPortCount ? NumberedPortPath(index) : QString();
    return index >= 0 && index < mPortList.size() ? mPortList.at(index) : QString();
}

int CPosixSerialIF::GetPortNumber(int index)
{
    if (mEnumerationFailed || index < 0 || index >= mPortList.size()) {
        qCDebug(lcSerial).noquote() << "Error getting serial port number";
        return -1;
    }
    const QString name = QFileInfo(mPortList.at(index)).fileName();
    int digits = 0;
    while (digits < name.size() && name.at(name.size() - 1 - digits).isDigit())
        ++digits;
    return digits ? name.right(digits).toInt() : 0;
}

bool CPosixSerialIF::OpenSerialPort(int index)
{
    const int limit = GetNumPorts();
    if (index < 0 || index >= limit) {
        qCDebug(lcSerial).noquote() << QString::asprintf(
            "Opened serial port %d only %d ports available", index, int(mPortList.size()));
        return false;
    }
    CloseSerialPort();
    return openPath(PortPath(index));
}

bool CPosixSerialIF::OpenDevicePath(const QString &path)
{
    CloseSerialPort();
    return openPath(path);
}

bool CPosixSerialIF::openPath(const QString &path)
{
    auto fail = [this](OpenError why, int err, int fd) {
        if (fd >= 0)
            ::close(fd);
        mLastOpenError = why;
        mLastOpenErrno = err;
        return false;
    };

    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(classifyOpenErrno(errno), errno, -1);
    // The advisory lock also holds against privileged openers, which TIOCEXCL lets through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        return fail(err == EWOULDBLOCK ? OpenError::Busy : OpenError::Other, err, fd);
    }
    if (!configureLine(fd))
        return fail(OpenError::Other, errno, fd);
    if (::ioctl(fd, TIOCEXCL) != 0)
        qCDebug(lcSerial).noquote() << "Could not make" << path << "exclusive, error" << errno;
    tcflush(fd, TCIOFLUSH);

    mFd = fd;
    mOpenPath = path;
    mLastOpenError = OpenError::None;
    mLastOpenErrno = 0;
    return true;
}

void CPosixSerialIF::handleDeviceGone()
{
    if (mFd < 0)
        return;
    qCDebug(lcSerial).noquote() << "Serial port" << mOpenPath << "went away";
    releaseFd(mFd);
    mFd = -1;
    mOpenPath.clear();
}

bool CPosixSerialIF::CloseSerialPort()
{
    if (mFd < 0)
        return false;
    // Let queued output reach the device, but never wait on a stuck line for long.
    int queued = 0;
    if (::ioctl(mFd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        const auto deadline = Clock::now() + Ms(kDrainBaseMs + queued / kBytesPerMsAt38400);
        while (::ioctl(mFd, TIOCOUTQ, &queued) == 0 && queued > 0 && msUntil(deadline) > 0)
            ::usleep(1000);
    }
    const bool ok = releaseFd(mFd);
    mFd = -1;
    mOpenPath.clear();
    return ok;
}

bool CPosixSerialIF::IsOpen()
{
    if (mFd < 0)
        return false;
    // A hang-up can arrive between reads (the far end vanished); notice it right away.
    pollfd p { mFd, 0, 0 };
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        handleDeviceGone();
    return mFd >= 0;
}

void CPosixSerialIF::SetTimeoutMode(bool bounded)
{
    mBoundedTimeouts = bounded;
}

int CPosixSerialIF::readSome(uint8_t *buffer, uint32_t length, qint64 waitMs)
{
    pollfd p { mFd, POLLIN, 0 };
    const int ready = ::poll(&p, 1, pollTimeout(waitMs));
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return 0;
    if (ready > 0) {
        const ssize_t n = ::read(mFd, buffer, length);
        if (n > 0)
            return int(n);
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && !(p.revents & (POLLHUP | POLLERR)))
            return 0;
    }
    // End of file, an I/O error or a hang-up: the device is gone.
    handleDeviceGone();
    return -1;
}

uint32_t CPosixSerialIF::Read(uint8_t *buffer, uint32_t length)
{
    if (mFd < 0 || length == 0 || !buffer)
        return 0;
    const bool bounded = mBoundedTimeouts;
    const auto totalDeadline = boundedDeadline(length);
    Clock::time_point lastByte;
    uint32_t got = 0;
    while (got < length) {
        qint64 waitMs = -1;
        if (bounded) {
            waitMs = msUntil(totalDeadline);
            if (got > 0)
                waitMs = std::min(waitMs, msUntil(lastByte + Ms(kInterByteMs)));
            if (waitMs < 0)
                break;
        }
        const int n = readSome(buffer + got, length - got, waitMs);
        if (n < 0 || (n == 0 && bounded && waitMs <= 0))
            break;
        if (n > 0) {
            got += uint32_t(n);
            lastByte = Clock::now();
        }
    }
    return got;
}

uint32_t CPosixSerialIF::ReadWithin(uint8_t *buffer, uint32_t length, int maxWaitMs)
{
    if (mFd < 0 || length == 0 || !buffer)
        return 0;
    const auto deadline = Clock::now() + Ms(std::max(0, maxWaitMs));
    for (;;) {
        const qint64 leftMs = std::chrono::ceil<Ms>(deadline - Clock::now()).count();
        const int n = readSome(buffer, length, std::max<qint64>(0, leftMs));
        if (n != 0)
            return n > 0 ? uint32_t(n) : 0;
        if (leftMs <= 0)
            return 0;
    }
}

bool CPosixSerialIF::Write(const uint8_t *buffer, uint32_t length, uint32_t *written)
{
    if (mFd < 0)
        return false;
    const bool bounded = mBoundedTimeouts;
    const auto deadline = boundedDeadline(length);
    uint32_t done = 0;
    bool gone = false;
    while (done < length) {
        const ssize_t n = ::write(mFd, buffer + done, length - done);
        if (n > 0) {
            done += uint32_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            gone = isGoneErrno(errno);
            break;
        }
        const qint64 waitMs = bounded ? msUntil(deadline) : -1;
        if (bounded && waitMs <= 0)
            break;
        pollfd p { mFd, POLLOUT, 0 };
        if (::poll(&p, 1, pollTimeout(waitMs)) < 0 && errno != EINTR) {
            gone = true;
            break;
        }
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            gone = true;
            break;
        }
    }
    if (written)
        *written = done;
    if (done == length)
        return true;
    // A short write leaves the module in an unknown state: treat it as unplugged.
    if (gone)
        handleDeviceGone();
    else
        CloseSerialPort();
    return false;
}

void CPosixSerialIF::FlushInput()
{
    if (mFd < 0)
        return;
    tcflush(mFd, TCIFLUSH);
    // tcflush only drops what the driver already holds; bytes still on their way
    // arrive a moment later, so read until the line stays quiet.
    const auto limit = Clock::now() + Ms(kFlushLimitMs);
    uint8_t sink[256];
    while (msUntil(limit) > 0) {
        pollfd p { mFd, POLLIN, 0 };
        const int ready = ::poll(&p, 1, kFlushSilenceMs);
        if (ready == 0)
            break;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            handleDeviceGone();
            return;
        }
        const ssize_t n = ::read(mFd, sink, sizeof sink);
        if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR) && !(p.revents & POLLHUP)))
            continue;
        handleDeviceGone();
        return;
    }
}
