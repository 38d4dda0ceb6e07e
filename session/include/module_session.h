#pragma once

#include "cmd_engine.h"
#include "engine_holder.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>

class CAppIF;
class CErrorReportIF;
class CSerialIF;
class DHCPThread;
class DiscoverThread;
class QThread;

// The connection to one module, without widgets: owns the command engine on one serial
// interface, the closing flag its exchanges watch, the record of who uses the engine,
// and the discovery and DHCP workers. The window and the command-line tool each hold one.
class ModuleSession : public QObject
{
    Q_OBJECT

public:
    // What one connection attempt came to.
    struct ConnectOutcome
    {
        bool opened = false; // the port opened
        int code = -1; // eConnectResult_t when opened
        QString statusText; // the status line for it
        bool ok() const { return opened && code == eConnectOK; }
    };

    // Takes ownership of serial. errors and appIF are not owned and must outlive the session.
    ModuleSession(
        CSerialIF *serial, CErrorReportIF *errors, CAppIF *appIF, QObject *parent = nullptr);
    ~ModuleSession() override;

    CCmdEngine *Engine() const { return mEngine; }
    EngineHolder &Holder() { return mHolder; }
    const EngineHolder &Holder() const { return mHolder; }
    DiscoverThread *Discovery() const { return mDiscovery; }
    DHCPThread *Dhcp() const { return mDhcp; }

    // Once set, exchanges and uploads end promptly; set first thing when the owner closes.
    void SetClosing() { mClosing = true; }
    bool IsClosing() const { return mClosing; }
    const std::atomic<bool> *ClosingFlag() const { return &mClosing; }

    // Opens the port of that index and connects the module on it; a failed connect
    // closes the port again.
    ConnectOutcome Connect(int portIndex);
    // Closes the port and forgets the connection (callable from a worker's thread).
    void Disconnect();
    bool IsConnected() const { return mEngine->IsConnected(); }

    // Serial number of the module last connected (owner's thread only).
    QString LastConnectedSerial() const { return mLastConnectedSerial; }
    void SetLastConnectedSerial(const QString &serial) { mLastConnectedSerial = serial; }
    // Serial number of the module being updated; emptied by every disconnect. Read and
    // written from the owner's thread and the update workers.
    QString UpdateTargetSerial() const;
    void SetUpdateTargetSerial(const QString &serial);

    // Files a worker that holds the engine for its whole run as user: the engine is given
    // back the moment the worker finishes.
    void RegisterWorker(QThread *worker, EngineUser user);
    // Takes the engine for user and starts the worker; false when someone else holds it.
    bool StartWorker(QThread *worker, EngineUser user);
    // Waits up to waitMs for a worker to end, delivering blocking calls it may be waiting
    // on meanwhile; terminates it after that.
    static void StopWorker(QThread *worker, int waitMs);
    // Waits up to waitMs (-1: for good) for a worker's run to end; once it has, everything
    // the worker wrote is the caller's to read.
    static bool AwaitWorker(QThread *worker, int waitMs = -1);
    // Starts the DHCP worker on that interface; false (the running request keeps its
    // interface) when it runs already or another worker holds the engine.
    bool StartDhcp(CCmdEngine::eNetIf_t netIf);

    static constexpr int kWorkerStopWaitMs = 2500;

private:
    std::atomic<bool> mClosing { false };
    CCmdEngine *mEngine = nullptr;
    EngineHolder mHolder;
    DiscoverThread *mDiscovery = nullptr;
    DHCPThread *mDhcp = nullptr;
    QString mLastConnectedSerial;
    mutable QMutex mTargetMutex;
    QString mUpdateTargetSerial;
};
