// The session's discovery worker against virtual modules: the three lists, silent ports,
// ports the user may not open, and stopping a run (no modules at all: tst_main_window).
#include "cmd_engine.h"
#include "discover_thread.h"
#include "linux_app_if.h"
#include "log_capture.h"
#include "module_rack.h"
#include "module_session.h"
#include "posix_serial_if.h"
#include "pty_pair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QtTest>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kRunTimeoutMs = 30000;
}

class TstDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QIntList>("QIntList");
        QLoggingCategory::setFilterRules(QStringLiteral("trivo.*.debug=true"));
        DiscoverThread::setTimeScaleForTesting(0.01);
    }

    void init() { mAppIF = std::make_unique<LinuxAppIF>(nullptr); }

    void cleanup()
    {
        mSession.reset();
        mAppIF.reset();
    }

    void modulesFoundAroundSilentPort()
    {
        ModuleRack rack;
        VirtualModule *a = rack.add("a", "RECORDER-PLUS", "Studio A", "AB12");
        VirtualModule *b = rack.add("b", "DECODER10G2", "", "CD34");
        PtyPair silent;
        QVERIFY(silent.isValid());
        LogCapture log;
        const Run run = discover({ a->linkPath(), silent.path(), b->linkPath() });
        QVERIFY(run.finished);

        QCOMPARE(run.lists.size(), 1);
        const QVariantList &args = run.lists.first();
        QCOMPARE(
            args[0].toStringList(), (QStringList { "Studio A - AB12", "Unknown Device - CD34" }));
        QCOMPARE(args[1].value<QIntList>(), (QIntList { 0, 2 }));
        QCOMPARE(args[2].toStringList(), (QStringList { "AB12", "CD34" }));
        QCOMPARE(run.status.first(), QString("Looking for Velto devices..."));
        QCOMPARE(run.status.last(), QString("Found 2 Velto Trivo devices."));
        QVERIFY(log.contains("Serial port 1 is not a module."));
        QVERIFY(log.contains("Serial port 2 IS a module."));
        // Nothing is left open for the window.
        QVERIFY(!mSession->Engine()->GetSerialIF()->IsOpen());
    }

    // A USB arrival is announced before its serial port exists: a run started by the notice
    // still finds a module whose port appears a second later.
    void portAppearingAfterNoticeIsFound()
    {
        DiscoverThread::setTimeScaleForTesting(0.5); // a settle of 1.5 s
        ModuleRack rack;
        std::thread plugLater([&rack] {
            QThread::msleep(1000);
            rack.add("late", "RECORDER", "Late", "LT9");
        });
        const Run run = discover({}, rack.dir());
        plugLater.join();
        DiscoverThread::setTimeScaleForTesting(0.01);
        QVERIFY(run.finished);
        QCOMPARE(run.lists.first()[2].toStringList(), QStringList { "LT9" });
    }

    void permissionDeniedIsReported()
    {
        if (::geteuid() == 0) {
            // Root opens every file: run this case again as an unprivileged user.
            QProcess child;
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start("setpriv",
                { "--reuid=65534", "--regid=65534", "--clear-groups",
                    QCoreApplication::applicationFilePath(), "permissionDeniedIsReported" });
            if (!child.waitForStarted(5000))
                QSKIP("cannot run as an unprivileged user here");
            QVERIFY(child.waitForFinished(kRunTimeoutMs));
            const QByteArray output = child.readAll();
            QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : TstDiscovery::permission"),
                output.constData());
            return;
        }
        QTemporaryDir dir;
        const QString locked = dir.filePath("ttyLocked");
        QFile file(locked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::Permissions()));
        const Run run = discover({ locked });
        QVERIFY(run.finished);
        const QString last = run.status.last();
        QVERIFY2(last.startsWith("No Velto Trivo devices found.") && last.contains(locked)
                && last.contains("dialout") && last.contains("udev"),
            qPrintable(last));
    }

    void abortEndsProbePromptly()
    {
        PtyPair silent;
        QVERIFY(silent.isValid());
        makeSession({ silent.path() });
        DiscoverThread &worker = *mSession->Discovery();
        QSignalSpy lists(&worker, &DiscoverThread::PostDeviceAddedList);
        LogCapture log;
        QVERIFY(mSession->StartWorker(&worker, EngineUser::Discovery));
        QVERIFY(!mSession->StartWorker(&worker, EngineUser::Dhcp)); // one user at a time
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Checking to see if device 0 is a module"), 5000);
        QTest::qWait(300); // well inside the first probe's header hunt

        QElapsedTimer stopping;
        stopping.start();
        mSession->SetClosing();
        worker.SetAbort(true);
        QVERIFY(worker.wait(2500));
        QVERIFY2(stopping.elapsed() < 1500, qPrintable(QString::number(stopping.elapsed())));
        QCOMPARE(lists.count(), 0);
        QVERIFY(mSession->Holder().IsFree()); // given back as the worker ended
    }

private:
    struct Run
    {
        bool finished = false;
        QList<QVariantList> lists; // PostDeviceAddedList arguments
        QStringList status; // status messages in order
    };

    // The candidate ports: these, then whatever the link directory holds when listed.
    void makeSession(const QStringList &ports, const QString &linkDir = QString())
    {
        auto *serial = new CPosixSerialIF;
        serial->SetPortLister([ports, linkDir](QStringList &paths) {
            paths = ports;
            if (!linkDir.isEmpty()) {
                for (const QFileInfo &link : QDir(linkDir).entryInfoList(QDir::System))
                    paths << link.absoluteFilePath();
            }
            return true;
        });
        mSession = std::make_unique<ModuleSession>(serial, nullptr, mAppIF.get());
    }

    // One whole discovery run over these ports.
    Run discover(const QStringList &ports, const QString &linkDir = QString())
    {
        makeSession(ports, linkDir);
        DiscoverThread &worker = *mSession->Discovery();
        QSignalSpy lists(&worker, &DiscoverThread::PostDeviceAddedList);
        QSignalSpy status(&worker, &DiscoverThread::PostAppStatusMessage);
        worker.start();
        Run run;
        run.finished = worker.wait(kRunTimeoutMs);
        run.lists = lists;
        for (const QVariantList &args : status)
            run.status << args.first().toString();
        return run;
    }

    std::unique_ptr<LinuxAppIF> mAppIF;
    std::unique_ptr<ModuleSession> mSession;
};

QTEST_MAIN(TstDiscovery)
#include "tst_discovery.moc"
