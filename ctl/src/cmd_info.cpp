// info: what each chosen module holds, read on all of them at once; the interfaces are
// those of the model's page.
#include "cmd_engine.h"
#include "commands.h"
#include "ctl_output.h"
#include "fleet.h"
#include "model_registry.h"
#include "module_action.h"
#include "module_session.h"
#include "session_rules.h"

#include <QJsonArray>
#include <vector>

namespace {

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
                QLatin1String(item), SessionRules::ResultText(code));
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

QJsonObject readInterface(InfoReader &r, int netIf, const ModelInterface &iface)
{
    const auto n = static_cast<E::eNetIf_t>(netIf);
    const QJsonObject staticSet {
        { "address", r.getStatic("static address", &E::GetModuleIpAddress, n) },
        { "mask", r.getStatic("static mask", &E::GetModuleSubnetMask, n) },
        { "gateway", r.getStatic("static gateway", &E::GetModuleGateway, n) },
    };
    return {
        { "interface", QLatin1String(iface.key) },
        { "title", ModelRegistry::TabTitle(iface) },
        { "mode", modeJson(r.get("mode", &E::GetModuleIpState, n)) },
        { "address", r.get("address", &E::GetModuleIpAddressActive, n) },
        { "mask", r.get("subnet mask", &E::GetModuleSubnetMaskActive, n) },
        { "gateway", r.get("gateway", &E::GetModuleGatewayActive, n) },
        { "static", staticSet },
        { "mac", r.get("MAC address", &E::GetModuleMACAddress, n) },
        { "link", r.get("link", &E::GetModuleNetworkConnected, n) },
        { "speed",
            n == E::eNetIfControl ? QJsonValue() : r.get("speed", &E::GetModuleSpeedActual, n) },
        { "upnp", iface.upnp ? r.get("UPnP", &E::GetModuleUPnPEnabled, n) : QJsonValue() },
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
    // The interfaces of the model's page, whatever else the module may answer for.
    QJsonArray interfaces;
    const QList<ModelInterface> &model = ModelRegistry::RowOrUnknown(boardId).interfaces;
    for (int netIf = 0; netIf < model.size(); ++netIf)
        interfaces << readInterface(r, netIf, model[netIf]);
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
    const ModuleOutcome connected = ConnectModule(session, path);
    if (connected.status != ExitStatus::Ok) {
        report.status = connected.status;
        report.message = connected.message;
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

// One line of the human output: where the value is in the JSON object, and its label.
struct FieldRow
{
    const char *key; // "a" or "a/b" for a member of a member
    const char *label; // translatable
    const char *on = nullptr; // texts of a true and a false value
    const char *off = nullptr;
};

const char kEnabled[] = QT_TRANSLATE_NOOP("trivoctl", "enabled");
const char kDisabled[] = QT_TRANSLATE_NOOP("trivoctl", "disabled");

const FieldRow kModuleFields[] = {
    { "name", QT_TRANSLATE_NOOP("trivoctl", "Name") },
    { "serial", QT_TRANSLATE_NOOP("trivoctl", "Serial number") },
    { "productId", QT_TRANSLATE_NOOP("trivoctl", "Product ID") },
    { "model", QT_TRANSLATE_NOOP("trivoctl", "Model") },
    { "type", QT_TRANSLATE_NOOP("trivoctl", "Type") },
    { "versions/software", QT_TRANSLATE_NOOP("trivoctl", "Software version") },
    { "versions/safeboot", QT_TRANSLATE_NOOP("trivoctl", "Safeboot version") },
    { "versions/bootloader", QT_TRANSLATE_NOOP("trivoctl", "Bootloader version") },
    { "safebootMode", QT_TRANSLATE_NOOP("trivoctl", "Safeboot mode") },
    { "authentication", QT_TRANSLATE_NOOP("trivoctl", "Authentication"), kEnabled, kDisabled },
};

const FieldRow kInterfaceFields[] = {
    { "mode", QT_TRANSLATE_NOOP("trivoctl", "Mode") },
    { "address", QT_TRANSLATE_NOOP("trivoctl", "Address") },
    { "mask", QT_TRANSLATE_NOOP("trivoctl", "Subnet mask") },
    { "gateway", QT_TRANSLATE_NOOP("trivoctl", "Gateway") },
    { "static/address", QT_TRANSLATE_NOOP("trivoctl", "Static address") },
    { "static/mask", QT_TRANSLATE_NOOP("trivoctl", "Static mask") },
    { "static/gateway", QT_TRANSLATE_NOOP("trivoctl", "Static gateway") },
    { "mac", QT_TRANSLATE_NOOP("trivoctl", "MAC address") },
    { "link", QT_TRANSLATE_NOOP("trivoctl", "Link"), QT_TRANSLATE_NOOP("trivoctl", "up"),
        QT_TRANSLATE_NOOP("trivoctl", "down") },
    { "speed", QT_TRANSLATE_NOOP("trivoctl", "Speed") },
    { "upnp", QT_TRANSLATE_NOOP("trivoctl", "UPnP"), kEnabled, kDisabled },
};

// The rows of the fields the module gave (null values are left out).
template <size_t N>
void addFields(QList<QStringList> &rows, const QString &indent, const QJsonObject &object,
    const FieldRow (&fields)[N])
{
    for (const FieldRow &field : fields) {
        QJsonValue value = object;
        for (const QString &part : QString::fromLatin1(field.key).split(QLatin1Char('/')))
            value = value.toObject().value(part);
        if (value.isNull() || value.isUndefined())
            continue;
        const QString text = value.isBool() ? CtlTr(value.toBool() ? field.on : field.off)
            : value.isDouble()              ? QString::number(value.toInteger())
                                            : PlainText(value.toString());
        rows << QStringList { indent + CtlTr(field.label) + QLatin1Char(':'), text };
    }
}

void printInfo(const CtlOutput &out, const QString &path, const QJsonObject &info)
{
    QList<QStringList> rows;
    addFields(rows, QStringLiteral("  "), info, kModuleFields);
    const QJsonArray interfaces = info.value("interfaces").toArray();
    for (const QJsonValue &value : interfaces) {
        const QJsonObject iface = value.toObject();
        rows << QStringList { QStringLiteral("  %1 (%2)")
                                  .arg(iface.value("title").toString(),
                                      iface.value("interface").toString()) };
        addFields(rows, QStringLiteral("    "), iface, kInterfaceFields);
    }
    out.line(PlainText(path));
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
