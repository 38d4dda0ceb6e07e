#include "module_action.h"

#include "cmd_engine.h"
#include "ctl_output.h"
#include "fleet.h"
#include "model_registry.h"
#include "module_session.h"
#include "serial_if.h"
#include "session_rules.h"

#include <QJsonArray>
#include <vector>

ModuleOutcome ConnectModule(ModuleSession &session, const QString &path)
{
    return ConnectOutcomeOf(session, path, session.Connect(0));
}

ModuleOutcome ConnectOutcomeOf(
    ModuleSession &session, const QString &path, const ModuleSession::ConnectOutcome &connected)
{
    ModuleOutcome outcome;
    if (connected.ok())
        return outcome;
    if (!connected.opened) {
        const PortProblem problem
            = OpenProblem(path, session.Engine()->GetSerialIF()->LastOpenError());
        if (problem.status != ExitStatus::Ok) {
            outcome.status = problem.status;
            outcome.message = problem.message;
            return outcome;
        }
    }
    outcome.status = connected.code == eConnectUnsupportedModule ? ExitStatus::ModuleRefused
                                                                 : ExitStatus::NoModule;
    outcome.message = path + QStringLiteral(": ") + connected.statusText;
    return outcome;
}

ModuleOutcome CheckModel(
    ModuleSession &session, const QString &path, bool skip, const ModelCheck &check)
{
    ModuleOutcome outcome;
    const QString reason = check(ModelRegistry::RowOrUnknown(session.Engine()->GetBoardID()));
    if (reason.isEmpty())
        return outcome;
    outcome.skipped = skip;
    outcome.status = ExitStatus::Validation;
    outcome.message = skip ? CtlTr("%1: skipped, %2").arg(path, reason)
                           : QStringLiteral("%1: %2").arg(path, reason);
    return outcome;
}

ModuleOutcome RequestFailed(const QString &path, const QString &what, int result)
{
    ModuleOutcome outcome;
    outcome.status = ExitStatus::ModuleRefused;
    outcome.message
        = QStringLiteral("%1: %2 (%3)").arg(path, what, SessionRules::ResultText(result));
    return outcome;
}

ExitStatus RunOnModules(const CtlOutput &out, const QStringList &paths, const ModuleAction &action)
{
    std::vector<ModuleOutcome> outcomes(size_t(paths.size()));
    Fleet fleet(paths);
    fleet.Run([&outcomes, &paths, &action](int i, ModuleSession &session) {
        ModuleOutcome outcome = ConnectModule(session, paths[i]);
        if (outcome.status == ExitStatus::Ok)
            outcome = action(session, paths[i]);
        session.Disconnect();
        outcomes[size_t(i)] = outcome;
    });
    return ReportOutcomes(out, paths, outcomes);
}

ExitStatus ReportOutcomes(
    const CtlOutput &out, const QStringList &paths, const std::vector<ModuleOutcome> &outcomes)
{
    QList<ExitStatus> statuses;
    QJsonArray modules;
    for (int i = 0; i < paths.size(); ++i) {
        const ModuleOutcome &outcome = outcomes[size_t(i)];
        if (!outcome.skipped)
            statuses << outcome.status;
        QJsonObject module = outcome.result;
        module.insert(QStringLiteral("port"), paths[i]);
        module.insert(QStringLiteral("status"),
            outcome.skipped ? QStringLiteral("skipped") : ExitStatusKey(outcome.status));
        if (outcome.status != ExitStatus::Ok) {
            out.message(outcome.message);
            module.insert(QStringLiteral("message"), outcome.message);
        } else if (!out.isJson() && !outcome.summary.isEmpty()) {
            // A summary may have several lines: each made safe on its own.
            const QStringList lines
                = (paths[i] + QStringLiteral(": ") + outcome.summary).split(QLatin1Char('\n'));
            for (const QString &line : lines)
                out.line(PlainText(line));
        }
        modules << module;
    }
    if (statuses.isEmpty() && !paths.isEmpty())
        out.message(CtlTr("None of the modules can do this: every one was skipped."));
    const ExitStatus status = CombineStatuses(statuses);
    if (out.isJson())
        out.document({ { QStringLiteral("status"), ExitStatusKey(status) },
            { QStringLiteral("modules"), modules } });
    return status;
}
