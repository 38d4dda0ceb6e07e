#include "log_capture.h"

#include <QMutexLocker>
#include <unistd.h>

namespace {
QMutex gMutex;
QStringList gLines;
LogCapture *gActive = nullptr;
}  // namespace

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
    fflush(stderr);
    const long end = ftell(mTmp);
    QByteArray data;
    if (end > 0) {
        data.resize(end);
        rewind(mTmp);
        const size_t got = fread(data.data(), 1, size_t(end), mTmp);
        data.resize(int(got));
        fseek(mTmp, 0, SEEK_END);
    }
    return QString::fromLocal8Bit(data);
}
