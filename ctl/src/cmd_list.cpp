// list: the modules on the candidate ports, once or (--watch) as they come and go.
#include "commands.h"
#include "ctl_output.h"
#include "ctl_stop.h"
#include "discover_thread.h"
#include "linux_app_if.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QTimer>

namespace {

QString moduleKey(const FoundModule &module)
{
    return module.path + QLatin1Char('\n') + module.identity.serial + QLatin1Char('\n')
        + module.identity.productId;
}

// Keeps the modules present and prints each arrival and removal. A device notice first
// reports modules whose port vanished, then rescans once the devices have settled (a USB
// port appears a moment after its device).
class ListWatch : public QObject
{
public:
    explicit ListWatch(const CtlOutput &out)
        : mOut(out)
        , mAppIF(new LinuxAppIF(this))
        , mSettle(new QTimer(this))
    {
        mSettle->setSingleShot(true);
        connect(mSettle, &QTimer::timeout, this, &ListWatch::rescan);
        connect(mAppIF, &CAppIF::DeviceAddedSignal, this, &ListWatch::noticed);
        connect(mAppIF, &CAppIF::DeviceRemovedSignal, this, &ListWatch::noticed);
        mAppIF->WatchDevices();
    }

    void rescan()
    {
        const PortScan scan = ScanPorts(CandidatePorts());
        if (StopSignals::Requested())
            return; // an interrupted scan would read as removals
        QHash<QString, FoundModule> now;
        for (const FoundModule &module : scan.modules)
            now.insert(moduleKey(module), module);
        const QList<QString> knownKeys = mKnown.keys();
        for (const QString &key : knownKeys) {
            if (!now.contains(key))
                removed(key);
        }
        for (const FoundModule &module : scan.modules) {
            if (!mKnown.contains(moduleKey(module))) {
                event(QStringLiteral("added"), CtlTr("added"), module);
                mKnown.insert(moduleKey(module), module);
            }
        }
        QSet<QString> problemPaths;
        for (const PortProblem &problem : scan.problems) {
            problemPaths.insert(problem.path);
            if (mProblemPaths.contains(problem.path))
                continue;
            mOut.message(problem.message);
            if (mOut.isJson()) {
                QJsonObject line = ProblemJson(problem);
                line.insert(QStringLiteral("event"), QStringLiteral("problem"));
                mOut.document(line, true);
            }
        }
        mProblemPaths = problemPaths;
    }

private:
    void noticed()
    {
        const QList<QString> knownKeys = mKnown.keys();
        for (const QString &key : knownKeys) {
            if (!QFileInfo::exists(mKnown.value(key).path))
                removed(key);
        }
        if (!mSettle->isActive())
            mSettle->start(SessionWorker::Scaled(DiscoverThread::kSettleMs));
    }

    void removed(const QString &key)
    {
        event(QStringLiteral("removed"), CtlTr("removed"), mKnown.take(key));
    }

    void event(const QString &name, const QString &label, const FoundModule &module)
    {
        if (mOut.isJson()) {
            QJsonObject line = ModuleJson(module);
            line.insert(QStringLiteral("event"), name);
            mOut.document(line, true);
        } else {
            mOut.line((QStringList { label } + ModuleRow(module)).join(QStringLiteral("  ")));
        }
    }

    const CtlOutput &mOut;
    LinuxAppIF *mAppIF;
    QTimer *mSettle;
    QHash<QString, FoundModule> mKnown;
    QSet<QString> mProblemPaths;
};

ExitStatus watchList(const CtlOutput &out)
{
    ListWatch watch(out);
    watch.rescan();
    if (!StopSignals::Requested())
        QCoreApplication::exec();
    return ExitStatus::Ok; // the watch runs until the user stops it
}

} // namespace

ExitStatus RunList(CommandContext &context)
{
    const CtlOutput &out = context.out;
    if (context.parser.isSet(QStringLiteral("watch"))) {
        context.endsOnSignal = true;
        return watchList(out);
    }

    const PortScan scan = ScanPorts(CandidatePorts());
    ReportProblems(scan.problems, out);
    QList<ExitStatus> statuses;
    QJsonArray modules;
    QJsonArray problems;
    QList<QStringList> rows { ModuleHeader() };
    for (const PortProblem &problem : scan.problems) {
        // A port with no answer beside modules listed is reported, but fails nothing.
        if (problem.status != ExitStatus::NoModule || scan.modules.isEmpty())
            statuses << problem.status;
        problems << ProblemJson(problem);
    }
    for (const FoundModule &module : scan.modules) {
        statuses << ExitStatus::Ok;
        modules << ModuleJson(module);
        rows << ModuleRow(module);
    }
    const ExitStatus status = CombineStatuses(statuses);
    if (out.isJson()) {
        out.document({ { QStringLiteral("status"), ExitStatusKey(status) },
            { QStringLiteral("modules"), modules }, { QStringLiteral("problems"), problems } });
    } else if (!scan.modules.isEmpty()) {
        out.table(rows);
    } else if (scan.problems.isEmpty()) {
        out.message(CtlTr("No module found."));
    }
    return status;
}
