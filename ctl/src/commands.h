#pragma once

#include "exit_status.h"
#include "module_choice.h"

#include <QCommandLineParser>
#include <QList>

class CtlOutput;

// What a command gets from the command line.
struct CommandContext
{
    const QCommandLineParser &parser; // for the command's own options
    const CtlOutput &out;
    ChoiceOptions choice;
    bool endsOnSignal = false; // set by a command that runs until interrupted
    QStringList args; // the words after the command's name
    bool yes = false; // --yes: confirmations are given
};

// Which commands take an option.
enum CommandOption : unsigned
{
    kEveryCommand = 0,
    kTakesChoice = 1u << 0, // --port, --serial, --all
    kTakesWatch = 1u << 1, // --watch
    kTakesYes = 1u << 2, // --yes
};

// One option of the command line. A command's own option is one more row.
struct OptionRow
{
    const char *name;
    const char *shortName; // or nullptr
    const char *valueName; // nullptr for a switch
    const char *help; // translatable, context "trivoctl"
    unsigned group; // CommandOption bit of the commands that take it
};

const QList<OptionRow> &OptionTable();

// One command of the tool. A command that changes a module is one more row.
struct CommandRow
{
    const char *name;
    const char *synopsis; // translatable, context "trivoctl"
    const char *summary; // translatable
    const char *example;
    unsigned options; // CommandOption bits
    ExitStatus (*run)(CommandContext &context);
    int minArgs = 0; // words the command takes after its name
    int maxArgs = 0;
};

const QList<CommandRow> &CommandTable();

ExitStatus RunList(CommandContext &context);
ExitStatus RunModels(CommandContext &context);
ExitStatus RunInfo(CommandContext &context);
ExitStatus RunSetName(CommandContext &context);
ExitStatus RunUPnP(CommandContext &context);
ExitStatus RunDisableAuth(CommandContext &context);
ExitStatus RunFactoryReset(CommandContext &context);
ExitStatus RunReleaseLock(CommandContext &context);
ExitStatus RunSetNetwork(CommandContext &context);
ExitStatus RunDhcp(CommandContext &context);
ExitStatus RunUpdate(CommandContext &context);
ExitStatus RunApply(CommandContext &context);
