#pragma once

#include "cmd_engine.h"
#include "session_worker.h"

#include <QString>
#include <atomic>

// Has the module obtain a DHCP lease on one interface: selects DHCP, then watches the
// module's negotiation for up to 30 s with a growing row of dots on the status line.
// Created once with the session and started again for every request.
class DHCPThread : public SessionWorker
{
    Q_OBJECT

public:
    explicit DHCPThread(QObject *parent = nullptr);
    ~DHCPThread() override;

    void SetCmdEngine(CCmdEngine *cmdEngine) { mCmdEngine = cmdEngine; }
    // The interface of the next run; set only while no run is going.
    void SetNetIf(CCmdEngine::eNetIf_t netIf) { mNetIf = netIf; }
    CCmdEngine::eNetIf_t NetIf() const { return mNetIf; }

    // "Obtaining IP Address from DHCP for ... LAN..."
    static QString ObtainingText(int netIf);

    static constexpr int kPauseMs = 250;
    static constexpr int kWatchMs = 30000;
    static constexpr int kDotMs = 750;

signals:
    void PostAppStatusMessage(QString message);
    void PostIpAddressOffered(CCmdEngine::eNetIf_t netIf);

protected:
    void run() override;

private:
    // Processes the thread's events for ms; false once the run is to stop.
    bool pause(int ms);
    // Queries the negotiation until it ends, the watch runs out or the run is to stop.
    void watch(CCmdEngine::eNetIf_t netIf, QString &status, bool &bound, bool &networkRoot);

    CCmdEngine *mCmdEngine = nullptr;
    std::atomic<CCmdEngine::eNetIf_t> mNetIf { CCmdEngine::eNetIfControl };
};
