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

// The commands that take options of a group, as "info, ...".
QString commandsTaking(unsigned group)
{
    QStringList names;
    for (const CommandRow &row : CommandTable()) {
        if (row.options & group)
            names << QLatin1String(row.name);
    }
    return names.join(QStringLiteral(", "));
}

// The help entry of an option.
QString optionHelp(const OptionRow &row)
{
    QString term = QStringLiteral("--") + QLatin1String(row.name);
    if (row.shortName)
        term = QStringLiteral("-") + QLatin1String(row.shortName) + QStringLiteral(", ") + term;
    if (row.valueName)
        term += QLatin1Char(' ') + QLatin1String(row.valueName);
    QString help = CtlTr(row.help);
    if (row.group != kEveryCommand && row.group != kTakesChoice)
        help += QStringLiteral(" (%1)").arg(commandsTaking(row.group));
    return helpEntry(term, help);
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
    text += CtlTr("\nChoosing modules (%1):\n").arg(commandsTaking(kTakesChoice));
    for (const OptionRow &row : OptionTable()) {
        if (row.group == kTakesChoice)
            text += optionHelp(row);
    }
    text += CtlTr("  Without a choice, the one module found is used; several are refused\n"
                  "  and listed.\n");
    text += CtlTr("\nOptions:\n");
    for (const OptionRow &row : OptionTable()) {
        if (row.group != kTakesChoice)
            text += optionHelp(row);
    }
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
    command = &*found;
    context.args = words.mid(1);
    if (context.args.size() > command->maxArgs)
        return usageError(
            out, CtlTr("Unexpected argument '%1'.").arg(words.at(command->maxArgs + 1)));
    if (context.args.size() < command->minArgs)
        return usageError(out,
            CtlTr("'%1' needs more arguments: %2").arg(words.first(), CtlTr(command->synopsis)));

    for (const OptionRow &row : OptionTable()) {
        if (row.group != kEveryCommand && !(command->options & row.group)
            && parser.isSet(QLatin1String(row.name)))
            return usageError(
                out, CtlTr("'%1' does not take --%2.").arg(words.first(), QLatin1String(row.name)));
    }
    ChoiceOptions &choice = context.choice;
    choice.ports = parser.values(QStringLiteral("port"));
    choice.serials = parser.values(QStringLiteral("serial"));
    choice.all = parser.isSet(QStringLiteral("all"));
    context.yes = parser.isSet(QStringLiteral("yes"));
    if (int(!choice.ports.isEmpty()) + int(!choice.serials.isEmpty()) + int(choice.all) > 1)
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
    for (const OptionRow &row : OptionTable()) {
        QStringList names { QLatin1String(row.name) };
        if (row.shortName)
            names.prepend(QLatin1String(row.shortName));
        parser.addOption({ names, QString(), QLatin1String(row.valueName) });
    }
    const bool parsed = parser.parse(arguments);
    const CtlOutput out(arguments.contains(QStringLiteral("--json")));
    if (!parsed)
        return usageError(out, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out.line(helpText().chopped(1));
        return ExitStatus::Ok;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out.line(QStringLiteral("trivoctl ") + LinuxAppIF().GetAppVersion());
        return ExitStatus::Ok;
    }

    const CommandRow *command = nullptr;
    CommandContext context { parser, out, {}, false, {}, false };
    const ExitStatus status = readCommand(parser, out, command, context);
    if (status != ExitStatus::Ok)
        return status;
    if (parser.isSet(QStringLiteral("verbose")))
        QLoggingCategory::setFilterRules(
            QStringLiteral("trivo.protocol.debug=true\ntrivo.engine.debug=true"));
    const ExitStatus result = command->run(context);
    return StopSignals::Requested() && !context.endsOnSignal ? ExitStatus::Interrupted : result;
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
