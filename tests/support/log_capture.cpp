#include "log_capture.h"

#include <QMutexLocker>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QMutex gMutex;
QStringList gLines;
LogCapture *gActive = nullptr;
} // namespace

LogCapture::LogCapture()
{
    QMutexLocker lock(&gMutex);
    gLines.clear();
    gActive = this;
    mPrevious = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(mPrevious);
    QMutexLocker lock(&gMutex);
    gActive = nullptr;
}

void LogCapture::handler(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    QMutexLocker lock(&gMutex);
    gLines.append(msg);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&gMutex);
    return gLines;
}

bool LogCapture::contains(const QString &fragment) const
{
    return count(fragment) > 0;
}

int LogCapture::count(const QString &fragment) const
{
    QMutexLocker lock(&gMutex);
    int n = 0;
    for (const QString &l : gLines)
        if (l.contains(fragment))
            ++n;
    return n;
}

void LogCapture::clear()
{
    QMutexLocker lock(&gMutex);
    gLines.clear();
}

StderrCapture::StderrCapture()
{
    fflush(stderr);
    mTmp = tmpfile();
    mSavedFd = dup(STDERR_FILENO);
    dup2(fileno(mTmp), STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    fflush(stderr);
    dup2(mSavedFd, STDERR_FILENO);
    close(mSavedFd);
    fclose(mTmp);
}

QString StderrCapture::text()
{
    // Read through the descriptor: the FILE's cached offset goes stale once fd 2 has
    // appended behind its back, so a second call used to miss new output.
    fflush(stderr);
    const int fd = fileno(mTmp);
    struct stat st
    {
    };
    QByteArray data;
    if (fstat(fd, &st) == 0 && st.st_size > 0) {
        data.resize(qsizetype(st.st_size));
        const ssize_t got = pread(fd, data.data(), size_t(st.st_size), 0);
        data.resize(got > 0 ? qsizetype(got) : 0);
    }
    return QString::fromLocal8Bit(data);
}
