// Prints how long `trivoctl list` takes over 16 virtual modules and one silent port, next
// to one silent-port probe alone and to one sequential pass of the discovery worker; and how
// long `trivoctl update --all` takes on 8 modules against the update of one.
#include "discover_thread.h"
#include "module_rack.h"
#include "module_session.h"
#include "port_enumeration.h"
#include "port_probe.h"
#include "posix_serial_if.h"
#include "pty_pair.h"
#include "test_data.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <cstdio>
#include <linux/close_range.h>
#include <unistd.h>

namespace {

constexpr int kModules = 16;
constexpr int kTargetSlackMs = 1000;
constexpr int kUpdateModules = 8;
constexpr int kPackageBytes = 4 * 1024 * 1024;
constexpr double kUpdateTargetFactor = 1.5;

ModuleSession *sessionOn(const QStringList &ports)
{
    auto *serial = new CPosixSerialIF;
    serial->SetPortLister([ports](QStringList &paths) {
        paths = ports;
        return true;
    });
    serial->EnumeratePorts();
    return new ModuleSession(serial, nullptr, nullptr);
}

qint64 silentProbeMs(const QString &path)
{
    std::unique_ptr<ModuleSession> session(sessionOn({ path }));
    const std::atomic<bool> never { false };
    int waited = 0;
    QElapsedTimer timer;
    timer.start();
    PortProbe::Probe(*session->Engine(), 0, never, waited, true);
    return timer.elapsed();
}

qint64 ctlListMs(int &found)
{
    QProcess ctl;
    QElapsedTimer timer;
    timer.start();
    ctl.start(QStringLiteral(TRIVOCTL_PATH), { "list", "--json" });
    ctl.waitForFinished(120000);
    const qint64 ms = timer.elapsed();
    found = int(QJsonDocument::fromJson(ctl.readAllStandardOutput())
                    .object()
                    .value("modules")
                    .toArray()
                    .size());
    return ms;
}

// One `trivoctl update` run over the modules in dir; counts the modules it updated.
qint64 ctlUpdateMs(const QString &dir, const QStringList &args, int &updated)
{
    QProcess ctl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kExtraPortsEnvVar), dir);
    ctl.setProcessEnvironment(env);
    // Holding a module's pseudo-terminal master, the tool would never see it reboot.
    ctl.setChildProcessModifier([] { ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); });
    QElapsedTimer timer;
    timer.start();
    ctl.start(QStringLiteral(TRIVOCTL_PATH), QStringList { "update", "--yes", "--json" } + args);
    ctl.waitForFinished(600000);
    const qint64 ms = timer.elapsed();
    updated = 0;
    const QJsonArray modules
        = QJsonDocument::fromJson(ctl.readAllStandardOutput()).object().value("modules").toArray();
    for (const QJsonValue &m : modules) {
        const bool ok = m.toObject().value("status").toString() == QLatin1String("ok");
        updated += ok ? 1 : 0;
        if (!ok)
            std::printf("    %s\n", qPrintable(m.toObject().value("message").toString()));
    }
    return ms;
}

qint64 discoveryMs(const QStringList &ports, int &found)
{
    std::unique_ptr<ModuleSession> session(sessionOn(ports));
    DiscoverThread &worker = *session->Discovery();
    QObject::connect(
        &worker, &DiscoverThread::PostDeviceAddedList, &worker,
        [&found](QStringList names) { found = int(names.size()); }, Qt::DirectConnection);
    QElapsedTimer timer;
    timer.start();
    worker.start();
    worker.wait();
    return timer.elapsed();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("trivo.vmodule=false"));
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qRegisterMetaType<QIntList>("QIntList");
    ModuleRack rack;
    for (int i = 0; i < kModules; ++i)
        rack.add(QStringLiteral("m%1").arg(i, 2, 10, QLatin1Char('0')),
            i % 2 ? QStringLiteral("ROUTER-16X16") : QStringLiteral("DECODER10G2"),
            QStringLiteral("Rack %1").arg(i),
            QStringLiteral("1VM%1").arg(i, 6, 10, QLatin1Char('0')));
    PtyPair silent;
    qputenv(kExtraPortsEnvVar, (rack.dir() + QLatin1Char(':') + silent.path()).toLocal8Bit());
    QStringList ports;
    ListModulePorts(ports);

    std::printf("fleet: %d virtual modules and 1 silent port (%d candidate ports)\n", kModules,
        int(ports.size()));
    const qint64 silentMs = silentProbeMs(silent.path());
    std::printf(
        "  one silent-port probe:              %6lld ms\n", static_cast<long long>(silentMs));
    int listed = 0;
    const qint64 listMs = ctlListMs(listed);
    std::printf("  trivoctl list (parallel):           %6lld ms, %d modules\n",
        static_cast<long long>(listMs), listed);
    int discovered = 0;
    const qint64 passMs = discoveryMs(ports, discovered);
    std::printf(
        "  discovery worker (sequential):      %6lld ms, %d modules (%d ms of it the settle)\n",
        static_cast<long long>(passMs), discovered, DiscoverThread::kSettleMs);
    const bool met = listMs <= silentMs + kTargetSlackMs;
    std::printf("  target list <= silent probe + %d ms: %s (%+lld ms)\n", kTargetSlackMs,
        met ? "met" : "MISSED", static_cast<long long>(listMs - silentMs - kTargetSlackMs));

    // Updates with the module's own delays (verification, commit, reboot, return) as they
    // are by default, and a package of kPackageBytes.
    ModuleRack updateRack;
    for (int i = 0; i < kUpdateModules; ++i)
        updateRack.add(QStringLiteral("u%1").arg(i), QStringLiteral("DECODER10G2"),
            QStringLiteral("Update %1").arg(i),
            QStringLiteral("1VU%1").arg(i, 6, 10, QLatin1Char('0')));
    const QString package = updateRack.dir() + QStringLiteral("/fw.vlts");
    writeTestFile(package, testPayload(kPackageBytes, 5));
    std::printf(
        "update: %d virtual modules, %d KiB package\n", kUpdateModules, kPackageBytes / 1024);
    int one = 0;
    const qint64 oneMs = ctlUpdateMs(updateRack.dir(),
        { package, QStringLiteral("--port"), updateRack.dir() + QStringLiteral("/u0") }, one);
    std::printf("  trivoctl update, one module:        %6lld ms, %d updated\n",
        static_cast<long long>(oneMs), one);
    int all = 0;
    const qint64 allMs = ctlUpdateMs(updateRack.dir(), { package, QStringLiteral("--all") }, all);
    std::printf("  trivoctl update --all (parallel):   %6lld ms, %d updated (%.2f x one)\n",
        static_cast<long long>(allMs), all, double(allMs) / double(qMax<qint64>(1, oneMs)));
    const bool updateMet = double(allMs) <= kUpdateTargetFactor * double(oneMs);
    std::printf("  target %d modules <= %.1f x one: %s\n", kUpdateModules, kUpdateTargetFactor,
        updateMet ? "met" : "MISSED");
    return listed == kModules && discovered == kModules && one == 1 && all == kUpdateModules ? 0
                                                                                             : 1;
}
