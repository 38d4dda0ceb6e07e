// set-network and dhcp: one interface of each chosen module, checked as the window checks it.
// A module whose model lacks the interface is skipped under --all and refused otherwise.
#include "cmd_engine.h"
#include "commands.h"
#include "ctl_confirm.h"
#include "ctl_network.h"
#include "ctl_output.h"
#include "module_action.h"
#include "module_session.h"
#include "session_rules.h"

namespace {

ExitStatus readInterface(const CommandContext &context, int &netIf)
{
    if (CtlNetwork::ReadInterface(context.args.first(), netIf))
        return ExitStatus::Ok;
    return Refuse(context.out, ExitStatus::Validation,
        CtlTr("Unknown interface '%1'; one of: control, media, media2.").arg(context.args.first()));
}

QString question(ModuleSession &session, int netIf, const NetworkRules::LanChange &change)
{
    return NetworkRules::ConfirmationText(
        SessionRules::ModelDisplayName(session.Engine()->GetBoardID()), netIf, change);
}

} // namespace

ExitStatus RunSetNetwork(CommandContext &context)
{
    int netIf = 0;
    if (const ExitStatus bad = readInterface(context, netIf); bad != ExitStatus::Ok)
        return bad;
    const QStringList &a = context.args;
    QString error;
    const NetworkRules::LanCheck check
        = CtlNetwork::CheckStatic(netIf, a.at(1), a.at(2), a.value(3), a.value(4), error);
    if (!error.isEmpty())
        return Refuse(context.out, ExitStatus::Validation, error);
    return RunConfirmed(context,
        [&](const Confirmation &confirmation, ModuleSession &session, const QString &path) {
            ModuleOutcome outcome
                = CheckModel(session, path, context.choice.all, [&](const ModelRow &model) {
                      return CtlNetwork::InterfaceRefusal(model, netIf, check.change.speed);
                  });
            if (outcome.status != ExitStatus::Ok)
                return outcome;
            if (!confirmation.Ask(path + QStringLiteral(": ") + NetworkRules::ConfirmationTitle(),
                    question(session, netIf, check.change)))
                return Confirmation::Declined(path);
            return CtlNetwork::ApplyStatic(session, path, netIf, check.change);
        });
}

ExitStatus RunDhcp(CommandContext &context)
{
    int netIf = 0;
    if (const ExitStatus bad = readInterface(context, netIf); bad != ExitStatus::Ok)
        return bad;
    NetworkRules::LanRequest request;
    request.netIf = netIf;
    request.dhcp = true;
    const NetworkRules::LanChange change = NetworkRules::CheckLanRequest(request).change;
    return RunConfirmed(context,
        [&](const Confirmation &confirmation, ModuleSession &session, const QString &path) {
            ModuleOutcome outcome
                = CheckModel(session, path, context.choice.all, [&](const ModelRow &model) {
                      return CtlNetwork::InterfaceRefusal(model, netIf, QString());
                  });
            if (outcome.status != ExitStatus::Ok)
                return outcome;
            if (!confirmation.Ask(path + QStringLiteral(": ") + NetworkRules::ConfirmationTitle(),
                    question(session, netIf, change)))
                return Confirmation::Declined(path);
            return CtlNetwork::ObtainLease(session, path, netIf);
        });
}
