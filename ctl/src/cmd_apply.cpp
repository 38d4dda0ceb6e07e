// apply PLAN: a JSON plan keyed by serial number (name, and per interface DHCP or a static
// address) compared with every module found; the changes printed, and with --yes made.
#include "cmd_engine.h"
#include "commands.h"
#include "ctl_network.h"
#include "ctl_output.h"
#include "fleet.h"
#include "module_action.h"
#include "module_session.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kModeDhcp = 1;
constexpr uint32_t kModeStatic = 2;

struct PlanLan
{
    int netIf = 0;
    NetworkRules::LanChange change; // cleaned; dhcp or a static set
};

struct PlanRow
{
    QString serial;
    bool hasName = false;
    QString name;
    QList<PlanLan> lans;
};

// Reads one interface's object; errors name the row and interface.
void readLan(
    const QString &where, int netIf, const QJsonValue &value, PlanRow &row, QStringList &errors)
{
    if (!value.isObject()) {
        errors << CtlTr("%1: not an object").arg(where);
        return;
    }
    const QJsonObject lan = value.toObject();
    static const QSet<QString> keys { "dhcp", "address", "mask", "gateway", "speed" };
    for (auto it = lan.begin(); it != lan.end(); ++it) {
        if (!keys.contains(it.key()))
            errors << CtlTr("%1: unknown key '%2'").arg(where, it.key());
        else if (it.key() == QLatin1String("dhcp") ? !it->isBool() : !it->isString())
            errors << CtlTr("%1: '%2' has the wrong type").arg(where, it.key());
    }
    PlanLan planned;
    planned.netIf = netIf;
    if (lan.value("dhcp").toBool()) {
        if (lan.size() > 1) {
            errors << CtlTr("%1: DHCP takes no address, mask, gateway or speed").arg(where);
            return;
        }
        planned.change.dhcp = true;
    } else {
        QString error;
        planned.change = CtlNetwork::CheckStatic(netIf, lan.value("address").toString(),
            lan.value("mask").toString(), lan.value("gateway").toString(),
            lan.value("speed").toString(), error)
                             .change;
        if (!error.isEmpty()) {
            errors << where + QStringLiteral(": ") + error;
            return;
        }
    }
    row.lans << planned;
}

// The whole plan, or every error in it.
QList<PlanRow> readPlan(const QString &path, QStringList &errors)
{
    QList<PlanRow> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors << CtlTr("Cannot read the plan %1.").arg(path);
        return rows;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        errors << CtlTr("%1: not a JSON object keyed by serial number (%2 at offset %3)")
                      .arg(path, parse.errorString())
                      .arg(parse.offset);
        return rows;
    }
    const QJsonObject plan = doc.object();
    for (auto it = plan.begin(); it != plan.end(); ++it) {
        PlanRow row;
        row.serial = it.key();
        if (!it->isObject() || row.serial.trimmed().isEmpty()) {
            errors << CtlTr("%1: not an object keyed by a serial number").arg(row.serial);
            continue;
        }
        const QJsonObject entry = it->toObject();
        for (auto member = entry.begin(); member != entry.end(); ++member) {
            const QString where = row.serial + QLatin1Char('/') + member.key();
            int netIf = 0;
            if (member.key() == QLatin1String("name")) {
                row.hasName = true;
                row.name = member->toString();
                if (!member->isString() || row.name.trimmed().isEmpty())
                    errors << CtlTr("%1: the name must be a text that is not blank").arg(where);
            } else if (CtlNetwork::ReadInterface(member.key(), netIf)) {
                readLan(where, netIf, *member, row, errors);
            } else {
                errors << CtlTr("%1: unknown key (name, control, media, media2)").arg(where);
            }
        }
        rows << row;
    }
    return rows;
}

