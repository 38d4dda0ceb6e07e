#include "update_sequence.h"

#include "cmd_engine.h"
#include "discover_thread.h"
#include "module_maintenance.h"
#include "module_session.h"
#include "session_rules.h"
#include "sleep_inhibitor.h"
#include "update_logging.h"
#include "update_workers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {
constexpr uint32_t kStateUploadStarting = 1;
constexpr uint32_t kStateAborted = 8;
constexpr int kUploadLocationPassMs = 20; // pause between reads of the upload location
constexpr int kStartRetryMs = 20; // the discovery run that found the module is still ending
} // namespace

UpdateSequence::UpdateSequence(ModuleSession *session, UpdatePrompts *prompts,
    std::unique_ptr<SleepInhibitor> inhibitor, QObject *parent)
    : QObject(parent)
    , mSession(session)
    , mPrompts(prompts)
    , mInhibitor(inhibitor ? std::move(inhibitor) : SleepInhibitor::CreateDefault())
{
    mFirmware = new UpdateFirmwareThread(session, &mState, this);
    mReconnect = new ReconnectThread(session, &mState, this);
    mCleanup = new UpdateCleanupThread(session, &mState, this);

    const auto relay = [this](auto *worker) {
        using Worker = std::remove_pointer_t<decltype(worker)>;
        connect(worker, &Worker::PostAppStatusMessage, this, &UpdateSequence::PostAppStatusMessage);
        connect(worker, &Worker::PostUpdateProgressMessage, this,
            &UpdateSequence::PostUpdateProgressMessage);
        connect(worker, &Worker::ResetUpdateProgress, this, &UpdateSequence::ResetUpdateProgress);
        connect(worker, &QThread::finished, this, &UpdateSequence::PostThreadDone);
        mSession->RegisterWorker(worker, EngineUser::Update);
    };
    relay(mFirmware);
    relay(mReconnect);
    relay(mCleanup);
    // Blocking: the worker goes on only with the answer.
    connect(mFirmware, &UpdateFirmwareThread::DisplayUpdateConfirmDialog, this,
        &UpdateSequence::DisplayUpdateConfirmDialog, Qt::BlockingQueuedConnection);
    connect(mFirmware, &UpdateFirmwareThread::DisplayRebootDialog, this,
        &UpdateSequence::DisplayRebootDialog, Qt::BlockingQueuedConnection);
    connect(mFirmware, &UpdateFirmwareThread::RefreshProgress, this,
        &UpdateSequence::ProgressTickRequested);
    connect(mReconnect, &ReconnectThread::PostAwaitingReconnect, this,
        &UpdateSequence::AwaitingReconnect);
    connect(
        mCleanup, &UpdateCleanupThread::StopUpdateTimer, this, &UpdateSequence::StopUpdateTimer);
    connect(
        mCleanup, &UpdateCleanupThread::StartStatusTimer, this, &UpdateSequence::StartStatusTimer);
    // Direct: the flag is set before the discovery run goes on.
    connect(mSession->Discovery(), &DiscoverThread::SignalUpdatedDeviceReconnected, mReconnect,
        &ReconnectThread::HandleUpdatedDeviceReconnected, Qt::DirectConnection);
}

UpdateSequence::~UpdateSequence()
{
    mStopping = true;
    mFirmware->SetAbort(true);
    mReconnect->SetAbort(true);
    for (QThread *worker : { static_cast<QThread *>(mFirmware), static_cast<QThread *>(mReconnect),
             static_cast<QThread *>(mCleanup) })
        ModuleSession::StopWorker(worker, ModuleSession::kWorkerStopWaitMs);
    mInhibitor->Release();
}

bool UpdateSequence::refuse(int result, const QString &status, bool releaseLock)
{
    mState.result = result;
    if (releaseLock)
        releaseLockAndAbort();
    if (!status.isEmpty())
        emit PostAppStatusMessage(status);
    mState.finished = true;
    return false;
}

void UpdateSequence::releaseLockAndAbort()
{
    mLockTaken = false;
    CCmdEngine *engine = mSession->Engine();
    engine->SetUpdateLock(0);
    engine->SetModuleUpdateState(kStateAborted);
}

