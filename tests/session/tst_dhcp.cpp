// The session's DHCP worker against virtual modules: each way a negotiation can end, the
// interface it is asked for, and a second request while one runs. A lease at the first
// query and a module never bound are tst_window_network's.
#include "dhcp_thread.h"
#include "discover_thread.h"
#include "linux_app_if.h"
#include "module_rack.h"
#include "module_session.h"
#include "posix_serial_if.h"

#include <QtTest>

namespace {
constexpr double kTimeScale = 0.05; // the 30 s watch takes 1.5 s
constexpr int kRunTimeoutMs = 20000;
const QString kNoLease = "Could not obtain lease from a DHCP server";
const QString kNetworkRoot
    = "DHCP failed.  Are you trying to configure DHCP on a device with an NFS-mounted rootfs?";
} // namespace

class TstDhcp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SessionWorker::setTimeScaleForTesting(kTimeScale); }

    void outcome_data()
    {
        QTest::addColumn<QString>("productId");
        QTest::addColumn<int>("netIf");
        QTest::addColumn<VmDhcpOutcome>("outcome"); // None: a module on a network root
        QTest::addColumn<int>("delayMs"); // until the module is bound
        QTest::addColumn<QString>("failure"); // last status text; empty: the lease is offered
        QTest::addColumn<bool>("dots");
        using O = VmDhcpOutcome;
        QTest::newRow("bound at the first query, name-based")
            << "ROUTER-16X16" << 0 << O::Bound << 0 << "" << false;
        QTest::newRow("bound while watching")
            << "DECODER10G2" << 2 << O::Bound << 600 << "" << true;
        QTest::newRow("disabled") << "DECODER10G2" << 0 << O::Disabled << 0 << kNoLease << false;
        QTest::newRow("network root")
            << "DECODER10G2" << 1 << O::None << 0 << kNetworkRoot << false;
    }

    void outcome()
    {
        QFETCH(QString, productId);
        QFETCH(int, netIf);
        QFETCH(VmDhcpOutcome, outcome);
        QFETCH(int, delayMs);
        QFETCH(QString, failure);
        QFETCH(bool, dots);

        ModuleRack rack;
        VmConfig config;
        config.name = "m";
        config.productId = productId;
        if (outcome == VmDhcpOutcome::None)
            config.swVersion = "NFS-3.4.0";
        config.dhcpOutcome = outcome;
        config.dhcpDelayMs = delayMs;
        for (VmInterface &lan : config.lan)
            lan.ipConfig = 2;
        VirtualModule *module = rack.add(config);
        connectTo(module);
        DHCPThread &worker = *mSession->Dhcp();
        QSignalSpy status(&worker, &DHCPThread::PostAppStatusMessage);
        QSignalSpy offers(&worker, &DHCPThread::PostIpAddressOffered);

        QVERIFY(mSession->StartDhcp(CCmdEngine::eNetIf_t(netIf)));
        QVERIFY(worker.wait(kRunTimeoutMs));
        QVERIFY(mSession->Holder().IsFree());

        QStringList texts;
        for (const QVariantList &args : status)
            texts << args.first().toString();
        const QString obtaining = DHCPThread::ObtainingText(netIf);
        QCOMPARE(texts.first(), obtaining);
        QCOMPARE(offers.count(), failure.isEmpty() ? 1 : 0);
        if (failure.isEmpty())
            QCOMPARE(offers.first().first().value<CCmdEngine::eNetIf_t>(), netIf);
        else
            QCOMPARE(texts.last(), failure);
        // Dots only while the module negotiates, one more each time.
        const QStringList dotted = texts.filter(QRegularExpression("\\.\\.\\.\\.+$"));
        QCOMPARE(!dotted.isEmpty(), dots);
        for (int i = 0; i < dotted.size(); ++i)
            QCOMPARE(dotted[i], obtaining + QString(i + 1, '.'));

        // DHCP was selected on that interface and on no other.
        const char *const modes[]
            = { "eParamID_IPConfig", "eParamID_MediaIPConfig", "eParamID_Media2IPConfig" };
        for (int lan = 0; lan < 3; ++lan) {
            const QString mode = module->peek(modes[lan]);
            if (!mode.isEmpty())
                QCOMPARE(mode, QString(lan == netIf ? "1" : "2"));
        }
    }

    // A request while one runs neither starts nor changes the interface of the running one.
    void secondRequestRefused()
    {
        ModuleRack rack;
        VmConfig config;
        config.name = "m";
        config.dhcpOutcome = VmDhcpOutcome::Never;
        connectTo(rack.add(config));
        DHCPThread &worker = *mSession->Dhcp();
        QVERIFY(mSession->StartDhcp(CCmdEngine::eNetIfMedia));
        QVERIFY(!mSession->StartDhcp(CCmdEngine::eNetIfControl));
        QCOMPARE(worker.NetIf(), CCmdEngine::eNetIfMedia);
        QVERIFY(!mSession->StartWorker(mSession->Discovery(), EngineUser::Discovery));
        QVERIFY(worker.wait(kRunTimeoutMs));
        QTRY_VERIFY(mSession->Holder().IsFree());
    }

    void cleanup()
    {
        mSession.reset();
        mAppIF.reset();
    }

private:
    void connectTo(VirtualModule *module)
    {
        mAppIF = std::make_unique<LinuxAppIF>(nullptr);
        auto *serial = new CPosixSerialIF;
        const QString path = module->linkPath();
        serial->SetPortLister([path](QStringList &paths) {
            paths = { path };
            return true;
        });
        mSession = std::make_unique<ModuleSession>(serial, nullptr, mAppIF.get());
        serial->EnumeratePorts();
        QVERIFY(mSession->Connect(0).ok());
    }

    std::unique_ptr<LinuxAppIF> mAppIF;
    std::unique_ptr<ModuleSession> mSession;
};

QTEST_MAIN(TstDhcp)
#include "tst_dhcp.moc"
