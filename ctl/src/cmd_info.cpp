// info: what each chosen module holds, read on all of them at once.
#include "cmd_engine.h"
#include "commands.h"
#include "ctl_output.h"
#include "fleet.h"
#include "module_session.h"
#include "session_rules.h"

#include <QJsonArray>
#include <vector>

namespace {

struct InterfaceRow
{
    CCmdEngine::eNetIf_t netIf;
    const char *key; // in JSON
    const char *label; // translatable
};

const InterfaceRow kInterfaces[] = {
    { CCmdEngine::eNetIfControl, "control", QT_TRANSLATE_NOOP("trivoctl", "Control LAN") },
    { CCmdEngine::eNetIfMedia, "media", QT_TRANSLATE_NOOP("trivoctl", "Media LAN 1") },
    { CCmdEngine::eNetIfMedia2, "media2", QT_TRANSLATE_NOOP("trivoctl", "Media LAN 2") },
};

QJsonValue toJson(const QString &text)
{
    return text;
}
QJsonValue toJson(uint32_t value)
{
    return qint64(value);
}
QJsonValue toJson(bool value)
{
    return value;
}

using E = CCmdEngine;

// Reads values one by one. A parameter the module does not have reads as null; any other
// failure (no answer, refused, unplugged) is kept and ends the reading.
class InfoReader
{
public:
    explicit InfoReader(E &engine)
        : mEngine(engine)
    { }

    template <typename T> QJsonValue get(const char *item, eResult_t (E::*getter)(T &))
    {
        return read<T>(item, [getter](E &e, T &v) { return (e.*getter)(v); });
    }
    template <typename T>
    QJsonValue get(const char *item, eResult_t (E::*getter)(E::eNetIf_t, T &), E::eNetIf_t n)
    {
        return read<T>(item, [getter, n](E &e, T &v) { return (e.*getter)(n, v); });
    }
    // The static (not the DHCP) set of an interface.
    QJsonValue getStatic(
        const char *item, eResult_t (E::*getter)(E::eNetIf_t, QString &, bool), E::eNetIf_t n)
    {
        return read<QString>(
            item, [getter, n](E &e, QString &v) { return (e.*getter)(n, v, false); });
    }

    bool failed() const { return !mFailure.isEmpty(); }
    QString failure() const { return mFailure; }

private:
    template <typename T, typename Call> QJsonValue read(const char *item, Call call)
    {
        if (failed())
            return QJsonValue::Null;
        T value {};
        const eResult_t code = call(mEngine, value);
        if (code == eResultOK)
            return toJson(value);
        if (code != eResultGetSetCmdNoSuchParamID && code != eResultGetSetCmdWrongType)
            mFailure = QStringLiteral("%1 (%2)").arg(
                QLatin1String(item), CCommProtocol::enumToString(code));
        return QJsonValue::Null;
    }

