// Each fault of the virtual module crossed with connect, status poll, static apply and DHCP:
// the operation ends within its bound, never claims what the module does not hold, and
// the same operation succeeds once the fault clears. Prints the matrix as a table.
#include "dhcp_thread.h"
#include "linux_app_if.h"
#include "module_rack.h"
#include "module_session.h"
#include "posix_serial_if.h"
#include "trivo_device.h"

#include <QElapsedTimer>
#include <QtTest>
#include <cstdio>
#include <map>
#include <memory>

Q_DECLARE_METATYPE(VmFaults)

namespace {
constexpr double kTimeScale = 0.02; // the 30 s DHCP watch takes 0.6 s

enum Op
{
    Connect,
    Poll,
    StaticApply,
    Dhcp,
    OpCount
};
const char *const kOpNames[OpCount] = { "connect", "poll", "static apply", "DHCP" };
// Longest an operation may take under any fault: connect negotiates up to three times,
// each read ends within one header hunt (2 s) and its phases.
const int kBoundMs[OpCount] = { 9000, 2600, 4500, 9000 };

std::map<QString, QString> &table() // "fault|op" -> cell text
{
    static std::map<QString, QString> cells;
    return cells;
}
QStringList &faultOrder()
{
    static QStringList rows;
    return rows;
}
} // namespace

class TstFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SessionWorker::setTimeScaleForTesting(kTimeScale); }

    void matrix_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("op");
        QTest::addColumn<VmFaults>("faults");
        QTest::addColumn<bool>("unplug"); // pulled right before the operation, back in 300 ms

        // As the virtual module's command line takes them.
        const std::pair<QString, QString> faults[] = { { "none", "" },
            { "noise", "fault-noise=40" }, { "bad CRC 1/3", "fault-bad-crc-every=3" },
            { "drop 1/4", "fault-drop-every=4" }, { "slow 60 ms", "fault-slow-ms=60" },
            { "NACK", "fault-nack=BUSY" }, { "silence", "fault-silence-after=0" },
            { "stall mid-frame", "fault-stall-after-bytes=10" }, { "unplug", "" } };
        for (const auto &[name, settings] : faults) {
            VmConfig config;
            QString error;
            QVERIFY2(settings.isEmpty() || vmParseModuleSettings(settings, config, &error),
                qPrintable(error));
            if (!faultOrder().contains(name))
                faultOrder() << name;
            for (int op = 0; op < OpCount; ++op)
                QTest::newRow(qPrintable(name + " / " + kOpNames[op]))
                    << name << op << config.faults << (name == "unplug");
        }
    }

    void matrix()
    {
        QFETCH(QString, fault);
        QFETCH(int, op);
        QFETCH(VmFaults, faults);
        QFETCH(bool, unplug);

        ModuleRack rack;
        VmConfig config;
        config.name = "m";
        config.productId = "DECODER10G2";
        config.sysName = "Matrix";
        config.dhcpDelayMs = 0;
        VirtualModule *module = rack.add(config);
        open(module);
        if (op != Connect)
            QVERIFY(mSession->Connect(0).ok());

        module->setFaults(faults);
        if (unplug)
            module->unplug(300);
        QElapsedTimer clock;
        clock.start();
        const bool ok = run(Op(op), module, QStringLiteral("10.1.2.3"));
        const qint64 ms = clock.elapsed();
        table()[fault + "|" + kOpNames[op]]
            = QStringLiteral("%1 %2 ms").arg(ok ? "ok" : "failed").arg(ms);
        QVERIFY2(ms < kBoundMs[op], qPrintable(QString::number(ms)));
        if (fault == "none")
            QVERIFY(ok);

        // The fault cleared (the unplugged module back and found again): the next attempt
        // succeeds, and an apply reported as done is what the module holds.
        module->setFaults(VmFaults());
        if (unplug || !mSession->IsConnected()) {
            QVERIFY(module->waitPlugged(true, 5000));
            mSession->Disconnect();
            open(module);
            QVERIFY(mSession->Connect(0).ok());
        }
        QString ip;
        if (op == StaticApply && ok) {
            QCOMPARE(mSession->Engine()->GetModuleIpAddress(CCmdEngine::eNetIfControl, ip, false),
                eResultOK);
            QCOMPARE(ip, QStringLiteral("10.1.2.3"));
        }
        if (op != Connect)
            QVERIFY(run(Op(op), module, QStringLiteral("10.1.2.4")));
        if (op == StaticApply) {
            mSession->Engine()->GetModuleIpAddress(CCmdEngine::eNetIfControl, ip, false);
            QCOMPARE(ip, QStringLiteral("10.1.2.4"));
        }
    }

    void cleanup()
    {
        mSession.reset();
        mAppIF.reset();
    }

    void cleanupTestCase()
    {
        std::printf("\n%-16s", "fault");
        for (const char *op : kOpNames)
            std::printf("| %-16s", op);
        std::printf("\n");
        for (const QString &fault : faultOrder()) {
            std::printf("%-16s", qPrintable(fault));
            for (const char *op : kOpNames)
                std::printf("| %-16s", qPrintable(table()[fault + "|" + op]));
            std::printf("\n");
        }
    }

private:
    void open(VirtualModule *module)
    {
        mSession.reset();
        mAppIF = std::make_unique<LinuxAppIF>(nullptr);
        auto *serial = new CPosixSerialIF;
        const QString path = module->linkPath();
        serial->SetPortLister([path](QStringList &paths) {
            paths = { path };
            return true;
        });
        mSession = std::make_unique<ModuleSession>(serial, nullptr, mAppIF.get());
        serial->EnumeratePorts();
    }

    // One attempt; true when the operation says it succeeded, checked against the module.
    bool run(Op op, VirtualModule *module, const QString &ip)
    {
        CCmdEngine *engine = mSession->Engine();
        switch (op) {
        case Connect: {
            const bool ok = mSession->Connect(0).ok();
            return ok && engine->IsConnected();
        }
        case Poll: {
            CTrivo device(engine, 2);
            StatusReadOptions options;
            const StatusReadResult read = device.ReadStatus(options);
            // A name read is the module's name, never something else.
            if (!device.mSystemName.isEmpty() && device.mSystemName != QLatin1String("Matrix"))
                return false;
            return read.complete && read.stopResult == eResultOK
                && device.mSystemName == QLatin1String("Matrix");
        }
        case StaticApply:
            return engine->SetModuleNetworkConfiguration(CCmdEngine::eNetIfControl, ip,
                       QStringLiteral("255.255.0.0"), QStringLiteral("10.1.0.1"), QString())
                == eResultOK;
        case Dhcp: {
            DHCPThread &worker = *mSession->Dhcp();
            QSignalSpy offers(&worker, &DHCPThread::PostIpAddressOffered);
            if (!mSession->StartDhcp(CCmdEngine::eNetIfControl)
                || !ModuleSession::AwaitWorker(&worker, 20000))
                return false;
            return offers.count() == 1 && module->peek("eParamID_IPConfig") != "2";
        }
        case OpCount:
            break;
        }
        return false;
    }

    std::unique_ptr<LinuxAppIF> mAppIF;
    std::unique_ptr<ModuleSession> mSession;
};

QTEST_MAIN(TstFaultMatrix)
#include "tst_fault_matrix.moc"
