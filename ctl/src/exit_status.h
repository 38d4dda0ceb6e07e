#pragma once

#include <QList>
#include <QString>

// Every exit status of trivoctl. 0 only when every selected module really succeeded.
enum class ExitStatus : int
{
    Ok = 0,
    Usage = 2,
    NoModule = 3,
    SeveralModules = 4,
    PermissionDenied = 5,
    PortBusy = 6,
    ModuleRefused = 7,
    Validation = 8,
    UpdateFailed = 9,
    Partial = 10,
    Interrupted = 130,
};

struct ExitStatusRow
{
    ExitStatus status;
    const char *key; // the status as JSON output names it
    const char *meaning; // translatable, context "trivoctl"
};

// The one table, in the order --help and the README show it.
const QList<ExitStatusRow> &ExitStatusTable();
QString ExitStatusKey(ExitStatus status);

// The status of a command over several modules (in port order): Ok when every one
// succeeded, Partial when some did, else the first failure. Empty gives NoModule.
ExitStatus CombineStatuses(const QList<ExitStatus> &perModule);
