#include "ctl_network.h"

#include "cmd_engine.h"
#include "ctl_output.h"
#include "dhcp_thread.h"
#include "module_session.h"

#include <QMutex>
#include <QMutexLocker>

namespace CtlNetwork {

namespace {
const char *const kInterfaceKeys[] = { "control", "media", "media2" };
} // namespace

bool ReadInterface(const QString &word, int &netIf)
{
    for (int i = 0; i < int(std::size(kInterfaceKeys)); ++i) {
        if (word == QLatin1String(kInterfaceKeys[i])) {
            netIf = i;
            return true;
        }
    }
    return false;
}

QString InterfaceKey(int netIf)
{
    return QLatin1String(kInterfaceKeys[qBound(0, netIf, int(std::size(kInterfaceKeys)) - 1)]);
}

NetworkRules::LanCheck CheckStatic(int netIf, const QString &address, const QString &mask,
    const QString &gateway, const QString &speed, QString &error)
{
    NetworkRules::LanRequest request;
    request.netIf = netIf;
    request.ip = address;
    request.mask = mask;
    request.gateway = gateway;
    request.speedIndex = speed.isEmpty() ? -1 : int(NetworkRules::SpeedValues().indexOf(speed));
    if (!speed.isEmpty() && request.speedIndex < 0) {
        error = CtlTr("Unknown speed '%1'; one of: %2")
                    .arg(speed, NetworkRules::SpeedValues().join(QStringLiteral(", ")));
        return {};
    }
    NetworkRules::LanCheck check = NetworkRules::CheckLanRequest(request);
    if (!check.ok())
        error = QString(check.refusal.text).replace(QStringLiteral("\n\n"), QStringLiteral(" "));
    return check;
}

ModuleOutcome CheckInterface(ModuleSession &session, const QString &path, int netIf, bool withSpeed)
{
    CCmdEngine &engine = *session.Engine();
    ModuleOutcome outcome;
    QString mac;
    // An interface is there when the module gives its MAC address.
    if (engine.GetModuleMACAddress(static_cast<CCmdEngine::eNetIf_t>(netIf), mac) != eResultOK) {
        outcome.status = ExitStatus::Validation;
        outcome.message
            = CtlTr("%1: this module has no %2 interface").arg(path, InterfaceKey(netIf));
    } else if (withSpeed && !NetworkRules::HasSpeedChoice(engine.GetBoardID(), netIf)) {
        outcome.status = ExitStatus::Validation;
        outcome.message = CtlTr("%1: the speed of this interface cannot be chosen").arg(path);
    }
    return outcome;
}

ModuleOutcome ApplyStatic(
    ModuleSession &session, const QString &path, int netIf, const NetworkRules::LanChange &change)
{
    CCmdEngine &engine = *session.Engine();
    const auto n = static_cast<CCmdEngine::eNetIf_t>(netIf);
    ModuleOutcome outcome;
    const eResult_t rc = engine.SetModuleNetworkConfiguration(
        n, change.ip, change.mask, change.gateway, change.speed);
    if (rc != eResultOK)
        return RequestFailed(path, NetworkRules::ApplyResultText(rc), rc);
    QString address, mask, gateway;
    if (const eResult_t read = engine.GetModuleIpAddress(n, address, false); read != eResultOK)
        return RequestFailed(path, CtlTr("the address could not be read back"), read);
    engine.GetModuleSubnetMask(n, mask, false);
    engine.GetModuleGateway(n, gateway, false);
    if (address != change.ip || mask != change.mask || gateway != change.gateway) {
        outcome.status = ExitStatus::ModuleRefused;
        outcome.message
            = CtlTr("%1: the module holds %2 / %3 / %4 instead").arg(path, address, mask, gateway);
        return outcome;
    }
    outcome.summary = CtlTr("%1 static %2 mask %3 gateway %4")
                          .arg(InterfaceKey(netIf), address, mask,
                              gateway.isEmpty() ? QStringLiteral("-") : gateway);
    outcome.result = { { QStringLiteral("interface"), InterfaceKey(netIf) },
        { QStringLiteral("mode"), QStringLiteral("static") },
        { QStringLiteral("address"), address }, { QStringLiteral("mask"), mask },
        { QStringLiteral("gateway"), gateway } };
    return outcome;
}

ModuleOutcome ObtainLease(ModuleSession &session, const QString &path, int netIf)
{
    const auto n = static_cast<CCmdEngine::eNetIf_t>(netIf);
    DHCPThread *dhcp = session.Dhcp();
    // The worker's messages arrive on its own thread; read once it has ended.
    QMutex mutex;
    QString last;
    bool offered = false;
    const QMetaObject::Connection status = QObject::connect(
        dhcp, &DHCPThread::PostAppStatusMessage, dhcp,
        [&](const QString &text) {
            QMutexLocker locker(&mutex);
            last = text;
        },
        Qt::DirectConnection);
    const QMetaObject::Connection bound = QObject::connect(
        dhcp, &DHCPThread::PostIpAddressOffered, dhcp,
        [&](CCmdEngine::eNetIf_t) {
            QMutexLocker locker(&mutex);
            offered = true;
        },
        Qt::DirectConnection);
    const bool started = session.StartDhcp(n);
    if (started)
        ModuleSession::AwaitWorker(dhcp);
    QObject::disconnect(status);
    QObject::disconnect(bound);

    ModuleOutcome outcome;
    QMutexLocker locker(&mutex);
    if (!started || !offered) {
        outcome.status = ExitStatus::ModuleRefused;
        outcome.message = path + QStringLiteral(": ")
            + (started ? last : NetworkRules::DhcpAlreadyRunningText());
        return outcome;
    }
    QString address, mask, gateway;
    session.Engine()->GetModuleIpAddressActive(n, address);
    session.Engine()->GetModuleSubnetMaskActive(n, mask);
    session.Engine()->GetModuleGatewayActive(n, gateway);
    outcome.summary = CtlTr("%1 DHCP lease %2 mask %3 gateway %4")
                          .arg(InterfaceKey(netIf), address, mask, gateway);
    outcome.result = { { QStringLiteral("interface"), InterfaceKey(netIf) },
        { QStringLiteral("mode"), QStringLiteral("dhcp") }, { QStringLiteral("address"), address },
        { QStringLiteral("mask"), mask }, { QStringLiteral("gateway"), gateway } };
    return outcome;
}

} // namespace CtlNetwork
