#include "trivoctl.h"

#include "commands.h"
#include "ctl_output.h"
#include "ctl_stop.h"
#include "linux_app_if.h"
#include "port_enumeration.h"
#include "session_worker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

namespace {

// Test-only: shrinks the probe deadline and settle waits (a factor such as 0.01).
constexpr char kTimeScaleEnvVar[] = "TRIVO_TEST_TIME_SCALE";
constexpr int kHelpWidth = 80;
constexpr int kHelpIndent = 26;

const QString kJson = QStringLiteral("json");
const QString kVerbose = QStringLiteral("verbose");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kPort = QStringLiteral("port");
const QString kSerial = QStringLiteral("serial");
const QString kAll = QStringLiteral("all");
const QString kWatch = QStringLiteral("watch");

// One help entry: the term, then its text wrapped beside it.
QString helpEntry(const QString &term, const QString &text)
{
    QString out = QStringLiteral("  ") + term;
    int column = int(out.size());
    if (column + 1 >= kHelpIndent) {
        out += QLatin1Char('\n');
        column = 0;
    }
    out += QString(kHelpIndent - column, QLatin1Char(' '));
    column = kHelpIndent;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (column > kHelpIndent && column + 1 + word.size() > kHelpWidth) {
            out += QLatin1Char('\n') + QString(kHelpIndent, QLatin1Char(' '));
            column = kHelpIndent;
        } else if (column > kHelpIndent) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += int(word.size());
    }
    return out + QLatin1Char('\n');
}

QString helpText()
{
    QString text = CtlTr("Usage: trivoctl [--json] [--verbose] COMMAND [OPTIONS]\n\n"
                         "Finds Velto Trivo modules on the USB serial ports (and the extra "
                         "ports\nnamed in %1) and reads them, without a display.\n\n"
                         "Commands:\n")
                       .arg(QLatin1String(kExtraPortsEnvVar));
    for (const CommandRow &row : CommandTable()) {
        text += helpEntry(CtlTr(row.synopsis), CtlTr(row.summary));
        text += QString(kHelpIndent, QLatin1Char(' ')) + CtlTr("Example: ")
            + QLatin1String(row.example) + QLatin1Char('\n');
    }
    text += CtlTr("\nChoosing modules (info):\n");
    text += helpEntry(QStringLiteral("--port PATH"),
        CtlTr("the module on this port, without probing the others (repeatable)"));
    text += helpEntry(QStringLiteral("--serial SN"),
        CtlTr("the module with this serial number, found by probing (repeatable)"));
    text += helpEntry(QStringLiteral("--all"), CtlTr("every module found, worked on at once"));
    text += CtlTr("  Without a choice, the one module found is used; several are refused\n"
                  "  and listed.\n");
    text += CtlTr("\nOptions:\n");
    text += helpEntry(QStringLiteral("--json"),
        CtlTr("pure JSON on standard output: one document, or one line per event with "
              "--watch; messages and logs go to standard error"));
    text += helpEntry(
        QStringLiteral("--verbose"), CtlTr("protocol and engine diagnostics on standard error"));
    text += helpEntry(QStringLiteral("--version"), CtlTr("the program's version"));
    text += helpEntry(QStringLiteral("-h, --help"), CtlTr("this text"));
    text += CtlTr("\nExit status:\n");
    for (const ExitStatusRow &row : ExitStatusTable())
        text += helpEntry(
            QStringLiteral("%1 %2").arg(int(row.status), 3).arg(QLatin1String(row.key)),
            CtlTr(row.meaning));
    return text;
}

ExitStatus usageError(const CtlOutput &out, const QString &message)
{
    return Refuse(
        out, ExitStatus::Usage, message + QLatin1Char('\n') + CtlTr("Try 'trivoctl --help'."));
}

// The command's row and context from the parsed line, or a usage error.
ExitStatus readCommand(const QCommandLineParser &parser, const CtlOutput &out,
    const CommandRow *&command, CommandContext &context)
{
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return usageError(out, CtlTr("No command given."));
    const QList<CommandRow> &table = CommandTable();
    const auto found = std::find_if(table.cbegin(), table.cend(),
        [&words](const CommandRow &row) { return words.first() == QLatin1String(row.name); });
    if (found == table.cend())
        return usageError(out, CtlTr("Unknown command '%1'.").arg(words.first()));
    if (words.size() > 1)
        return usageError(out, CtlTr("Unexpected argument '%1'.").arg(words.at(1)));
    command = &*found;

    ChoiceOptions &choice = context.choice;
    choice.ports = parser.values(kPort);
    choice.serials = parser.values(kSerial);
    choice.all = parser.isSet(kAll);
    context.watch = parser.isSet(kWatch);
    const int kinds
        = int(!choice.ports.isEmpty()) + int(!choice.serials.isEmpty()) + int(choice.all);
    if (kinds > 0 && !(command->options & kTakesChoice))
        return usageError(
            out, CtlTr("'%1' does not take --port, --serial or --all.").arg(words.first()));
    if (context.watch && !(command->options & kTakesWatch))
        return usageError(out, CtlTr("'%1' does not take --watch.").arg(words.first()));
    if (kinds > 1)
        return usageError(out, CtlTr("Choose modules with only one of --port, --serial or --all."));
    for (const QString &port : qAsConst(choice.ports)) {
        if (!QFileInfo::exists(port))
            return usageError(out, CtlTr("No such port: %1").arg(port));
    }
    return ExitStatus::Ok;
}

ExitStatus run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({
        { kJson, QString() },
        { kVerbose, QString() },
        { { QStringLiteral("h"), kHelp }, QString() },
        { kVersion, QString() },
        { kPort, QString(), QStringLiteral("PATH") },
        { kSerial, QString(), QStringLiteral("SN") },
        { kAll, QString() },
        { kWatch, QString() },
    });
    const bool parsed = parser.parse(arguments);
    const CtlOutput out(arguments.contains(QStringLiteral("--json")));
    if (!parsed)
        return usageError(out, parser.errorText());
    if (parser.isSet(kHelp)) {
        out.line(helpText().chopped(1));
        return ExitStatus::Ok;
    }
    if (parser.isSet(kVersion)) {
        out.line(QStringLiteral("trivoctl ") + LinuxAppIF().GetAppVersion());
        return ExitStatus::Ok;
    }

    const CommandRow *command = nullptr;
    CommandContext context { out, {}, false };
    const ExitStatus status = readCommand(parser, out, command, context);
    if (status != ExitStatus::Ok)
        return status;
    if (parser.isSet(kVerbose))
        QLoggingCategory::setFilterRules(
            QStringLiteral("trivo.protocol.debug=true\ntrivo.engine.debug=true"));
    const ExitStatus result = command->run(context);
    return StopSignals::Requested() && !context.watch ? ExitStatus::Interrupted : result;
}

} // namespace

int TrivoctlMain(int argc, char **argv)
{
    StopSignals::Block();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trivoctl"));
    bool scaled = false;
    const double scale = qEnvironmentVariable(kTimeScaleEnvVar).toDouble(&scaled);
    if (scaled && scale > 0)
        SessionWorker::setTimeScaleForTesting(scale);
    StopSignals stop;
    return int(run(QCoreApplication::arguments()));
}
