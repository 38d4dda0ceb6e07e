#pragma once

#include "exit_status.h"
#include "fleet.h"

#include <QJsonObject>
#include <QStringList>

class CtlOutput;

// --port PATH (repeatable), --serial SN (repeatable) or --all; at most one kind.
struct ChoiceOptions
{
    QStringList ports;
    QStringList serials;
    bool all = false;
};

// What the user chose, or why nothing could be chosen (already reported).
struct Choice
{
    ExitStatus status = ExitStatus::Ok;
    QStringList paths;
};

// The modules a command works on. --port takes the paths as given; otherwise the candidate
// ports are probed: --serial picks by serial number, --all takes every module, and without
// a choice exactly one module found is used while several are refused and listed.
Choice ChooseModules(const ChoiceOptions &options, const CtlOutput &out);

// A module as list shows it: a JSON object, or the cells of a table row.
QJsonObject ModuleJson(const FoundModule &module);
QStringList ModuleHeader();
QStringList ModuleRow(const FoundModule &module);

// A problem port in JSON, and said on standard error.
QJsonObject ProblemJson(const PortProblem &problem);
void ReportProblems(const QList<PortProblem> &problems, const CtlOutput &out);

// A command refused before any module was worked on: the message on standard error and,
// with --json, the document {"status": ..., "message": ...} plus extra members.
ExitStatus Refuse(const CtlOutput &out, ExitStatus status, const QString &message,
    const QJsonObject &extra = QJsonObject());