    E &mEngine;
    QString mFailure;
};

QJsonValue modeJson(const QJsonValue &mode)
{
    if (mode.isNull())
        return mode;
    const int value = mode.toInt();
    return value == 1 ? QJsonValue(QStringLiteral("dhcp"))
        : value == 2  ? QJsonValue(QStringLiteral("static"))
                      : mode;
}

QJsonObject readInterface(
    InfoReader &r, const InterfaceRow &row, const QJsonValue &mac, uint32_t boardId)
{
    const E::eNetIf_t n = row.netIf;
    const QJsonObject staticSet {
        { "address", r.getStatic("static address", &E::GetModuleIpAddress, n) },
        { "mask", r.getStatic("static mask", &E::GetModuleSubnetMask, n) },
        { "gateway", r.getStatic("static gateway", &E::GetModuleGateway, n) },
    };
    const bool upnp = CProductFeatures::HasInterfaceStateParameters(boardId);
    return {
        { "interface", QLatin1String(row.key) },
        { "mode", modeJson(r.get("mode", &E::GetModuleIpState, n)) },
        { "address", r.get("address", &E::GetModuleIpAddressActive, n) },
        { "mask", r.get("subnet mask", &E::GetModuleSubnetMaskActive, n) },
        { "gateway", r.get("gateway", &E::GetModuleGatewayActive, n) },
        { "static", staticSet },
        { "mac", mac },
        { "link", r.get("link", &E::GetModuleNetworkConnected, n) },
        { "speed",
            n == E::eNetIfControl ? QJsonValue() : r.get("speed", &E::GetModuleSpeedActual, n) },
        { "upnp", upnp ? r.get("UPnP", &E::GetModuleUPnPEnabled, n) : QJsonValue() },
    };
}

QJsonObject readInfo(InfoReader &r, E &engine)
{
    const uint32_t boardId = engine.GetBoardID();
    const QJsonValue pcb = r.get("PCB revision", &E::GetModulePCBRevision);
    QJsonObject info {
        { "name", r.get("name", &E::GetModuleName) },
        { "serial", r.get("serial number", &E::GetModuleSerialNumber) },
        { "productId", r.get("product ID", &E::GetModuleProductID) },
        { "boardId", QStringLiteral("0x%1").arg(boardId, 8, 16, QLatin1Char('0')) },
        { "model", SessionRules::ModelDisplayName(boardId) },
        { "type",
            SessionRules::InfoTypeText(SessionRules::ModelDisplayName(boardId),
                CProductID::GetModelNameFromBoardID(boardId), uint32_t(pcb.toInteger())) },
        { "pcbRevision", pcb },
        { "versions",
            QJsonObject {
                { "software", r.get("software version", &E::GetModuleSWVersion) },
                { "safeboot", r.get("safeboot version", &E::GetModuleSafebootVersion) },
                { "bootloader", r.get("bootloader version", &E::GetModuleBootloaderVersion) },
            } },
        { "safebootMode", r.get("safeboot mode", &E::GetModuleSafebootMode) },
        { "authentication", r.get("authentication", &E::GetModuleAuthenticationEnabled) },
    };
    QJsonArray interfaces;
    for (const InterfaceRow &row : kInterfaces) {
        // A media LAN is there when the module gives its MAC address.
        const QJsonValue mac = r.get("MAC address", &E::GetModuleMACAddress, row.netIf);
        if (!mac.isNull() || (row.netIf == E::eNetIfControl && !r.failed()))
            interfaces << readInterface(r, row, mac, boardId);
    }
    info.insert("interfaces", interfaces);
    return info;
}

struct ModuleReport
{
    ExitStatus status = ExitStatus::Ok;
    QString message; // why it failed
    QJsonObject info;
};

ModuleReport reportModule(ModuleSession &session, const QString &path)
{
    ModuleReport report;
    const ModuleSession::ConnectOutcome connected = session.Connect(0);
    if (!connected.ok()) {
        if (!connected.opened) {
            const PortProblem problem
                = OpenProblem(path, session.Engine()->GetSerialIF()->LastOpenError());
            if (problem.status != ExitStatus::Ok) {
                report.status = problem.status;
                report.message = problem.message;
                return report;
            }
        }
        report.status = connected.code == eConnectUnsupportedModule ? ExitStatus::ModuleRefused
                                                                    : ExitStatus::NoModule;
        report.message = path + QStringLiteral(": ") + connected.statusText;
        return report;
    }
    InfoReader reader(*session.Engine());
    report.info = readInfo(reader, *session.Engine());
    if (reader.failed()) {
        report.status = ExitStatus::ModuleRefused;
        report.message = CtlTr("%1: the module did not give its %2").arg(path, reader.failure());
    }
    session.Disconnect();
    return report;
}

QString valueText(const QJsonValue &value, const char *on = nullptr, const char *off = nullptr)
{
    if (value.isBool())
        return CtlTr(value.toBool() ? on : off);
    if (value.isDouble())
        return QString::number(value.toInteger());
    return PlainText(value.toString());
}

void printInfo(const CtlOutput &out, const QString &path, const QJsonObject &info)
{
    QList<QStringList> rows;
    const auto add = [&rows](const QString &indent, const char *label, const QJsonValue &value,
                         const char *on = nullptr, const char *off = nullptr) {
        if (!value.isNull() && !value.isUndefined())
            rows << QStringList { indent + CtlTr(label) + QLatin1Char(':'),
                valueText(value, on, off) };
    };
    const QString one = QStringLiteral("  ");
    const QString two = QStringLiteral("    ");
    const QJsonObject versions = info.value("versions").toObject();
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Name"), info.value("name"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Serial number"), info.value("serial"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Product ID"), info.value("productId"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Model"), info.value("model"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Type"), info.value("type"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Software version"), versions.value("software"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Safeboot version"), versions.value("safeboot"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Bootloader version"), versions.value("bootloader"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Safeboot mode"), info.value("safebootMode"));
    add(one, QT_TRANSLATE_NOOP("trivoctl", "Authentication"), info.value("authentication"),
        QT_TRANSLATE_NOOP("trivoctl", "enabled"), QT_TRANSLATE_NOOP("trivoctl", "disabled"));
    const QJsonArray interfaces = info.value("interfaces").toArray();
    for (int i = 0; i < interfaces.size(); ++i) {
        const QJsonObject iface = interfaces[i].toObject();
        const QJsonObject staticSet = iface.value("static").toObject();
        for (const InterfaceRow &row : kInterfaces) {
            if (iface.value("interface").toString() == QLatin1String(row.key))
                rows << QStringList { one + CtlTr(row.label) };
        }
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Mode"), iface.value("mode"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Address"), iface.value("address"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Subnet mask"), iface.value("mask"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Gateway"), iface.value("gateway"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Static address"), staticSet.value("address"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Static mask"), staticSet.value("mask"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Static gateway"), staticSet.value("gateway"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "MAC address"), iface.value("mac"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Link"), iface.value("link"),
            QT_TRANSLATE_NOOP("trivoctl", "up"), QT_TRANSLATE_NOOP("trivoctl", "down"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "Speed"), iface.value("speed"));
        add(two, QT_TRANSLATE_NOOP("trivoctl", "UPnP"), iface.value("upnp"),
            QT_TRANSLATE_NOOP("trivoctl", "enabled"), QT_TRANSLATE_NOOP("trivoctl", "disabled"));
    }
    out.line(path);
    out.table(rows);
}

} // namespace

