// The status poll against a module that falls silent or goes away: the window stays
// responsive, says what happened, and polls normally once the module is back.
#include "device_page.h"
#include "main_window.h"
#include "module_rack.h"
#include "session_rules.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <thread>

namespace {

// Longest lateness of a 100 ms timer: how long the GUI thread was kept from its events.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        mClock.start();
        connect(&mTimer, &QTimer::timeout, this, [this] {
            const qint64 now = mClock.elapsed();
            worstMs = qMax(worstMs, now - mLast - kTickMs);
            mLast = now;
        });
        mTimer.start(kTickMs);
    }
    qint64 worstMs = 0;

private:
    static constexpr int kTickMs = 100;
    QTimer mTimer;
    QElapsedTimer mClock;
    qint64 mLast = 0;
};

QLabel *label(DevicePage *page, const char *name)
{
    return page->findChild<QLabel *>(QLatin1String(name));
}

} // namespace

class TstWindowPoll : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { WindowFixture::setUp(); }
    void cleanup() { mFixture.close(); }

    void silentModuleLeavesWindowResponsive()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "DECODER10G2", "Quiet", "QT1");
        START_WINDOW(window, { module->linkPath() });
        DevicePage *page = window->CurrentPage();
        QTRY_COMPARE(page->infoTab().nameLineEdit->text(), QString("Quiet"));
        const QString entry = window->DeviceComboBox()->currentText();

        StallMeter meter;
        VmFaults silent;
        silent.silenceAfter = 0;
        module->setFaults(silent);
        QTRY_COMPARE_WITH_TIMEOUT(
            window->StatusText(), SessionRules::NotRespondingText(entry), 5000);

        // Silent: one read (one header hunt) per slow retry, events flowing in between.
        module->clearRequests();
        QTest::qWait(8000);
        QVERIFY2(meter.worstMs < 2200, qPrintable(QString::number(meter.worstMs)));
        QVERIFY(module->requests().size() <= 2);
        QCOMPARE(window->StatusText(), SessionRules::NotRespondingText(entry));
        QElapsedTimer redraw; // a redraw reads nothing from a silent module
        redraw.start();
        window->RefreshPage();
        QVERIFY(redraw.elapsed() < 500);

        // Answering again: normal polling resumes.
        module->setFaults(VmFaults());
        QTRY_COMPARE_WITH_TIMEOUT(
            window->StatusText(), SessionRules::ConnectStatusText(true, 0), 8000);
        module->clearRequests();
        QTest::qWait(1000);
        QVERIFY(module->requests().size() >= 10);
        QVERIFY(meter.worstMs < 2200);
    }

    void goneModuleShownAtOnce_data()
    {
        QTest::addColumn<bool>("removalNotice");
        QTest::newRow("seen by the poll") << false;
        QTest::newRow("removal notice") << true;
    }

    void goneModuleShownAtOnce()
    {
        QFETCH(bool, removalNotice);
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "DECODER10G2", "Leaving", "LV1");
        START_WINDOW(window, { module->linkPath() });
        DevicePage *page = window->CurrentPage();
        QLabel *link = page->networkTab(0).linkStatusLabel;
        QLabel *usb = label(page, "mUsbHubImageUSBStatusLabel");
        QLabel *led = label(page, "mImagePowerStatusLED");
        QVERIFY(usb && led);
        QTRY_COMPARE(page->infoTab().nameLineEdit->text(), QString("Leaving"));
        QCOMPARE(link->text(), QString("Connected"));
        const QString entry = window->DeviceComboBox()->currentText();
        const QString address = page->networkTab(0).ipAddressStatus->text();

        if (removalNotice) {
            module->unplug(-1);
            window->DeviceRemoved();
        } else {
            module->unplug(500);
        }
        // Within one poll (157 ms), with room for a loaded machine.
        QTRY_COMPARE_WITH_TIMEOUT(link->text(), QString("Disconnected"), 400);
        QCOMPARE(usb->text(), QString("Disconnected"));
        QVERIFY(!led->isEnabled());
        QCOMPARE(window->StatusText(), SessionRules::ModuleLeftText(entry));
        QCOMPARE(page->networkTab(0).ipAddressStatus->text(), address); // last values kept
        if (removalNotice)
            return;

        // The module back and found again: the page is live once more.
        QVERIFY(module->waitPlugged(true, 5000));
        window->DeviceAdded();
        QTRY_VERIFY_WITH_TIMEOUT(led->isEnabled(), WindowFixture::kDiscoveryTimeoutMs);
        QCOMPARE(usb->text(), QString("Connected"));
        QTRY_COMPARE(link->text(), QString("Connected"));
    }

    // Poll, discovery and DHCP runs on a slow module: the engine is never used by two
    // threads at once (the fixture also fails the test on the engine's overlap warning).
    void engineNeverSharedAcrossThreads()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "DECODER10G2", "Shared", "SH1");
        START_WINDOW(window, { module->linkPath() });
        QTRY_VERIFY(window->CmdEngine()->IsConnected());
        VmFaults slow;
        slow.slowReplyMs = 20;
        module->setFaults(slow);
        for (int round = 0; round < 3; ++round) {
            window->ObtainIpFromDHCP(CCmdEngine::eNetIfMedia);
            QTest::qWait(50); // polls skip while the worker holds the engine
            QTRY_VERIFY_WITH_TIMEOUT(!window->DhcpRunning(), 10000);
            window->DiscoverModule();
            QTRY_VERIFY_WITH_TIMEOUT(
                !window->DiscoveryRunning() && window->CmdEngine()->IsConnected(),
                WindowFixture::kDiscoveryTimeoutMs);
            QTest::qWait(300); // polls
        }
        QCOMPARE(window->CmdEngine()->OverlapCount(), 0);
    }

    // The check can fail: a second thread reading while the window's thread reads. (A
    // window of its own: the fixture's would fail the test on the warning.)
    void overlapIsCaught()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "DECODER10G2", "Both", "BT1");
        WindowFixture::ports() = { module->linkPath() };
        MainWindow window;
        CCmdEngine *engine = window.CmdEngine();
        QTRY_VERIFY_WITH_TIMEOUT(!window.DiscoveryRunning() && engine->IsConnected(),
            WindowFixture::kDiscoveryTimeoutMs);
        VmFaults slow;
        slow.slowReplyMs = 100;
        module->setFaults(slow);
        auto readUntilCaught = [engine] {
            for (int i = 0; i < 20 && engine->OverlapCount() == 0; ++i) {
                QString name;
                engine->GetModuleName(name);
            }
        };
        std::thread other(readUntilCaught);
        readUntilCaught();
        other.join();
        QVERIFY(engine->OverlapCount() > 0);
        window.close();
    }

private:
    WindowFixture mFixture;
};

QTEST_MAIN(TstWindowPoll)
#include "tst_window_poll.moc"
