#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>

// Collects the toolkit's debug log (and, optionally, stderr is left alone) while alive.
// Only one may exist at a time.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const;
    bool contains(const QString &fragment) const;
    int count(const QString &fragment) const;
    void clear();

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg);
    QtMessageHandler mPrevious;
};

// Redirects the process's standard error into a buffer while alive (for the
// printf-style protocol diagnostics).
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    QString text(); // everything written so far

private:
    int mSavedFd = -1;
    FILE *mTmp = nullptr;
};