QString lanText(const NetworkRules::LanChange &change)
{
    if (change.dhcp)
        return CtlTr("DHCP");
    QString text = CtlTr("static %1 mask %2 gateway %3")
                       .arg(change.ip, change.mask,
                           change.gateway.isEmpty() ? QStringLiteral("-") : change.gateway);
    if (!change.speed.isEmpty())
        text += CtlTr(" speed %1").arg(change.speed);
    return text;
}

// What the module holds now on an interface, as a change would say it.
NetworkRules::LanChange currentLan(CCmdEngine &engine, int netIf, bool withSpeed, eResult_t &rc)
{
    const auto n = static_cast<CCmdEngine::eNetIf_t>(netIf);
    NetworkRules::LanChange now;
    uint32_t mode = 0;
    rc = engine.GetModuleIpState(n, mode);
    now.dhcp = mode == kModeDhcp;
    if (rc == eResultOK)
        rc = engine.GetModuleIpAddress(n, now.ip, false);
    if (rc == eResultOK)
        rc = engine.GetModuleSubnetMask(n, now.mask, false);
    if (rc == eResultOK)
        rc = engine.GetModuleGateway(n, now.gateway, false);
    if (rc == eResultOK && withSpeed)
        rc = engine.GetModuleSpeedActual(n, now.speed);
    if (mode != kModeDhcp && mode != kModeStatic && rc == eResultOK)
        rc = eResultGetSetCmdWrongType;
    return now;
}

bool sameLan(const NetworkRules::LanChange &now, const NetworkRules::LanChange &planned)
{
    if (planned.dhcp || now.dhcp)
        return planned.dhcp == now.dhcp;
    return now.ip == planned.ip && now.mask == planned.mask && now.gateway == planned.gateway
        && (planned.speed.isEmpty() || now.speed == planned.speed);
}

// Compares one module with its row and, when apply, makes the changes.
ModuleOutcome applyRow(ModuleSession &session, const QString &path, const PlanRow &row, bool apply)
{
    CCmdEngine &engine = *session.Engine();
    ModuleOutcome outcome;
    QJsonArray changes;
    QStringList lines;
    const auto change = [&](const QString &what, const QString &from, const QString &to) {
        changes << QJsonObject { { "what", what }, { "from", from }, { "to", to } };
        lines << QStringLiteral("  %1: %2 -> %3").arg(what, PlainText(from), PlainText(to));
    };

    QString name;
    if (const eResult_t rc = engine.GetModuleName(name); rc != eResultOK)
        return RequestFailed(path, CtlTr("the name could not be read"), rc);
    const bool renamed = row.hasName && name != row.name;
    if (renamed)
        change(QStringLiteral("name"), name, row.name);
    QList<PlanLan> lans;
    for (const PlanLan &lan : row.lans) {
        const bool withSpeed = !lan.change.speed.isEmpty();
        // The plan names this module: what its model lacks is refused, never skipped.
        outcome = CheckModel(session, path, false, [&lan](const ModelRow &model) {
            return CtlNetwork::InterfaceRefusal(model, lan.netIf, lan.change.speed);
        });
        if (outcome.status != ExitStatus::Ok)
            return outcome;
        eResult_t rc = eResultOK;
        const NetworkRules::LanChange now = currentLan(engine, lan.netIf, withSpeed, rc);
        if (rc != eResultOK)
            return RequestFailed(path,
                CtlTr("the %1 settings could not be read").arg(CtlNetwork::InterfaceKey(lan.netIf)),
                rc);
        if (!sameLan(now, lan.change)) {
            change(CtlNetwork::InterfaceKey(lan.netIf), lanText(now), lanText(lan.change));
            lans << lan;
        }
    }
    outcome.result.insert("serial", row.serial);
    outcome.result.insert("changes", changes);
    outcome.result.insert("applied", apply && !changes.isEmpty());
    outcome.summary = changes.isEmpty() ? CtlTr("as planned, nothing to change")
        : apply                         ? CtlTr("changed:")
                                        : CtlTr("would change (add --yes to apply):");
    if (!lines.isEmpty())
        outcome.summary += QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    if (!apply)
        return outcome;

    if (renamed) {
        const NetworkRules::SystemNameResult named
            = NetworkRules::ApplySystemName(engine, row.name, true);
        if (!named.statusText.isEmpty() || named.name != row.name) {
            ModuleOutcome failed = outcome;
            failed.status = ExitStatus::ModuleRefused;
            failed.message = path + QStringLiteral(": ")
                + (named.statusText.isEmpty() ? CtlTr("the name did not take") : named.statusText);
            return failed;
        }
    }
    for (const PlanLan &lan : qAsConst(lans)) {
        ModuleOutcome done = lan.change.dhcp
            ? CtlNetwork::ObtainLease(session, path, lan.netIf)
            : CtlNetwork::ApplyStatic(session, path, lan.netIf, lan.change);
        if (done.status != ExitStatus::Ok) {
            done.result = outcome.result;
            return done;
        }
    }
    return outcome;
}

} // namespace