ExitStatus RunInfo(CommandContext &context)
{
    const CtlOutput &out = context.out;
    const Choice choice = ChooseModules(context.choice, out);
    if (choice.status != ExitStatus::Ok)
        return choice.status;

    std::vector<ModuleReport> reports(size_t(choice.paths.size()));
    Fleet fleet(choice.paths);
    fleet.Run([&reports, &choice](int i, ModuleSession &session) {
        reports[size_t(i)] = reportModule(session, choice.paths[i]);
    });

    QList<ExitStatus> statuses;
    QJsonArray modules;
    bool printed = false;
    for (int i = 0; i < choice.paths.size(); ++i) {
        const ModuleReport &report = reports[size_t(i)];
        statuses << report.status;
        QJsonObject module = report.info;
        module.insert("port", choice.paths[i]);
        module.insert("status", ExitStatusKey(report.status));
        if (report.status != ExitStatus::Ok) {
            out.message(report.message);
            module.insert("message", report.message);
        } else if (!out.isJson()) {
            if (printed)
                out.line(QString());
            printInfo(out, choice.paths[i], report.info);
            printed = true;
        }
        modules << module;
    }
    const ExitStatus status = CombineStatuses(statuses);
    if (out.isJson())
        out.document({ { "status", ExitStatusKey(status) }, { "modules", modules } });
    return status;
}
