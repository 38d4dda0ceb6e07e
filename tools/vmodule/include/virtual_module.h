#pragma once

#include "kermit_receiver.h"
#include "vmodule_config.h"

#include <QFile>
#include <QList>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class ModuleModel;

// One request as the module received it.
struct VmRequest
{
    qint64 ms = 0; // since the module started
    QString type; // "PGID", "PSNM", ...; "KRMT" for a finished file transfer
    QString param; // name, or the ID as 0x%08x
    QString value; // written value, the version offered, or an error word
};

// One step of the module's request parser.
struct VmFrame
{
    enum class Kind
    {
        Incomplete, // more bytes needed
        Request, // a whole frame with a good CRC
        Refused // a frame to answer with "NACK" and nackReason
    };
    Kind kind = Kind::Incomplete;
    uint32_t type = 0;
    QByteArray payload;
    const char *nackReason = nullptr;
};
// Takes the next frame off the front of rx, hunting past bytes that start none.
VmFrame vmTakeFrame(QByteArray &rx);

// A line-per-request log shared by several modules: module, type, parameter and value,
// separated by tabs.
class VmLogFile
{
public:
    bool open(const QString &path);
    void write(const QString &module, const VmRequest &request);

private:
    std::mutex mMutex;
    QFile mFile;
};

// A simulated module on a pseudo-terminal, published as a symbolic link in a directory.
// It answers every request frame on its own thread and never starts traffic itself.
class VirtualModule
{
public:
    VirtualModule(const VmConfig &config, const QString &linkDir);
    ~VirtualModule();
    VirtualModule(const VirtualModule &) = delete;
    VirtualModule &operator=(const VirtualModule &) = delete;

    bool start(QString *error = nullptr);
    // Unplugs for good: the link is removed and the thread ends.
    void stop();

    QString name() const { return mConfig.name; }
    QString linkPath() const { return mLinkPath; }
    QString devicePath() const;
    bool isPlugged() const;
    int plugCount() const; // times the module has come up
    bool waitPlugged(bool plugged, int timeoutMs, int minPlugCount = 0) const;
    // Pulls the plug now; comes back after returnMs (-1: stays away).
    void unplug(int returnMs);

    QList<VmRequest> requests() const;
    void clearRequests();
    void setLogFile(std::shared_ptr<VmLogFile> log);

    void setFaults(const VmFaults &faults);
    VmFaults faults() const;

    QList<KermitReceivedFile> receivedFiles() const;
    QString lastTransferError() const;
    // The value the module would give for a parameter now ("eParamID_SysName", "0x108").
    QString peek(const QString &key) const;

private:
    struct Pending
    {
        qint64 dueMs;
        QByteArray bytes;
        int after; // ModuleModel::After
    };

    void run();
    qint64 nowMs() const;
    bool plugLocked(QString *error);
    void unplugLocked(qint64 nowMs, int returnMs, bool reboot);
    void onBytesLocked(const QByteArray &bytes, qint64 nowMs);
    void parseFramesLocked(qint64 nowMs);
    void dispatchLocked(uint32_t type, const QByteArray &payload, qint64 nowMs);
    void nackLocked(const char *reason, uint32_t type, qint64 nowMs);
    void queueReplyLocked(uint32_t type, const QByteArray &payload, int after, qint64 nowMs);
    void feedTransferLocked(const QByteArray &bytes, qint64 nowMs);
    void finishTransferLocked(qint64 nowMs);
    void writeLocked(const QByteArray &bytes);
    void logLocked(const VmRequest &request);

    VmConfig mConfig;
    QString mLinkDir;
    QString mLinkPath;
    std::unique_ptr<ModuleModel> mModel;
    std::shared_ptr<VmLogFile> mLogFile;

    mutable std::mutex mMutex;
    mutable std::condition_variable mPlugChanged;
    std::thread mThread;
    std::atomic<bool> mStop { false };
    qint64 mStartMs = 0;

    int mMaster = -1;
    int mSlave = -1; // held so the master never sees a hang-up before the program opens it
    QString mDevicePath;
    int mPlugCount = 0;
    qint64 mReplugAtMs = -1;
    qint64 mUnplugAtMs = -1;
    bool mRebootPending = false;

    QByteArray mRx;
    qint64 mLastRxMs = 0;
    QList<Pending> mPending;
    std::unique_ptr<KermitReceiver> mTransfer;
    QList<KermitReceivedFile> mReceived;
    QString mLastTransferError;
    int mRequestCount = 0;
    int mReplyCount = 0;
    QList<VmRequest> mRequests;
};
