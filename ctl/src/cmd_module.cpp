// set-name, upnp, disable-auth, factory-reset, release-lock: one change on each chosen module,
// through the rules and sequences the window uses.
#include "cmd_engine.h"
#include "commands.h"
#include "ctl_confirm.h"
#include "ctl_output.h"
#include "model_registry.h"
#include "module_action.h"
#include "module_maintenance.h"
#include "module_session.h"
#include "network_rules.h"
#include "session_rules.h"

namespace {

// The chosen modules, or the refusal of the choice (already reported).
bool choose(CommandContext &context, Choice &choice)
{
    choice = ChooseModules(context.choice, context.out);
    return choice.status == ExitStatus::Ok;
}

} // namespace

ExitStatus RunSetName(CommandContext &context)
{
    const QString name = context.args.first();
    Choice choice;
    if (!choose(context, choice))
        return choice.status;
    return RunOnModules(
        context.out, choice.paths, [&name](ModuleSession &session, const QString &path) {
            const NetworkRules::SystemNameResult result
                = NetworkRules::ApplySystemName(*session.Engine(), name, true);
            ModuleOutcome outcome;
            if (!result.statusText.isEmpty() || !result.nameRead) {
                outcome.status = ExitStatus::ModuleRefused;
                outcome.message = path + QStringLiteral(": ")
                    + (result.statusText.isEmpty() ? CtlTr("the name could not be read back")
                                                   : result.statusText);
                return outcome;
            }
            outcome.summary = result.restored
                ? CtlTr("a blank name writes nothing; the name stays \"%1\"").arg(result.name)
                : CtlTr("name is now \"%1\"").arg(result.name);
            outcome.result.insert(QStringLiteral("name"), result.name);
            return outcome;
        });
}

ExitStatus RunUPnP(CommandContext &context)
{
    const QString word = context.args.first();
    if (word != QLatin1String("on") && word != QLatin1String("off"))
        return Refuse(context.out, ExitStatus::Validation,
            CtlTr("upnp takes 'on' or 'off', not '%1'.").arg(word));
    const bool enable = word == QLatin1String("on");
    Choice choice;
    if (!choose(context, choice))
        return choice.status;
    const bool skip = context.choice.all;
    return RunOnModules(
        context.out, choice.paths, [enable, skip](ModuleSession &session, const QString &path) {
            CCmdEngine &engine = *session.Engine();
            ModuleOutcome outcome = CheckModel(session, path, skip, [](const ModelRow &model) {
                return model.interfaces.value(0).upnp
                    ? QString()
                    : CtlTr("the %1 has no UPnP host").arg(QString::fromLatin1(model.modelName));
            });
            if (outcome.status != ExitStatus::Ok)
                return outcome;
            // Only the control LAN has a UPnP host.
            const eResult_t rc = engine.SetModuleUPnPEnabled(CCmdEngine::eNetIfControl, enable);
            if (rc != eResultOK) {
                outcome.status = ExitStatus::ModuleRefused;
                outcome.message = path + QStringLiteral(": ") + NetworkRules::UPnPResultText(rc);
                return outcome;
            }
            bool now = !enable;
            if (const eResult_t read = engine.GetModuleUPnPEnabled(CCmdEngine::eNetIfControl, now);
                read != eResultOK)
                return RequestFailed(path, CtlTr("the UPnP setting could not be read back"), read);
            if (now != enable) {
                outcome.status = ExitStatus::ModuleRefused;
                outcome.message = CtlTr("%1: the module kept its UPnP setting").arg(path);
                return outcome;
            }
            outcome.summary = enable ? CtlTr("UPnP host on") : CtlTr("UPnP host off");
            outcome.result.insert(QStringLiteral("upnp"), now);
            return outcome;
        });
}

ExitStatus RunDisableAuth(CommandContext &context)
{
    return RunConfirmed(
        context, [](const Confirmation &confirmation, ModuleSession &session, const QString &path) {
            CCmdEngine &engine = *session.Engine();
            const NetworkRules::Notice notice
                = NetworkRules::DisableAuthentication(engine, engine.GetBoardID(),
                    [&confirmation, &path](const QString &title, const QString &q) {
                        return confirmation.Ask(path + QStringLiteral(": ") + title, q);
                    });
            if (notice.isEmpty())
                return Confirmation::Declined(path);
            ModuleOutcome outcome;
            const QString text = QString(notice.text).replace(QLatin1Char('\n'), QLatin1Char(' '));
            if (notice.warning) {
                outcome.status = ExitStatus::ModuleRefused;
                outcome.message = path + QStringLiteral(": ") + text;
                return outcome;
            }
            outcome.summary = text;
            outcome.result.insert(QStringLiteral("authentication"), false);
            return outcome;
        });
}

ExitStatus RunFactoryReset(CommandContext &context)
{
    return RunConfirmed(
        context, [](const Confirmation &confirmation, ModuleSession &session, const QString &path) {
            if (!confirmation.Ask(
                    path + QStringLiteral(": ") + ModuleMaintenance::FactoryResetTitle(),
                    ModuleMaintenance::FactoryResetText()))
                return Confirmation::Declined(path);
            if (const eResult_t rc = ModuleMaintenance::FactoryReset(session); rc != eResultOK)
                return RequestFailed(path, CtlTr("the factory reset was refused"), rc);
            ModuleOutcome outcome;
            outcome.summary = CtlTr("settings reset to the factory defaults");
            return outcome;
        });
}

ExitStatus RunReleaseLock(CommandContext &context)
{
    return RunConfirmed(
        context, [](const Confirmation &confirmation, ModuleSession &session, const QString &path) {
            CCmdEngine &engine = *session.Engine();
            ModuleOutcome outcome;
            uint32_t lock = 0;
            if (const eResult_t rc = engine.GetUpdateLock(lock); rc != eResultOK)
                return RequestFailed(path, CtlTr("the update lock could not be read"), rc);
            if (lock == 0) {
                outcome.summary = CtlTr("the update lock is not set; nothing was written");
                outcome.result.insert(QStringLiteral("released"), false);
                return outcome;
            }
            if (!confirmation.Ask(
                    path + QStringLiteral(": ") + ModuleMaintenance::ReleaseLockTitle(),
                    ModuleMaintenance::ReleaseLockText(
                        SessionRules::ModelDisplayName(engine.GetBoardID()))))
                return Confirmation::Declined(path);
            if (const eResult_t rc = ModuleMaintenance::ReleaseUpdateLock(engine); rc != eResultOK)
                return RequestFailed(path, CtlTr("the update lock was not released"), rc);
            outcome.summary = ModuleMaintenance::ReleaseLockResultText(eResultOK);
            outcome.result.insert(QStringLiteral("released"), true);
            return outcome;
        });
}
