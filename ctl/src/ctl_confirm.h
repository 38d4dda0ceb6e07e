#pragma once

#include "exit_status.h"
#include "module_action.h"
#include "module_choice.h"

#include <QString>
#include <functional>

struct CommandContext;

// The confirmations of the commands that change a module. --yes gives them all; without it
// a person at a terminal is asked, and with no terminal (or with --json, which never asks)
// the command is refused before anything is sent.
class Confirmation
{
public:
    explicit Confirmation(const CommandContext &context);

    // The modules chosen on the command line, once the command may go on to ask: nothing is
    // probed for a command that would be refused. The status is the first refusal, already
    // reported.
    Choice CheckAndChoose() const;
    // The answer to one question; safe to call from several modules' threads at once (the
    // questions come one after the other).
    bool Ask(const QString &title, const QString &question) const;

    static QString RefusedText();
    static QString DeclinedText();
    // A module whose question was not answered yes: nothing was changed on it.
    static ModuleOutcome Declined(const QString &path);

private:
    // Ok when the command may go on to ask; otherwise the refusal, already reported.
    ExitStatus Check() const;

    const CommandContext &mContext;
    bool mInteractive;
};

// A command that needs a confirmation: the modules chosen once it may ask (a refusal is
// already reported), then action on each of them, reported per module.
using ConfirmedAction
    = std::function<ModuleOutcome(const Confirmation &, ModuleSession &, const QString &)>;
ExitStatus RunConfirmed(CommandContext &context, const ConfirmedAction &action);
