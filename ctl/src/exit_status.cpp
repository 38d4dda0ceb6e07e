#include "exit_status.h"

#include <QCoreApplication>

const QList<ExitStatusRow> &ExitStatusTable()
{
    static const QList<ExitStatusRow> table = {
        { ExitStatus::Ok, "ok", QT_TRANSLATE_NOOP("trivoctl", "every selected module succeeded") },
        { ExitStatus::Usage, "usage",
            QT_TRANSLATE_NOOP("trivoctl",
                "bad command line (unknown command or option, missing argument, no such port) or "
                "a confirmation not given; nothing was changed") },
        { ExitStatus::NoModule, "no-module",
            QT_TRANSLATE_NOOP("trivoctl", "no module found (or none answers on the port)") },
        { ExitStatus::SeveralModules, "several-modules",
            QT_TRANSLATE_NOOP("trivoctl",
                "several modules found and none chosen (use --port, --serial or --all)") },
        { ExitStatus::PermissionDenied, "permission-denied",
            QT_TRANSLATE_NOOP("trivoctl", "a port may not be opened by this user") },
        { ExitStatus::PortBusy, "port-busy",
            QT_TRANSLATE_NOOP("trivoctl", "a port is held by another program") },
        { ExitStatus::ModuleRefused, "module-refused",
            QT_TRANSLATE_NOOP("trivoctl", "the module refused or stopped answering a request") },
        { ExitStatus::Validation, "validation",
            QT_TRANSLATE_NOOP("trivoctl", "a value given is not valid; nothing was sent") },
        { ExitStatus::UpdateFailed, "update-failed",
            QT_TRANSLATE_NOOP("trivoctl", "the firmware update failed") },
        { ExitStatus::Partial, "partial",
            QT_TRANSLATE_NOOP("trivoctl", "some of several modules succeeded, others failed") },
        { ExitStatus::Interrupted, "interrupted",
            QT_TRANSLATE_NOOP("trivoctl",
                "stopped by SIGINT, SIGTERM, SIGHUP or SIGQUIT, or by an output that can no "
                "longer be written") },
    };
    return table;
}

QString ExitStatusKey(ExitStatus status)
{
    for (const ExitStatusRow &row : ExitStatusTable()) {
        if (row.status == status)
            return QString::fromLatin1(row.key);
    }
    return QString::number(int(status));
}

ExitStatus CombineStatuses(const QList<ExitStatus> &perModule)
{
    if (perModule.isEmpty())
        return ExitStatus::NoModule;
    const int succeeded = int(perModule.count(ExitStatus::Ok));
    if (succeeded == perModule.size())
        return ExitStatus::Ok;
    if (succeeded > 0)
        return ExitStatus::Partial;
    return perModule.first();
}
