#pragma once

#include "sleep_inhibitor.h"
#include "update_prompts.h"
#include "update_state.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class ModuleSession;
class QThread;
class ReconnectThread;
class UpdateCleanupThread;
class UpdateFirmwareThread;

// One firmware update of the session's module, without widgets: the checks before the
// package is chosen, the questions through the prompts, the chain of the three workers, the
// progress the owner draws and the deferred abort at the module's next connection. The
// window drives it and shows its signals; a headless owner drives it the same way.
class UpdateSequence : public QObject
{
    Q_OBJECT

public:
    // session and prompts are not owned and must outlive the sequence. Without an inhibitor
    // the system's own is used.
    UpdateSequence(ModuleSession *session, UpdatePrompts *prompts,
        std::unique_ptr<SleepInhibitor> inhibitor = nullptr, QObject *parent = nullptr);
    ~UpdateSequence() override;

    UpdateState &State() { return mState; }
    const UpdateState &State() const { return mState; }
    ModuleSession *Session() const { return mSession; }
    UpdateFirmwareThread *FirmwareWorker() const { return mFirmware; }
    ReconnectThread *ReconnectWorker() const { return mReconnect; }
    UpdateCleanupThread *CleanupWorker() const { return mCleanup; }
    const SleepInhibitor &Inhibitor() const { return *mInhibitor; }

    // Directory of the last package chosen (the home directory when empty).
    QString FirmwarePath() const { return mFirmwarePath; }
    void SetFirmwarePath(const QString &path) { mFirmwarePath = path; }

    // An update is under way: its chain runs or has not been emptied yet.
    bool IsBusy() const { return mState.inProgress || !mChain.isEmpty(); }

    // Checks the module, asks for the package and the go-ahead, and starts the chain. True
    // when the chain started; otherwise the result code and the status line say why.
    bool Start();

    // After a new connection to the module with this serial number: tells it the update it
    // still owes an abort for is aborted and gives its lock back.
    void CheckDeferredAbort(const QString &serial);

    // The owner is closing while the checks or the chain run, its workers already stopped: a
    // module not yet committed to its new image is told the update is aborted and gets its
    // lock back (the writes go out although their replies are no longer awaited), and the
    // result becomes "Update aborted".
    void Abandon();
    // The progress tick: the bar value to show given the bar's current value and maximum,
    // or -1 to leave the bar as it is (it never moves back within a mode).
    int ProgressTick(int currentValue, int maximumValue);
    // The engine's progress in whole percent, and the status line showing it.
    int ProgressPercent() const;
    static QString ProgressStatusText(const QString &message, int percent);

    // The refusal when the module's update lock is set.
    static QString LockTakenText();

    static constexpr int kUploadLocationWaitMs = 5000;
    static constexpr int kProgressTickMs = 500;

public slots:
    void PostThreadDone();
    void ResetUpdateProgress(int progressMode);
    // Called blocking from the firmware worker; while the owner closes they ask nobody
    // and answer as a refusal would.
    void DisplayUpdateConfirmDialog(QString title, QString message);
    void DisplayRebootDialog();

signals:
    void PostAppStatusMessage(QString message);
    void PostUpdateProgressMessage(QString message, int value);
    void PostProgressValue(int value);
    // Draw the progress once now.
    void ProgressTickRequested();
    void StopUpdateTimer();
    void StartStatusTimer();
    // The chain started: run the progress tick, stop the status poll, lock the controls.
    void ChainStarted();
    // Between workers and after the last one: redraw the module's page.
    void PageRefreshRequested();
    // The chain has ended and been emptied.
    void ChainFinished();
    // The module is rebooting; discovery may use the engine to find it again.
    void AwaitingReconnect();

private:
    // Ends Start() with a refusal: result, status line, and lock and update state given
    // back when they were taken.
    bool refuse(int result, const QString &status, bool releaseLock);
    bool waitForUploadLocation();
    // The checks and questions before the chain (the engine is held meanwhile).
    bool checkModule();
    void startChain(const QList<QThread *> &workers);
    void startCurrentWorker();
    void releaseLockAndAbort();

    ModuleSession *mSession;
    UpdatePrompts *mPrompts;
    std::unique_ptr<SleepInhibitor> mInhibitor;
    UpdateState mState;
    UpdateFirmwareThread *mFirmware = nullptr;
    ReconnectThread *mReconnect = nullptr;
    UpdateCleanupThread *mCleanup = nullptr;
    QList<QThread *> mChain;
    int mChainIndex = 0;
    int mProgressTarget = 0;
    QString mFirmwarePath;
    QString mUpdateSerial; // the module being updated; kept across disconnects
    bool mStopping = false; // being destroyed: the dialog slots ask nobody
    bool mLockTaken = false; // the checks took the module's lock and have not given it back
};
