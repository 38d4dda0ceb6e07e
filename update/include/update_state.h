#pragma once

#include <QMutex>
#include <QString>
#include <atomic>

// Outcome of the last update; the numbers are those of the result text table.
enum eUpdateResult_t : int
{
    eUpdateSucceeded = 0,
    eUpdateUnavailable = 1,
    eUpdateInvalidFile = 2,
    eUpdateTransferFailed = 3,
    eUpdateVerificationFailed = 4,
    eUpdateOtherProduct = 5,
    eUpdateNoImage = 6,
    eUpdateTooLarge = 7,
    eUpdateChecksumFailed = 8,
    eUpdateSignatureFailed = 9,
    eUpdateCommitFailed = 10,
    eUpdateRebootFailed = 11,
    eUpdateReconnectFailed = 12,
    eUpdateNotConnected = 13,
    eUpdateAborted = 14,
};

// Progress bar modes: the tick leaves the bar alone, or the bar follows the engine's fraction.
enum class ProgressMode : int
{
    Idle = 0,
    FollowEngine = 2,
};

// The state of one firmware update, shared by the sequence (on its owner's thread) and the
// three workers. The workers run one at a time, but the owner reads the flags while one runs.
struct UpdateState
{
    std::atomic<int> result { eUpdateSucceeded };
    std::atomic<bool> inProgress { false }; // the worker chain runs
    std::atomic<bool> awaitingReconnect { false }; // waiting for the rebooted module
    std::atomic<bool> finished { false }; // ended by a failure, a refusal or the reconnection
    std::atomic<bool> rebootPending { false }; // committed; the module must reboot
    std::atomic<bool> abortPending { false }; // the module still has to hear "aborted"
    std::atomic<ProgressMode> progressMode { ProgressMode::Idle };

    QString FirmwareFile() const
    {
        QMutexLocker locker(&mFileMutex);
        return mFirmwareFile;
    }
    void SetFirmwareFile(const QString &path)
    {
        QMutexLocker locker(&mFileMutex);
        mFirmwareFile = path;
    }

private:
    mutable QMutex mFileMutex;
    QString mFirmwareFile; // full path of the package being uploaded
};

// The text for a result code (translated in the window's context).
QString GetUpdateResultText(int result);
