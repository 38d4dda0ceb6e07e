#include "commands.h"

#include <QCoreApplication>

const QList<CommandRow> &CommandTable()
{
    static const QList<CommandRow> table = {
        { "list", QT_TRANSLATE_NOOP("trivoctl", "list [--watch]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "probe the candidate ports at once and print port, system name, serial number, "
                "product ID and model of every module"),
            "trivoctl list --json", kTakesWatch, &RunList },
        { "info", QT_TRANSLATE_NOOP("trivoctl", "info [--port PATH | --serial SN | --all]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "identity, versions, safeboot mode, authentication and, per interface, mode, "
                "addresses in force, static set, MAC address, link and speed"),
            "trivoctl info --serial 1VM000007", kTakesChoice, &RunInfo },
    };
    return table;
}

const QList<OptionRow> &OptionTable()
{
    static const QList<OptionRow> table = {
        { "port", nullptr, "PATH",
            QT_TRANSLATE_NOOP(
                "trivoctl", "the module on this port, without probing the others (repeatable)"),
            kTakesChoice },
        { "serial", nullptr, "SN",
            QT_TRANSLATE_NOOP(
                "trivoctl", "the module with this serial number, found by probing (repeatable)"),
            kTakesChoice },
        { "all", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl", "every module found, worked on at once"), kTakesChoice },
        { "watch", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl", "keep printing arrivals and removals until interrupted"),
            kTakesWatch },
        { "json", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl",
                "pure JSON on standard output: one document, or one line per event with "
                "--watch; messages and logs go to standard error"),
            kEveryCommand },
        { "verbose", nullptr, nullptr,
            QT_TRANSLATE_NOOP("trivoctl", "protocol and engine diagnostics on standard error"),
            kEveryCommand },
        { "version", nullptr, nullptr, QT_TRANSLATE_NOOP("trivoctl", "the program's version"),
            kEveryCommand },
        { "help", "h", nullptr, QT_TRANSLATE_NOOP("trivoctl", "this text"), kEveryCommand },
    };
    return table;
}
