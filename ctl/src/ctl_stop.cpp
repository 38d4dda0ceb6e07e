#include "ctl_stop.h"

#include "module_session.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int kSecondSignalExit = 130;

std::atomic<bool> gStop { false };
std::atomic<bool> gExiting { false };
QMutex gSessionsMutex;
QSet<ModuleSession *> gSessions;

sigset_t stopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : { SIGINT, SIGTERM, SIGHUP, SIGQUIT })
        sigaddset(&set, signal);
    return set;
}

} // namespace

void StopSignals::Block()
{
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t set = stopSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

StopSignals::StopSignals()
{
    Block();
    mThread = std::thread([this] { waitForSignals(); });
}

StopSignals::~StopSignals()
{
    gExiting = true;
    pthread_kill(mThread.native_handle(), SIGTERM);
    mThread.join();
}

void StopSignals::waitForSignals()
{
    const sigset_t set = stopSignalSet();
    while (true) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0 || gExiting)
            return;
        if (gStop.exchange(true))
            ::_exit(kSecondSignalExit);
        stopAll();
    }
}

void StopSignals::Request()
{
    if (!gStop.exchange(true))
        stopAll();
}

void StopSignals::stopAll()
{
    {
        QMutexLocker locker(&gSessionsMutex);
        for (ModuleSession *session : qAsConst(gSessions))
            session->SetClosing();
    }
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

const std::atomic<bool> &StopSignals::Flag()
{
    return gStop;
}

void StopSignals::Register(ModuleSession *session)
{
    QMutexLocker locker(&gSessionsMutex);
    gSessions.insert(session);
    if (gStop)
        session->SetClosing();
}

void StopSignals::Unregister(ModuleSession *session)
{
    QMutexLocker locker(&gSessionsMutex);
    gSessions.remove(session);
}
