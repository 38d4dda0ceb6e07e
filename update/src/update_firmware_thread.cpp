#include "cmd_engine.h"
#include "module_session.h"
#include "update_logging.h"
#include "update_state.h"
#include "update_workers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

Q_LOGGING_CATEGORY(lcUpdate, "trivo.update", QtInfoMsg)

namespace {

// Update states the worker writes.
constexpr uint32_t kStateTransferComplete = 2;
constexpr uint32_t kStateVerifying = 3;
constexpr uint32_t kStateCommitting = 5;
constexpr uint32_t kStateCommitted = 6;
constexpr uint32_t kStateAborted = 8;

constexpr uint32_t kVerifyRunning = 1;
constexpr uint32_t kCommitIdle = 0;
constexpr uint32_t kCommitRunning = 1;
constexpr uint32_t kCommitDone = 3;

// Verification verdicts that end the update, and their results.
int VerdictResult(uint32_t verification)
{
    switch (verification) {
    case kVerifyRunning:
        return eUpdateNoImage;
    case 2:
        return eUpdateOtherProduct;
    case 4:
        return eUpdateTooLarge;
    case 5:
        return eUpdateChecksumFailed;
    case 6:
        return eUpdateSignatureFailed;
    default:
        return eUpdateSucceeded;
    }
}

} // namespace

UpdateFirmwareThread::UpdateFirmwareThread(
    ModuleSession *session, UpdateState *state, QObject *parent)
    : SessionWorker(parent)
    , mSession(session)
    , mState(state)
{ }

void UpdateFirmwareThread::fail(int result, bool abortPending)
{
    mState->result = result;
    mState->finished = true;
    if (abortPending)
        mState->abortPending = true;
}

bool UpdateFirmwareThread::awaitVerification(uint32_t &state)
{
    CCmdEngine *engine = mSession->Engine();
    QElapsedTimer waited;
    waited.start();
    qCDebug(lcUpdate) << "Waiting " << kVerifyWaitMs / 1000 << " seconds for verification";
    const int waitMs = Scaled(kVerifyWaitMs);
    while (true) {
        if (mAbort)
            return false;
        if (engine->GetVerificationState(state) != eResultOK) {
            show(tr("Firmware image verification query failed."));
            fail(eUpdateVerificationFailed, true);
            return false;
        }
        QCoreApplication::processEvents();
        if (state != kVerifyRunning)
            return true;
        if (waited.elapsed() >= waitMs) {
            qCDebug(lcUpdate) << "Timed out after waiting " << kVerifyWaitMs / 1000
                              << " seconds for verification to complete";
            return true;
        }
    }
}

bool UpdateFirmwareThread::awaitCommit(uint32_t &state)
{
    CCmdEngine *engine = mSession->Engine();
    emit ResetUpdateProgress(int(ProgressMode::FollowEngine));
    engine->SetProgress(0.0f);
    emit RefreshProgress();
    QElapsedTimer waited;
    waited.start();
    qCDebug(lcUpdate) << "Waiting " << kCommitWaitMs / 1000 << " seconds for commit";
    const int waitMs = Scaled(kCommitWaitMs);
    while (state == kCommitIdle || state == kCommitRunning) {
        if (waited.elapsed() >= waitMs) {
            qCDebug(lcUpdate) << "Timed out after waiting " << kCommitWaitMs / 1000
                              << " seconds for commit to complete";
            break;
        }
        if (mAbort)
            return false;
        uint32_t percent = 0;
        if (engine->GetCommitState(state) != eResultOK
            || engine->GetCommitProgress(percent) != eResultOK) {
            fail(eUpdateCommitFailed, true);
            return false;
        }
        engine->SetProgress(float(percent) / 100.0f);
        QCoreApplication::processEvents();
    }
    return true;
}

void UpdateFirmwareThread::run()
{
    CCmdEngine *engine = mSession->Engine();
    emit ResetUpdateProgress(int(ProgressMode::FollowEngine));
    mState->rebootPending = false;
    mState->result = eUpdateSucceeded;
    const QString file = mState->FirmwareFile();

    show(tr("Transferring file ") + QFileInfo(file).fileName());
    if (!engine->UploadFile(file)) {
        qCDebug(lcUpdate) << "UpdateFirmwareThread::run"
                          << "application quit detected, setting firmware update status to "
                             "aborted.";
        engine->SetModuleUpdateState(kStateAborted);
        show(tr("File transfer aborted"));
        fail(eUpdateTransferFailed, false);
        return;
    }
    if (engine->SetModuleUpdateState(kStateTransferComplete) != eResultOK) {
        show(tr("File transfer failed"));
        fail(eUpdateVerificationFailed, true);
        emit PostAppStatusMessage(tr("Firmware upload failed"));
        return;
    }
    emit PostAppStatusMessage(tr("Firmware upload complete"));
    show(tr("File transfer succeeded"));

    if (engine->SetModuleUpdateState(kStateVerifying) != eResultOK) {
        show(tr("File verification failed"));
        fail(eUpdateVerificationFailed, true);
        return;
    }
    show(tr("Verifying firmware image"));
    if (engine->RequestFileVerification(file) != eResultOK) {
        show(tr("File verification request failed"));
        fail(eUpdateVerificationFailed, true);
        return;
    }
    uint32_t verification = kVerifyRunning;
    if (!awaitVerification(verification))
        return;
    if (const int verdict = VerdictResult(verification); verdict != eUpdateSucceeded) {
        mState->result = verdict;
        mState->finished = true;
        engine->SetModuleUpdateState(kStateAborted);
        return;
    }

    show(tr("Firmware image verified"));
    emit DisplayUpdateConfirmDialog(tr("Confirm Update"), tr("Commit Uploaded File?"));
    if (mState->result == eUpdateAborted)
        return;

    show(tr("Committing firmware image"));
    uint32_t commit = kCommitIdle;
    const char *failure = nullptr;
    if (engine->CommitFirmware() != eResultOK)
        failure = QT_TR_NOOP("Failed to commit firmware image");
    else if (engine->SetModuleUpdateState(kStateCommitting) != eResultOK)
        failure = QT_TR_NOOP("Failed to commit firmware image.");
    else if (engine->GetCommitState(commit) != eResultOK)
        failure = QT_TR_NOOP("Failed querying firmware image commit state");
    if (failure) {
        show(tr(failure));
        fail(eUpdateCommitFailed, true);
        return;
    }
    if (!awaitCommit(commit))
        return;
    // A commit still at 0 never started: rebooting would only restart the old image.
    if (commit != kCommitDone) {
        show(tr("Firmware update FAILED!"));
        engine->SetModuleUpdateState(kStateAborted);
        fail(eUpdateCommitFailed, false);
        return;
    }

    uint32_t unused = 0;
    engine->GetModuleUpdateState(unused);
    show(tr("Firmware image committed"));
    if (engine->SetModuleUpdateState(kStateCommitted) != eResultOK) {
        fail(eUpdateCommitFailed, true);
        return;
    }
    mState->rebootPending = true;
    emit DisplayRebootDialog();
}
