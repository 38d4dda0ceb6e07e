#pragma once

#include "session_worker.h"

#include <QString>
#include <atomic>

class ModuleSession;
struct UpdateState;

// The three workers of one update, run one after the other by the update sequence. Each is
// created once and started again for every update; they work on the session's engine and
// leave their outcome in the shared update state.

// Uploads the package, has the module verify it, asks for the commit, commits and follows
// the commit's progress, then shows the reboot notice.
class UpdateFirmwareThread : public SessionWorker
{
    Q_OBJECT

public:
    UpdateFirmwareThread(ModuleSession *session, UpdateState *state, QObject *parent = nullptr);

    static constexpr int kVerifyWaitMs = 45000;
    static constexpr int kCommitWaitMs = 180000;

signals:
    void PostAppStatusMessage(QString message);
    void PostUpdateProgressMessage(QString message, int value);
    void ResetUpdateProgress(int progressMode);
    // Connected blocking: the worker waits for the answer.
    void DisplayUpdateConfirmDialog(QString title, QString message);
    void DisplayRebootDialog();
    // The owner redraws the progress once, now.
    void RefreshProgress();

protected:
    void run() override;

private:
    void show(const QString &text) { emit PostUpdateProgressMessage(text, 0); }
    void fail(int result, bool abortPending);
    // Polls the verification; false when the run has to end here.
    bool awaitVerification(uint32_t &state);
    // Polls the commit until it leaves states 0 and 1; false when the run has to end here.
    bool awaitCommit(uint32_t &state);

    ModuleSession *mSession;
    UpdateState *mState;
};

// Reboots the committed module, lets go of its port and waits for discovery to find it again.
class ReconnectThread : public SessionWorker
{
    Q_OBJECT

public:
    ReconnectThread(ModuleSession *session, UpdateState *state, QObject *parent = nullptr);

    static constexpr int kRebootWaitMs = 200000;
    static constexpr int kDotsMs = 2000;

public slots:
    // The discovery worker found the module again (called on its thread).
    void HandleUpdatedDeviceReconnected() { mReconnected = true; }

signals:
    void PostAppStatusMessage(QString message);
    void PostUpdateProgressMessage(QString message, int value);
    void ResetUpdateProgress(int progressMode);
    // The module is rebooting and the engine is free for discovery to find it again.
    void PostAwaitingReconnect();

protected:
    void run() override;

private:
    void show(const QString &text) { emit PostUpdateProgressMessage(text, 0); }
    // Waits for the reconnection; false when the run has to end at once.
    bool awaitReconnection();

    ModuleSession *mSession;
    UpdateState *mState;
    std::atomic<bool> mReconnected { false };
};

// Runs last in every update: reports the outcome, gives the lock back after a failure and
// clears the update state.
class UpdateCleanupThread : public SessionWorker
{
    Q_OBJECT

public:
    UpdateCleanupThread(ModuleSession *session, UpdateState *state, QObject *parent = nullptr);

signals:
    void PostAppStatusMessage(QString message);
    void PostUpdateProgressMessage(QString message, int value);
    void ResetUpdateProgress(int progressMode);
    void StopUpdateTimer();
    void StartStatusTimer();

protected:
    void run() override;

private:
    ModuleSession *mSession;
    UpdateState *mState;
};
