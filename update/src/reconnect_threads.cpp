// The workers after the upload: reboot and reconnect, then the clean-up.
#include "cmd_engine.h"
#include "module_session.h"
#include "update_logging.h"
#include "update_state.h"
#include "update_workers.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {
constexpr uint32_t kStateRebooting = 7;
constexpr uint32_t kRebootRequest = 1;
constexpr int kWaitPassMs = 10; // pause between the reconnect wait's checks
} // namespace

ReconnectThread::ReconnectThread(ModuleSession *session, UpdateState *state, QObject *parent)
    : SessionWorker(parent)
    , mSession(session)
    , mState(state)
{ }

bool ReconnectThread::awaitReconnection()
{
    QString progress = QStringLiteral("Rebooting the module...");
    show(progress);
    emit PostAppStatusMessage(tr("Waiting for reboot to complete"));
    QElapsedTimer dots;
    QElapsedTimer whole;
    dots.start();
    whole.start();
    qCDebug(lcUpdate) << "Waiting " << kRebootWaitMs / 1000 << " seconds for reboot to complete";
    const int waitMs = Scaled(kRebootWaitMs);
    const int dotsMs = Scaled(kDotsMs);
    while (!mState->finished) {
        if (whole.elapsed() >= waitMs)
            break;
        if (mAbort)
            return false;
        if (mReconnected) {
            qCDebug(lcUpdate) << "\nConnected - Good";
            mState->finished = true;
            break;
        }
        if (dots.elapsed() >= dotsMs) {
            dots.restart();
            progress += QLatin1Char('.');
            show(progress);
        }
        QCoreApplication::processEvents();
        msleep(kWaitPassMs);
    }
    const qint64 seconds = whole.elapsed() / 1000;
    if (mState->finished) {
        qCDebug(lcUpdate) << "\n  Update completed.  Waited " << seconds << " seconds.";
    } else {
        mState->result = eUpdateReconnectFailed;
        qCDebug(lcUpdate) << "\n  Update not completed.  Waited " << seconds << " seconds.";
    }
    mState->awaitingReconnect = false;
    return true;
}

void ReconnectThread::run()
{
    if (mState->finished || !mState->rebootPending)
        return;
    emit ResetUpdateProgress(int(ProgressMode::FollowEngine));
    CCmdEngine *engine = mSession->Engine();
    if (mState->awaitingReconnect) {
        show(tr("Connection in progress - Module reconnect failed."));
        mState->result = eUpdateReconnectFailed;
        mState->finished = false;
        return;
    }
    mState->awaitingReconnect = true;
    show(tr("Reconnecting..."));
    if (engine->SetModuleUpdateState(kStateRebooting) != eResultOK) {
        mState->result = eUpdateRebootFailed;
        mState->finished = true;
        mState->abortPending = true;
        return;
    }
    const eResult_t reboot = engine->RebootModule(kRebootRequest);
    // A module may restart the moment it has the request, its port going before the reply:
    // that is the reboot under way (a time-out or a refusal is not). A stop reads the same
    // way, and is no reboot.
    const bool portWent = reboot == eResultDisconnected && !mAbort && !mSession->IsClosing();
    mSession->Disconnect();
    mReconnected = false;
    if (reboot != eResultOK && !portWent) {
        mState->result = eUpdateRebootFailed;
        show(tr("Module update failed."));
        qCDebug(lcUpdate) << "Module update failed.";
        mState->finished = true;
        mState->abortPending = true;
        return;
    }
    // Discovery needs the engine to find the module again; this worker no longer uses it.
    mSession->Holder().Release(EngineUser::Update);
    emit PostAwaitingReconnect();
    if (!awaitReconnection() || !mState->finished)
        return;
    // Reported back but not connected: no success.
    if (!engine->IsConnected()) {
        mState->result = eUpdateReconnectFailed;
        return;
    }
    show(tr("Connected to the module."));
    mState->result = eUpdateSucceeded;
}

UpdateCleanupThread::UpdateCleanupThread(
    ModuleSession *session, UpdateState *state, QObject *parent)
    : SessionWorker(parent)
    , mSession(session)
    , mState(state)
{ }

void UpdateCleanupThread::run()
{
    const int result = mState->result;
    if (!mState->finished || result != eUpdateSucceeded) {
        const QString text = QStringLiteral("Update Failed: %1").arg(GetUpdateResultText(result));
        emit PostUpdateProgressMessage(text, 0);
        emit PostAppStatusMessage(text);
    } else {
        emit PostUpdateProgressMessage(tr("Update Succeeded"), 0);
    }
    if (!mState->abortPending && result != eUpdateSucceeded
        && mSession->Engine()->SetUpdateLock(0) != eResultOK)
        mState->abortPending = true;
    mState->inProgress = false;
    mState->awaitingReconnect = false;
    mState->finished = false;
    mState->rebootPending = false;
    emit StopUpdateTimer();
    emit ResetUpdateProgress(int(ProgressMode::Idle));
    emit StartStatusTimer();
}
