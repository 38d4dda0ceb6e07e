#pragma once

#include "exit_status.h"
#include "module_choice.h"

#include <QList>

class CtlOutput;

// What a command gets from the command line.
struct CommandContext
{
    const CtlOutput &out;
    ChoiceOptions choice;
    bool watch = false;
};

// Options a command accepts besides --json, --verbose and --help.
enum CommandOption : unsigned
{
    kTakesChoice = 1u << 0, // --port, --serial, --all
    kTakesWatch = 1u << 1, // --watch
};

// One command of the tool. A command that changes a module is one more row.
struct CommandRow
{
    const char *name;
    const char *synopsis; // translatable, context "trivoctl"
    const char *summary; // translatable
    const char *example;
    unsigned options; // CommandOption bits
    ExitStatus (*run)(CommandContext &context);
};

const QList<CommandRow> &CommandTable();

ExitStatus RunList(CommandContext &context);
ExitStatus RunInfo(CommandContext &context);