void UpdateSequence::Abandon()
{
    // The chain may already have been emptied by the stop (its clean-up never ran): the
    // update is still under way for the module as long as it is marked in progress. Before
    // the chain, the checks may hold the lock they took.
    const bool underWay = mLockTaken || !mChain.isEmpty() || mState.inProgress;
    if (!underWay || mState.rebootPending || !mSession->IsConnected())
        return;
    releaseLockAndAbort();
    mState.result = eUpdateAborted;
    mState.finished = true;
}

bool UpdateSequence::waitForUploadLocation()
{
    CCmdEngine *engine = mSession->Engine();
    QElapsedTimer waited;
    waited.start();
    QString location;
    while (true) {
        engine->GetUploadLocation(location);
        if (location.size() > 1)
            return true;
        if (waited.elapsed() >= SessionWorker::Scaled(kUploadLocationWaitMs))
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, kUploadLocationPassMs);
        QThread::msleep(kUploadLocationPassMs);
        // Stopped while waiting: the lock goes back (unless the owner's close already gave
        // it back), and the update counts as aborted, never as done.
        if (mSession->IsClosing())
            return refuse(eUpdateAborted, QString(), mLockTaken);
    }
    return refuse(eUpdateUnavailable, tr("Could not get upload location."), true);
}

QString UpdateSequence::LockTakenText()
{
    return tr("Another system is already updating the device.");
}

bool UpdateSequence::checkModule()
{
    CCmdEngine *engine = mSession->Engine();
    mState.abortPending = false;
    mUpdateSerial = mSession->LastConnectedSerial();
    bool idle = false;
    if (engine->GetModuleIdle(idle) != eResultOK || !idle)
        return refuse(eUpdateUnavailable,
            tr("The device is busy or in use. Stop operations, or try again in a few seconds."),
            false);
    uint32_t lock = 0;
    uint32_t unused = 0;
    engine->GetUpdateLock(lock);
    engine->GetModuleUpdateState(unused);
    if (lock != 0) {
        refuse(eUpdateUnavailable, LockTakenText(), false);
        // Released only on request: the lock does not say whether its holder is still at work.
        if (mPrompts->OfferLockRelease(SessionRules::ModelDisplayName(engine->GetBoardID())))
            emit PostAppStatusMessage(ModuleMaintenance::ReleaseLockResultText(
                ModuleMaintenance::ReleaseUpdateLock(*engine)));
        return false;
    }
    engine->SetUpdateLock(1);
    lock = 0;
    engine->GetUpdateLock(lock);
    if (lock != 1)
        return refuse(eUpdateUnavailable, tr("Device upload space unavailable."), false);
    mLockTaken = true;
    if (!waitForUploadLocation())
        return false;
    if (engine->SetModuleUpdateState(kStateUploadStarting) != eResultOK) {
        mState.abortPending = true;
        return refuse(eUpdateNotConnected, QString(), false);
    }

    if (mFirmwarePath.isEmpty())
        mFirmwarePath = QDir::homePath();
    const QString file
        = mPrompts->PickPackage({ tr("Upload a file"), mFirmwarePath, tr(".VLTS (*.vlts)") });
    if (file.isEmpty())
        return refuse(eUpdateAborted, QString(), true);
    const QFileInfo info(file);
    mFirmwarePath = info.absolutePath();
    if (!mPrompts->ConfirmUpdate(
            SessionRules::ModelDisplayName(engine->GetBoardID()), info.fileName()))
        return refuse(eUpdateAborted, QString(), true);
    mState.SetFirmwareFile(file);
    QFile package(file);
    if (!package.open(QIODevice::ReadOnly))
        return refuse(eUpdateInvalidFile, tr("Could not open firmware file."), true);
    package.close();

    mState.finished = false;
    QString serial;
    if (engine->GetModuleSerialNumber(serial) != eResultOK) {
        mState.abortPending = true;
        return refuse(eUpdateNotConnected, QString(), false);
    }
    mSession->SetUpdateTargetSerial(serial);
    mUpdateSerial = serial;
    return true;
}

