#include "ctl_network.h"

#include "cmd_engine.h"
#include "ctl_output.h"
#include "dhcp_thread.h"
#include "model_registry.h"
#include "module_session.h"

#include <QMutex>
#include <QMutexLocker>

namespace CtlNetwork {

namespace {

// Every speed some model offers on some interface, in the registry's order.
QStringList knownSpeeds()
{
    QStringList speeds;
    for (const ModelRow &model : ModelRegistry::Rows()) {
        for (const ModelInterface &iface : model.interfaces) {
            for (const QString &speed : iface.speeds) {
                if (!speeds.contains(speed))
                    speeds << speed;
            }
        }
    }
    return speeds;
}

} // namespace

bool ReadInterface(const QString &word, int &netIf)
{
    netIf = int(ModelRegistry::InterfaceKeys().indexOf(word));
    return netIf >= 0;
}

QString InterfaceKey(int netIf)
{
    const QStringList &keys = ModelRegistry::InterfaceKeys();
    return keys.at(qBound(0, netIf, int(keys.size()) - 1));
}

NetworkRules::LanCheck CheckStatic(int netIf, const QString &address, const QString &mask,
    const QString &gateway, const QString &speed, QString &error)
{
    NetworkRules::LanRequest request;
    request.netIf = netIf;
    request.ip = address;
    request.mask = mask;
    request.gateway = gateway;
    request.speed = speed;
    if (!speed.isEmpty() && !knownSpeeds().contains(speed)) {
        error = CtlTr("Unknown speed '%1'; one of: %2")
                    .arg(speed, knownSpeeds().join(QStringLiteral(", ")));
        return {};
    }
    NetworkRules::LanCheck check = NetworkRules::CheckLanRequest(request);
    if (!check.ok())
        error = QString(check.refusal.text).replace(QStringLiteral("\n\n"), QStringLiteral(" "));
    return check;
}

QString InterfaceRefusal(const ModelRow &model, int netIf, const QString &speed)
{
    const QString name = QString::fromLatin1(model.modelName);
    if (netIf >= model.interfaces.size())
        return CtlTr("the %1 has no %2 interface").arg(name, InterfaceKey(netIf));
    const QStringList &speeds = model.interfaces.at(netIf).speeds;
    if (speed.isEmpty() || speeds.contains(speed))
        return QString();
    if (speeds.isEmpty())
        return CtlTr("the %1 offers no speed choice on its %2 interface")
            .arg(name, InterfaceKey(netIf));
    return CtlTr("the %1 offers no speed %2 on its %3 interface (one of: %4)")
        .arg(name, speed, InterfaceKey(netIf), speeds.join(QStringLiteral(", ")));
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
