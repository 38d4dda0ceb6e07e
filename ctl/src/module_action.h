#pragma once

#include "exit_status.h"
#include "module_session.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CtlOutput;
struct ModelRow;

// What a command came to on one module.
struct ModuleOutcome
{
    ExitStatus status = ExitStatus::Ok;
    QString message; // why it failed (standard error and the JSON "message")
    QString summary; // what was done (human output)
    QJsonObject result; // members of the module's JSON object
    bool skipped = false; // its model cannot do what was asked, and --all chose it
};

// Opens the port and connects the module on it; a failure outcome says why (a port the
// user may not open or another program holds, no module, a module of unknown kind).
ModuleOutcome ConnectModule(ModuleSession &session, const QString &path);
// The same for a connection attempt already made (ok gives an Ok outcome).
ModuleOutcome ConnectOutcomeOf(
    ModuleSession &session, const QString &path, const ModuleSession::ConnectOutcome &connected);

// What a model forbids of a command: the reason ("the ROUTER 16x16 has no media
// interface"), or empty when the model can do it.
using ModelCheck = std::function<QString(const ModelRow &model)>;
// Checks the connected module's model: Ok when it passes; otherwise skipped when skip (every
// module was chosen with --all) and refused when the user chose this module.
ModuleOutcome CheckModel(
    ModuleSession &session, const QString &path, bool skip, const ModelCheck &check);

// The failure of an engine request, named by what was asked.
ModuleOutcome RequestFailed(const QString &path, const QString &what, int result);

using ModuleAction = std::function<ModuleOutcome(ModuleSession &session, const QString &path)>;

// Connects every module at once (one thread and port each), runs the action on each
// connected one and reports per module: "PORT: summary" lines, or with --json the document
// {"status", "modules": [{"port", "status", "message"?, ...result}]}. Skipped modules are
// said on standard error and count for nothing; when all were skipped, none was found.
ExitStatus RunOnModules(const CtlOutput &out, const QStringList &paths, const ModuleAction &action);
// The report part of RunOnModules, for outcomes in the order of paths.
ExitStatus ReportOutcomes(
    const CtlOutput &out, const QStringList &paths, const std::vector<ModuleOutcome> &outcomes);