bool UpdateSequence::Start()
{
    if (IsBusy()) {
        qCDebug(lcUpdate).noquote() << "UpdatePushButtonChanged ignored: update in progress";
        return false;
    }
    CCmdEngine *engine = mSession->Engine();
    if (!engine->IsConnected())
        return refuse(eUpdateNotConnected, tr("Not Connected"), false);
    // Held through the checks: events run while they wait, and nothing they start may
    // use the engine meanwhile.
    if (!mSession->Holder().Acquire(EngineUser::Update)) {
        qCDebug(lcUpdate).noquote() << "UpdatePushButtonChanged ignored: the engine is held by the"
                                    << EngineHolder::UserName(mSession->Holder().Holder());
        return false;
    }
    const bool checked = checkModule();
    // From here the chain (or a refusal that already gave it back) answers for the lock.
    mLockTaken = false;
    // A module without a known board ID gets no upload: the update ends at once, reported
    // and cleaned up like any other failure.
    const bool knownBoard = engine->GetBoardID() != kBoardIdUnknown;
    if (checked && !knownBoard) {
        engine->SetModuleUpdateState(kStateAborted);
        mState.result = eUpdateUnavailable;
        mState.finished = true;
    }
    mSession->Holder().Release(EngineUser::Update);
    if (!checked)
        return false;

    mState.inProgress = true;
    emit ChainStarted();
    mInhibitor->Inhibit(tr("Firmware update in progress"));
    if (knownBoard)
        startChain({ mFirmware, mReconnect, mCleanup });
    else
        startChain({ mCleanup });
    return true;
}

void UpdateSequence::startChain(const QList<QThread *> &workers)
{
    mChain = workers;
    mChainIndex = 0;
    startCurrentWorker();
}

void UpdateSequence::startCurrentWorker()
{
    if (mChain.isEmpty() || mSession->IsClosing())
        return;
    if (!mSession->StartWorker(mChain[mChainIndex], EngineUser::Update))
        QTimer::singleShot(kStartRetryMs, this, &UpdateSequence::startCurrentWorker);
}

void UpdateSequence::PostThreadDone()
{
    if (mChain.isEmpty())
        return;
    ++mChainIndex;
    if (mChainIndex < mChain.size() && !mSession->IsClosing()) {
        emit PageRefreshRequested();
        startCurrentWorker();
        return;
    }
    mChain.clear();
    mInhibitor->Release();
    emit PageRefreshRequested();
    emit ChainFinished();
}

void UpdateSequence::ResetUpdateProgress(int progressMode)
{
    mState.progressMode = static_cast<ProgressMode>(progressMode);
    mProgressTarget = 0;
    emit PostProgressValue(0);
}

void UpdateSequence::DisplayUpdateConfirmDialog(QString title, QString message)
{
    const bool commit
        = !mStopping && !mSession->IsClosing() && mPrompts->ConfirmCommit(title, message);
    if (commit)
        return;
    mState.result = eUpdateAborted;
    releaseLockAndAbort();
    mState.finished = true;
}

void UpdateSequence::DisplayRebootDialog()
{
    if (!mStopping && !mSession->IsClosing())
        mPrompts->RebootNotice(SessionRules::ModelDisplayName(mSession->Engine()->GetBoardID()));
}

void UpdateSequence::CheckDeferredAbort(const QString &serial)
{
    if (!mState.abortPending || serial.isEmpty() || serial != mUpdateSerial)
        return;
    CCmdEngine *engine = mSession->Engine();
    if (engine->SetModuleUpdateState(kStateAborted) == eResultOK
        && engine->SetUpdateLock(0) == eResultOK)
        mState.abortPending = false;
}

int UpdateSequence::ProgressTick(int currentValue, int maximumValue)
{
    if (mState.progressMode == ProgressMode::Idle
        || mSession->UpdateTargetSerial() != mSession->LastConnectedSerial())
        return -1;
    CCmdEngine *engine = mSession->Engine();
    if (mState.progressMode == ProgressMode::FollowEngine && engine->IsConnected())
        mProgressTarget = int(float(maximumValue) * engine->GetProgress());
    return mProgressTarget > currentValue ? mProgressTarget : -1;
}

int UpdateSequence::ProgressPercent() const
{
    return int(mSession->Engine()->GetProgress() * 100.0f);
}

QString UpdateSequence::ProgressStatusText(const QString &message, int percent)
{
    return message + QStringLiteral(": ") + QString::number(percent) + QLatin1Char('%');
}