ExitStatus RunApply(CommandContext &context)
{
    const CtlOutput &out = context.out;
    QStringList errors;
    const QList<PlanRow> plan = readPlan(context.args.first(), errors);
    if (!errors.isEmpty())
        return Refuse(out, ExitStatus::Validation, errors.join(QLatin1Char('\n')),
            { { "errors", QJsonArray::fromStringList(errors) } });

    const PortScan scan = ScanPorts(CandidatePorts());
    ReportProblems(scan.problems, out);
    QStringList paths;
    QList<const PlanRow *> rows;
    QJsonArray notInPlan;
    QSet<QString> found;
    for (const FoundModule &module : scan.modules) {
        const QString serial = module.identity.serialRead ? module.identity.serial : QString();
        const auto row = std::find_if(
            plan.cbegin(), plan.cend(), [&serial](const PlanRow &r) { return r.serial == serial; });
        if (row == plan.cend() || serial.isEmpty()) {
            notInPlan << ModuleJson(module);
            if (!out.isJson())
                out.line(CtlTr("%1 (%2): not in the plan")
                             .arg(PlainText(module.path), PlainText(serial)));
            continue;
        }
        found.insert(serial);
        paths << module.path;
        rows << &*row;
    }
    QJsonArray missing;
    for (const PlanRow &row : plan) {
        if (!found.contains(row.serial)) {
            missing << row.serial;
            out.message(CtlTr("%1: no module with this serial number found").arg(row.serial));
        }
    }

    std::vector<ModuleOutcome> outcomes(size_t(paths.size()));
    Fleet fleet(paths);
    const bool apply = context.yes;
    fleet.Run([&](int i, ModuleSession &session) {
        ModuleOutcome outcome = ConnectModule(session, paths[i]);
        if (outcome.status == ExitStatus::Ok)
            outcome = applyRow(session, paths[i], *rows[i], apply);
        session.Disconnect();
        outcomes[size_t(i)] = outcome;
    });

    // Rows without a module count as failures: the plan was not carried out on them.
    QList<ExitStatus> statuses;
    for (const ModuleOutcome &outcome : outcomes)
        statuses << outcome.status;
    for (int i = 0; i < missing.size(); ++i)
        statuses << ExitStatus::NoModule;
    if (!out.isJson())
        ReportOutcomes(out, paths, outcomes);
    const ExitStatus status = CombineStatuses(statuses);
    if (out.isJson()) {
        QJsonArray modules;
        for (int i = 0; i < paths.size(); ++i) {
            QJsonObject module = outcomes[size_t(i)].result;
            module.insert("port", paths[i]);
            module.insert("status", ExitStatusKey(outcomes[size_t(i)].status));
            if (outcomes[size_t(i)].status != ExitStatus::Ok) {
                module.insert("message", outcomes[size_t(i)].message);
                out.message(outcomes[size_t(i)].message);
            }
            modules << module;
        }
        out.document({ { "status", ExitStatusKey(status) }, { "applied", apply },
            { "modules", modules }, { "notInPlan", notInPlan }, { "missing", missing } });
    }
    return status;
}
