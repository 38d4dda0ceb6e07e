#include "dhcp_thread.h"

#include "session_logging.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {
constexpr uint32_t kIpConfigDhcp = 1;
constexpr int kPausePassMs = 10; // sleep per pause pass, so the pause does not spin
// Not translated: the module's own wording.
constexpr const char kNetworkRootText[]
    = "DHCP failed.  Are you trying to configure DHCP on a device with an NFS-mounted rootfs?";
} // namespace

DHCPThread::DHCPThread(QObject *parent)
    : SessionWorker(parent)
{ }

DHCPThread::~DHCPThread() = default;

QString DHCPThread::ObtainingText(int netIf)
{
    switch (netIf) {
    case CCmdEngine::eNetIfControl:
        return tr("Obtaining IP Address from DHCP for Control LAN...");
    case CCmdEngine::eNetIfMedia:
        return tr("Obtaining IP Address from DHCP for Media LAN...");
    case CCmdEngine::eNetIfMedia2:
        return tr("Obtaining IP Address from DHCP for Media 2 LAN...");
    default:
        qCDebug(lcSession).noquote()
            << "DHCPThread::run() - ERROR! Start DHCPThread for *** UNKNOWN *** LAN";
        return tr("Obtaining IP Address from DHCP for unknown LAN...");
    }
}

bool DHCPThread::pause(int ms)
{
    QElapsedTimer paused;
    paused.start();
    while (paused.elapsed() < ms) {
        if (mAbort)
            return false;
        QCoreApplication::processEvents();
        msleep(static_cast<unsigned long>(qBound(1, ms - int(paused.elapsed()), kPausePassMs)));
    }
    return !mAbort;
}

void DHCPThread::watch(CCmdEngine::eNetIf_t netIf, QString &status, bool &bound, bool &networkRoot)
{
    QElapsedTimer watched;
    QElapsedTimer dot;
    watched.start();
    dot.start();
    while (watched.elapsed() < Scaled(kWatchMs) && !mAbort) {
        bool running = true;
        const eResult_t rc
            = mCmdEngine->GetModuleDHCPNegotiationRunning(netIf, running, bound, networkRoot);
        // A module that went away answers nothing more: no use asking it for 30 s.
        if (!running || rc == eResultDisconnected)
            return;
        if (dot.elapsed() > Scaled(kDotMs)) {
            dot.restart();
            status += tr(".");
            emit PostAppStatusMessage(status);
        }
        QCoreApplication::processEvents();
    }
}

void DHCPThread::run()
{
    if (!mCmdEngine)
        return;
    const CCmdEngine::eNetIf_t netIf = mNetIf;
    QString status = ObtainingText(netIf);
    emit PostAppStatusMessage(status);

    bool bound = false;
    bool networkRoot = false;
    if (pause(Scaled(kPauseMs))) {
        // The result is not examined: the watch tells whether the module took the change.
        mCmdEngine->SetModuleIpState(netIf, kIpConfigDhcp);
        if (pause(Scaled(kPauseMs)))
            watch(netIf, status, bound, networkRoot);
    }

    if (bound)
        emit PostIpAddressOffered(netIf);
    else if (networkRoot)
        emit PostAppStatusMessage(QString::fromLatin1(kNetworkRootText));
    else
        emit PostAppStatusMessage(tr("Could not obtain lease from a DHCP server"));
}
