#pragma once

#include <QThread>
#include <atomic>

// Base of the workers that run on a session's engine: created once, started again for
// every run, asked to stop through their abort flag.
class SessionWorker : public QThread
{
    Q_OBJECT

public:
    using QThread::QThread;

    void SetAbort(bool abort) { mAbort = abort; }
    bool Abort() const { return mAbort; }

    // Tests shrink every worker's long waits (settle, deadlines, lease and update watches)
    // by this factor; never below 1 ms.
    static void setTimeScaleForTesting(double scale);
    static int Scaled(int ms);

protected:
    std::atomic<bool> mAbort { false };
};
