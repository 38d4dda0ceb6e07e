#include "commands.h"

#include <QCoreApplication>

const QList<CommandRow> &CommandTable()
{
    static const QList<CommandRow> table = {
        { "list", QT_TRANSLATE_NOOP("trivoctl", "list [--watch]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "probe the candidate ports at once and print port, system name, serial number, "
                "product ID and model of every module; --watch keeps printing arrivals and "
                "removals until interrupted"),
            "trivoctl list --json", kTakesWatch, &RunList },
        { "info", QT_TRANSLATE_NOOP("trivoctl", "info [--port PATH | --serial SN | --all]"),
            QT_TRANSLATE_NOOP("trivoctl",
                "identity, versions, safeboot mode, authentication and, per interface, mode, "
                "addresses in force, static set, MAC address, link and speed"),
            "trivoctl info --serial 1VM000007", kTakesChoice, &RunInfo },
    };
    return table;
}
