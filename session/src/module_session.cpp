#include "module_session.h"

#include "app_if.h"
#include "dhcp_thread.h"
#include "discover_thread.h"
#include "serial_if.h"
#include "session_logging.h"
#include "session_rules.h"
#include "thread_join.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QThread>

Q_LOGGING_CATEGORY(lcSession, "trivo.session", QtInfoMsg)

ModuleSession::ModuleSession(
    CSerialIF *serial, CErrorReportIF *errors, CAppIF *appIF, QObject *parent)
    : QObject(parent)
{
    mEngine = new CCmdEngine(serial, errors, appIF, kBoardIdUnknown, this, &mClosing);
    mDiscovery = new DiscoverThread;
    mDiscovery->SetCmdEngine(mEngine);
    RegisterWorker(mDiscovery, EngineUser::Discovery);
    mDhcp = new DHCPThread;
    mDhcp->SetCmdEngine(mEngine);
    RegisterWorker(mDhcp, EngineUser::Dhcp);
}

ModuleSession::~ModuleSession()
{
    // A session destroyed without being shut down must not leave a worker on the engine.
    mClosing = true;
    mDhcp->SetAbort(true);
    mDiscovery->SetAbort(true);
    StopWorker(mDhcp, kWorkerStopWaitMs);
    StopWorker(mDiscovery, kWorkerStopWaitMs);
    if (mEngine->GetSerialIF())
        mEngine->GetSerialIF()->CloseSerialPort();
    delete mEngine;
    delete mDhcp;
    delete mDiscovery;
}

ModuleSession::ConnectOutcome ModuleSession::Connect(int portIndex)
{
    ConnectOutcome outcome;
    CSerialIF *serial = mEngine->GetSerialIF();
    serial->OpenSerialPort(portIndex);
    if (!serial->IsOpen()) {
        outcome.statusText = serial->LastOpenError() == CSerialIF::OpenError::PermissionDenied
            ? SessionRules::PermissionDeniedText(serial->PortPath(portIndex))
            : SessionRules::ConnectStatusText(false, 0);
        return outcome;
    }
    outcome.opened = true;
    outcome.code = mEngine->ConnectModule();
    if (outcome.code >= eConnectWrongModule && outcome.code <= eConnectUnknownDevice)
        serial->CloseSerialPort();
    outcome.statusText = SessionRules::ConnectStatusText(true, outcome.code);
    return outcome;
}

void ModuleSession::Disconnect()
{
    qCDebug(lcSession).noquote() << "Disconnecting from module";
    if (CAppIF *app = mEngine->GetAppIF())
        app->DisConnection();
    mEngine->GetSerialIF()->CloseSerialPort();
    mEngine->SetConnected(false);
    SetUpdateTargetSerial(QString());
}

QString ModuleSession::UpdateTargetSerial() const
{
    QMutexLocker locker(&mTargetMutex);
    return mUpdateTargetSerial;
}

void ModuleSession::SetUpdateTargetSerial(const QString &serial)
{
    QMutexLocker locker(&mTargetMutex);
    mUpdateTargetSerial = serial;
}

void ModuleSession::RegisterWorker(QThread *worker, EngineUser user)
{
    // Direct: runs on the worker's thread as it ends, before any queued finished slot,
    // so the owner's own reaction to the end already finds the engine free.
    connect(
        worker, &QThread::finished, this,
        [this, worker, user] {
            mHolder.Release(user);
            MarkWorkerEnd(worker);
        },
        Qt::DirectConnection);
}

bool ModuleSession::StartWorker(QThread *worker, EngineUser user)
{
    // A worker still finishing its last run would not start again and would leave the
    // engine held for good.
    if (worker->isRunning())
        return false;
    if (!mHolder.Acquire(user)) {
        qCDebug(lcSession).noquote()
            << QStringLiteral("Engine is held by the %1, not starting")
                   .arg(QLatin1String(EngineHolder::UserName(mHolder.Holder())));
        return false;
    }
    worker->start(QThread::InheritPriority);
    return true;
}

bool ModuleSession::StartDhcp(CCmdEngine::eNetIf_t netIf)
{
    if (mDhcp->isRunning())
        return false;
    mDhcp->SetNetIf(netIf);
    mDhcp->SetAbort(false);
    return StartWorker(mDhcp, EngineUser::Dhcp);
}

bool ModuleSession::AwaitWorker(QThread *worker, int waitMs)
{
    const QDeadlineTimer deadline
        = waitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(waitMs);
    if (!worker->wait(deadline))
        return false;
    MarkWorkerJoined(worker);
    return true;
}

void ModuleSession::StopWorker(QThread *worker, int waitMs)
{
    if (!worker)
        return;
    QElapsedTimer waited;
    waited.start();
    // A worker may be blocked on a call into the owner (a blocking queued signal): deliver
    // such calls while waiting, or the worker could never see its abort flag.
    while (!worker->wait(QDeadlineTimer(20))) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        if (waited.elapsed() >= waitMs) {
            qCWarning(lcSession).noquote() << "Worker did not stop in time, terminating it";
            worker->terminate();
            worker->wait();
            return;
        }
    }
    MarkWorkerJoined(worker);
}
