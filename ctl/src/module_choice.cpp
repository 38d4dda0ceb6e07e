#include "module_choice.h"

#include "ctl_output.h"
#include "session_rules.h"

#include <QJsonArray>
#include <algorithm>

namespace {

QString boardIdText(uint32_t boardId)
{
    return QStringLiteral("0x%1").arg(boardId, 8, 16, QLatin1Char('0'));
}

// No module found: a port we could not look at may be the reason, so its status wins.
ExitStatus refuseNone(const PortScan &scan, const CtlOutput &out, const QString &message)
{
    const ExitStatus status
        = scan.problems.isEmpty() ? ExitStatus::NoModule : scan.problems.first().status;
    QJsonArray problems;
    for (const PortProblem &problem : scan.problems)
        problems << ProblemJson(problem);
    return Refuse(out, status, message, { { QStringLiteral("problems"), problems } });
}

} // namespace

QJsonObject ModuleJson(const FoundModule &module)
{
    const ModuleIdentity &id = module.identity;
    return {
        { QStringLiteral("port"), module.path },
        { QStringLiteral("name"), id.name },
        { QStringLiteral("serial"), id.serialRead ? QJsonValue(id.serial) : QJsonValue() },
        { QStringLiteral("productId"), id.productId },
        { QStringLiteral("boardId"), boardIdText(id.boardId) },
        { QStringLiteral("model"), SessionRules::ModelDisplayName(id.boardId) },
    };
}

QStringList ModuleHeader()
{
    return { CtlTr("PORT"), CtlTr("NAME"), CtlTr("SERIAL"), CtlTr("PRODUCT"), CtlTr("MODEL") };
}

QStringList ModuleRow(const FoundModule &module)
{
    const ModuleIdentity &id = module.identity;
    const auto orDash = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("-") : PlainText(text);
    };
    return { PlainText(module.path), orDash(id.name), orDash(id.serial), orDash(id.productId),
        SessionRules::ModelDisplayName(id.boardId) };
}

QJsonObject ProblemJson(const PortProblem &problem)
{
    return { { QStringLiteral("port"), problem.path },
        { QStringLiteral("status"), ExitStatusKey(problem.status) },
        { QStringLiteral("message"), problem.message } };
}

void ReportProblems(const QList<PortProblem> &problems, const CtlOutput &out)
{
    for (const PortProblem &problem : problems)
        out.message(problem.message);
}

ExitStatus Refuse(
    const CtlOutput &out, ExitStatus status, const QString &message, const QJsonObject &extra)
{
    out.message(message);
    if (out.isJson()) {
        QJsonObject doc = extra;
        doc.insert(QStringLiteral("status"), ExitStatusKey(status));
        doc.insert(QStringLiteral("message"), message);
        out.document(doc);
    }
    return status;
}

Choice ChooseModules(const ChoiceOptions &options, const CtlOutput &out)
{
    Choice choice;
    if (!options.ports.isEmpty()) {
        choice.paths = options.ports;
        return choice;
    }

    const PortScan scan = ScanPorts(CandidatePorts());
    ReportProblems(scan.problems, out);
    if (scan.modules.isEmpty()) {
        choice.status = refuseNone(scan, out, CtlTr("No module found."));
        return choice;
    }

    if (!options.serials.isEmpty()) {
        for (const QString &serial : options.serials) {
            const auto found = std::find_if(
                scan.modules.cbegin(), scan.modules.cend(), [&serial](const FoundModule &m) {
                    return m.identity.serialRead && m.identity.serial == serial;
                });
            if (found == scan.modules.cend()) {
                choice.status = refuseNone(
                    scan, out, CtlTr("No module with serial number %1 found.").arg(serial));
                return choice;
            }
            choice.paths << found->path;
        }
        return choice;
    }

    if (options.all || scan.modules.size() == 1) {
        for (const FoundModule &module : scan.modules)
            choice.paths << module.path;
        return choice;
    }

    QJsonArray modules;
    QList<QStringList> rows { ModuleHeader() };
    for (const FoundModule &module : scan.modules) {
        modules << ModuleJson(module);
        rows << ModuleRow(module);
    }
    choice.status = Refuse(out, ExitStatus::SeveralModules,
        CtlTr("%1 modules found; choose with --port PATH, --serial SN or --all:")
            .arg(scan.modules.size()),
        { { QStringLiteral("modules"), modules } });
    if (!out.isJson())
        out.table(rows, stderr);
    return choice;
}
