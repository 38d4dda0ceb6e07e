#include "ctl_confirm.h"

#include "commands.h"
#include "ctl_output.h"
#include "module_choice.h"

#include <QMutex>
#include <QMutexLocker>
#include <cstdio>
#include <unistd.h>

namespace {
QMutex gAskMutex;
constexpr int kAnswerMax = 64;
} // namespace

Confirmation::Confirmation(const CommandContext &context)
    : mContext(context)
    , mInteractive(!context.out.isJson() && ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO))
{ }

QString Confirmation::RefusedText()
{
    return CtlTr("This command needs a confirmation: add --yes (there is no terminal to ask on).");
}

QString Confirmation::DeclinedText()
{
    return CtlTr("Not confirmed; nothing was changed.");
}

ModuleOutcome Confirmation::Declined(const QString &path)
{
    return { ExitStatus::Usage, path + QStringLiteral(": ") + DeclinedText(), {}, {} };
}

ExitStatus RunConfirmed(CommandContext &context, const ConfirmedAction &action)
{
    const Confirmation confirmation(context);
    const Choice choice = confirmation.CheckAndChoose();
    if (choice.status != ExitStatus::Ok)
        return choice.status;
    return RunOnModules(
        context.out, choice.paths, [&](ModuleSession &session, const QString &path) {
            return action(confirmation, session, path);
        });
}

ExitStatus Confirmation::Check() const
{
    if (mContext.yes || mInteractive)
        return ExitStatus::Ok;
    return Refuse(mContext.out, ExitStatus::Usage, RefusedText());
}

Choice Confirmation::CheckAndChoose() const
{
    if (const ExitStatus refused = Check(); refused != ExitStatus::Ok)
        return { refused, {} };
    return ChooseModules(mContext.choice, mContext.out);
}

bool Confirmation::Ask(const QString &title, const QString &question) const
{
    if (mContext.yes)
        return true;
    if (!mInteractive)
        return false;
    QMutexLocker locker(&gAskMutex);
    const QByteArray text
        = (title + QStringLiteral("\n") + question + QStringLiteral(" ") + CtlTr("[y/N] "))
              .toUtf8();
    CtlWrite(stderr, text);
    char answer[kAnswerMax] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    const QString word = QString::fromLocal8Bit(answer).trimmed().toLower();
    return word == QLatin1String("y") || word == QLatin1String("yes")
        || word == CtlTr("y").toLower() || word == CtlTr("yes").toLower();
}
