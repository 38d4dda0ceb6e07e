// The main window against virtual modules: discovery and selection, the page of each
// family, the status poll, user edits, unplugging, and closing during discovery.
#include "app_settings.h"
#include "device_page.h"
#include "discover_thread.h"
#include "log_capture.h"
#include "main_window.h"
#include "module_rack.h"
#include "posix_serial_if.h"
#include "pty_pair.h"
#include "session_rules.h"
#include "trivo_device.h"
#include "url_sink.h"
#include "window_fixture.h"
#include "window_message_box.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

namespace {
constexpr int kDiscoveryTimeoutMs = WindowFixture::kDiscoveryTimeoutMs;

QStringList &portList()
{
    return WindowFixture::ports();
}

VmConfig moduleConfig(const QString &productId)
{
    VmConfig config;
    config.name = "m";
    config.productId = productId;
    return config;
}

// Static addresses on the control LAN.
VmConfig staticRecorder(uint32_t ipConfig = 2)
{
    VmConfig config = moduleConfig("RECORDER");
    config.lan[0].ipConfig = ipConfig;
    config.lan[0].ip = "172.16.4.9";
    config.lan[0].mask = "255.255.0.0";
    config.lan[0].gateway = "172.16.0.1";
    return config;
}

// Counts paint events of every widget it is installed on.
class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};
} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        WindowFixture::setUp();
        QLoggingCategory::setFilterRules(QStringLiteral("trivo.*.debug=true"));
        WindowMessageBox::setResponderForTesting([this](const WindowMessageBox::Request &r) {
            mAsked << r;
            return QMessageBox::Ok;
        });
    }

    void init()
    {
        AppSettings settings; // defaults: last connected serial "01234567"
        settings.Write();
        mAsked.clear();
    }

    void cleanup() { mFixture.close(); }

    void discoverySelectsLastConnectedSerial()
    {
        ModuleRack rack;
        VirtualModule *a = rack.add("a", "RECORDER-PLUS", "Studio A", "AB12");
        VirtualModule *b = rack.add("b", "DECODER10G2", "Rack B", "CD34");
        AppSettings settings;
        settings.lastConnectedSerialNumber = "CD34";
        settings.Write();

        START_WINDOW(window, { a->linkPath(), b->linkPath() });
        QComboBox *combo = window->DeviceComboBox();
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QString("Studio A - AB12"));
        QCOMPARE(combo->itemText(1), QString("Rack B - CD34"));
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(window->StatusText(), QString("Connected to module"));
        QCOMPARE(window->BoardId(), uint32_t(BOARD_RX_10G2_HDMI));
        QVERIFY(window->CurrentPage()->isVisible());

        // Picking the other entry connects it and makes it the last connected module.
        combo->setCurrentIndex(0);
        window->MainWindowDeviceSelect(0);
        QCOMPARE(window->BoardId(), uint32_t(BOARD_RECORDER_PLUS));
        QCOMPARE(window->LastConnectedSerialNumber(), QString("AB12"));

        // Closing keeps the choice for the next start.
        window->close();
        QCOMPARE(AppSettings::Read(false).lastConnectedSerialNumber, QString("AB12"));
    }

    void discoveryFallsBackToPortIndex()
    {
        ModuleRack rack;
        VirtualModule *a = rack.add("a", "RECORDER-PLUS", "A", "S1");
        VirtualModule *b = rack.add("b", "ROUTER-16X16", "B", "S2");
        VirtualModule *c = rack.add("c", "DECODER", "C", "S3");
        START_WINDOW(window, { a->linkPath(), b->linkPath(), c->linkPath() });
        QCOMPARE(window->DeviceComboBox()->currentIndex(), 0); // no serial known: the first

        window->DeviceComboBox()->setCurrentIndex(2);
        window->MainWindowDeviceSelect(2);
        QCOMPARE(window->LastConnectedSerialNumber(), QString("S3"));

        // The module on port 2 is replaced by another one: same port index wins over the first.
        c->stop();
        VirtualModule *d = rack.add("d", "ENCODER-HDMI", "D", "S4");
        portList() = { a->linkPath(), b->linkPath(), d->linkPath() };
        window->Refresh();
        QTRY_VERIFY_WITH_TIMEOUT(
            !window->DiscoveryRunning() && window->DeviceComboBox()->itemText(2) == "D - S4",
            kDiscoveryTimeoutMs);
        QCOMPARE(window->DeviceComboBox()->currentIndex(), 2);
        QCOMPARE(window->BoardId(), uint32_t(BOARD_TX_1G_HDMI));
        // Shown by itself in place of the one on show: said until the user picks.
        QCOMPARE(window->StatusText(),
            QString("Now showing D - S4: the module shown before (S3) is gone."));
        QVERIFY(!window->DeviceComboBox()->styleSheet().isEmpty());
        emit window->DeviceComboBox()->activated(2);
        QVERIFY(window->DeviceComboBox()->styleSheet().isEmpty());
    }

    void noModulesShowsNoDevice()
    {
        START_WINDOW(window, {});
        QCOMPARE(window->DeviceComboBox()->count(), 0);
        QCOMPARE(window->StatusText(), QString("No Velto Trivo devices found."));
        DevicePage *page = window->CurrentPage();
        QCOMPARE(page->row().family(), PageFamily::Unknown);
        QVERIFY(page->isVisible());
        QCOMPARE(page->imageUnknownNameLabel()->text(), QString("No Device"));
        QCOMPARE(page->imageSerialNumberLabel()->text(), QString("No Device"));
        QCOMPARE(page->updateTab().currVersionLineEdit->text(), QString("0.0"));
        QVERIFY(!window->CmdEngine()->IsConnected());

        // Every page gets the room its widgets need (no style cap cuts a button either) above
        // the status line, and where the fonts fit the form keeps its own size.
        const QRect status = window->GlobalStatusLabel()->geometry();
        QVERIFY(window->centralWidget()->rect().contains(status));
        for (DevicePage *each : window->centralWidget()->findChildren<DevicePage *>()) {
            QVERIFY(each->geometry().size().expandedTo(each->minimumSizeHint()) == each->size());
            QVERIFY(status.top() > each->geometry().bottom());
            for (QPushButton *button : each->findChildren<QPushButton *>())
                QVERIFY(button->maximumHeight() >= button->minimumSizeHint().height());
        }
        if (qEnvironmentVariableIntValue("TRIVO_FONTS_FIT") == 1)
            QCOMPARE(window->centralWidget()->size(), QSize(709, 562));

        // The two 64x64 12G revisions share one page, which stays up when switching between them.
        DevicePage *shared = window->PageForBoardId(BOARD_ROUTER_64X64_12G);
        QCOMPARE(window->PageForBoardId(BOARD_ROUTER_64X64_12G_1), shared);
        for (uint32_t id : { uint32_t(BOARD_ROUTER_64X64_12G), uint32_t(BOARD_ROUTER_64X64_12G_1),
                 uint32_t(BOARD_ROUTER_64X64_12G) }) {
            window->SelectPage(id);
            QVERIFY(shared->isVisible());
        }
        window->SelectPage(kBoardIdUninitialised);
        QVERIFY(!shared->isVisible());
        QVERIFY(window->PageForBoardId(kBoardIdUnknown)->isVisible());
    }

    // A module whose port another program holds is looked at again until it is let go; the
    // status line says why it is missing meanwhile.
    void heldPortLookedAtAgain()
    {
        ModuleRack rack;
        VirtualModule *a = rack.add("a", "DECODER10G2", "Stage A", "SA1");
        VirtualModule *b = rack.add("b", "DECODER10G2", "Stage B", "SB2");
        CPosixSerialIF holder;
        QVERIFY(holder.OpenDevicePath(b->linkPath()));
        START_WINDOW(window, { a->linkPath(), b->linkPath() });
        QCOMPARE(window->DeviceComboBox()->count(), 1);
        QVERIFY2(window->StatusText().contains(b->linkPath() + " is in use by another program"),
            qPrintable(window->StatusText()));
        holder.CloseSerialPort();
        QTRY_COMPARE_WITH_TIMEOUT(window->DeviceComboBox()->count(), 2, kDiscoveryTimeoutMs);
        QTRY_COMPARE(window->StatusText(), QString("Connected to module"));
        QVERIFY(window->DeviceComboBox()->styleSheet().isEmpty()); // still the same module
    }

    void arrivalDuringRunGivesOneMoreRun()
    {
        ModuleRack rack;
        VirtualModule *a = rack.add("a", "RECORDER", "A", "S1");
        START_WINDOW(window, { a->linkPath() });

        DiscoverThread::setTimeScaleForTesting(0.1); // a run long enough to arrive during
        LogCapture log;
        window->Refresh();
        QVERIFY(window->DiscoveryRunning());
        window->DeviceAdded();
        QCOMPARE(window->StatusText(), QString("Looking for Velto devices..."));
        window->DeviceAdded();
        window->DeviceRemoved();
        QTRY_COMPARE_WITH_TIMEOUT(log.count("Num serialports = "), 2, kDiscoveryTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!window->DiscoveryRunning(), kDiscoveryTimeoutMs);
        QTest::qWait(600);
        DiscoverThread::setTimeScaleForTesting(0.01);
        QCOMPARE(log.count("Num serialports = "), 2);
        QCOMPARE(window->StatusText(), QString("Connected to module"));
    }

    // The page of the module's model, and the device model with its interfaces.
    void connectShowsFamilyPage_data()
    {
        QTest::addColumn<QString>("productId");
        for (const char *productId :
            { "RECORDER-PLUS", "DECODER10G2", "QUASAR", "ROUTER-16X16", "MYSTERY-BOX" })
            QTest::newRow(productId) << QString(productId);
    }

    void connectShowsFamilyPage()
    {
        QFETCH(QString, productId);
        const uint32_t boardId = CProductID::GetBoardIDFromProductID(productId);
        const ModelRow &model = ModelRegistry::RowOrUnknown(boardId);

        ModuleRack rack;
        VmConfig config = moduleConfig(productId);
        config.serialNumber = "SN1";
        config.swVersion = "2.7.1";
        VirtualModule *module = rack.add(config);
        START_WINDOW(window, { module->linkPath() });
        QCOMPARE(window->StatusText(), QString("Connected to module"));
        QCOMPARE(window->BoardId(), boardId);
        DevicePage *page = window->CurrentPage();
        QCOMPARE(page->row().model, &model);
        QVERIFY(page->isVisible());
        int visiblePages = 0;
        for (QWidget *child : window->centralWidget()->findChildren<DevicePage *>())
            visiblePages += child->isVisible() ? 1 : 0;
        QCOMPARE(visiblePages, 1);
        QVERIFY(window->Device());
        QCOMPARE(window->Device()->mInterfaceCount, int(model.interfaces.size()));
        QTRY_COMPARE(page->imageSerialNumberLabel()->text(), QString("Version: 2.7.1  Sn: SN1"));
        QTRY_COMPARE(page->updateTab().updatePushButton->isEnabled(), model.updatable);

        module->clearRequests();
        QTest::qWait(3 * 157);
        // Only a page that shows the link speed (with a speed choice) reads it.
        int speedReads = 0;
        for (const VmRequest &request : module->requests())
            speedReads += request.param.contains("Speed_Actual") ? 1 : 0;
        QCOMPARE(speedReads > 0, !model.interfaces.last().speeds.isEmpty());
    }

    void pollFillsAndFollowsModule()
    {
        ModuleRack rack;
        VmConfig config = moduleConfig("DECODER10G2");
        config.sysName = "Rack B";
        config.serialNumber = "CD34";
        config.lan[0].ipConfig = 2;
        config.lan[0].ip = "192.168.7.20";
        config.lan[0].mask = "255.255.255.0";
        config.lan[0].gateway = "192.168.7.1";
        config.lan[1].ipConfig = 2;
        config.lan[1].ip = "10.0.1.5";
        config.lan[1].mask = "255.0.0.0";
        config.lan[1].mac = "00:11:22:33:44:55";
        config.lan[2].linkUp = false;
        VirtualModule *module = rack.add(config);
        START_WINDOW(window, { module->linkPath() });
        DevicePage *page = window->CurrentPage();
        NetworkTabUi &control = page->networkTab(0);
        NetworkTabUi &media = page->networkTab(1);
        NetworkTabUi &media2 = page->networkTab(2);

        // Each field as the poll reaches it: a busy machine spreads a pass over several ticks.
        QTRY_COMPARE(control.ipAddressStatus->text(), QString("192.168.7.20"));
        QTRY_COMPARE(control.subnetMaskStatus->text(), QString("255.255.255.0"));
        QTRY_COMPARE(control.gatewayIpStatus->text(), QString("192.168.7.1"));
        QTRY_COMPARE(control.modeStatus->text(), QString("Static"));
        QTRY_COMPARE(control.modeComboBox->currentIndex(), 1);
        QTRY_COMPARE(media.ipAddressStatus->text(), QString("10.0.1.5"));
        QTRY_COMPARE(media.macAddressLineEdit->text().toLower(), QString("00:11:22:33:44:55"));
        QTRY_COMPARE(control.linkStatusLabel->text(), QString("Connected"));
        QTRY_COMPARE(media2.linkStatusLabel->text(), QString("Disconnected"));
        QTRY_COMPARE(page->infoTab().nameLineEdit->text(), QString("Rack B"));
        QTRY_COMPARE(page->infoTab().authenticationLineEdit->text(), QString("Enabled"));
        QTRY_COMPARE(page->infoTab().typeLineEdit->text(), QString("RX-10G2-HDMI version 03"));

        // A change made on the module shows up by itself.
        QString answer;
        QCOMPARE(window->CmdEngine()->SetModuleName("Renamed", answer), eResultOK);
        QTRY_COMPARE(page->infoTab().nameLineEdit->text(), QString("Renamed"));
        QTRY_COMPARE(window->DeviceComboBox()->currentText(), QString("Renamed - CD34"));
    }

    void addressTypeShown_data()
    {
        QTest::addColumn<uint>("ipConfig");
        QTest::addColumn<QString>("modeText");
        QTest::addColumn<int>("comboIndex");
        QTest::addColumn<QStringList>("statusTexts"); // IP, mask, gateway labels
        QTest::addColumn<QStringList>("editTexts"); // IP, mask, gateway line edits
        const QString tbd = "To be determined";
        QTest::newRow("DHCP") << 1u << "DHCP" << 0
                              << QStringList { "10.1.1.9", "255.0.0.0", "10.1.1.254" }
                              << QStringList { "10.1.1.9", "255.0.0.0", "10.1.1.254" };
        QTest::newRow("static") << 2u << "Static" << 1
                                << QStringList { "172.16.4.9", "255.255.0.0", "172.16.0.1" }
                                << QStringList { "172.16.4.9", "255.255.0.0", "172.16.0.1" };
        // Any other type reads as DHCP, but only type 1 has DHCP values in force to show.
        QTest::newRow("type 3") << 3u << "DHCP" << 0
                                << QStringList { "172.16.4.9", "255.255.0.0", "172.16.0.1" }
                                << QStringList { tbd, tbd, tbd };
    }

    void addressTypeShown()
    {
        QFETCH(uint, ipConfig);
        QFETCH(QString, modeText);
        QFETCH(int, comboIndex);
        QFETCH(QStringList, statusTexts);
        QFETCH(QStringList, editTexts);

        ModuleRack rack;
        VmConfig config = staticRecorder(ipConfig);
        config.lan[0].dhcpIp = "10.1.1.9";
        config.lan[0].dhcpMask = "255.0.0.0";
        config.lan[0].dhcpGateway = "10.1.1.254";
        VirtualModule *module = rack.add(config);
        START_WINDOW(window, { module->linkPath() });
        NetworkTabUi &tab = window->CurrentPage()->networkTab(0);
        QTRY_COMPARE(tab.modeStatus->text(), modeText);
        QTRY_COMPARE(tab.ipAddressStatus->text(), statusTexts[0]);
        QTest::qWait(3 * 157);
        QCOMPARE(tab.modeComboBox->currentIndex(), comboIndex);
        const QLabel *labels[] = { tab.ipAddressStatus, tab.subnetMaskStatus, tab.gatewayIpStatus };
        const QLineEdit *edits[]
            = { tab.ipAddressLineEdit, tab.subnetMaskLineEdit, tab.gatewayIpLineEdit };
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(labels[i]->text(), statusTexts[i]);
            QCOMPARE(edits[i]->text().remove(' '), QString(editTexts[i]).remove(' '));
        }
        QVERIFY(!window->LanEdited(0));
    }

    // Typed values survive the polls; a change of mode rereads the module's values.
    void userEditsAndModeSwitch()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add(staticRecorder());
        START_WINDOW(window, { module->linkPath() });
        NetworkTabUi &tab = window->CurrentPage()->networkTab(0);
        QTRY_COMPARE(tab.ipAddressStatus->text(), QString("172.16.4.9"));
        QTest::qWait(400);
        QVERIFY(!window->LanEdited(0));

        window->CurrentPage()->groupBox()->setCurrentWidget(tab.tab);
        tab.ipAddressLineEdit->setFocus();
        tab.ipAddressLineEdit->selectAll();
        QTest::keyClicks(tab.ipAddressLineEdit, "10.9.8.7");
        const QString typed = tab.ipAddressLineEdit->text();
        QVERIFY(window->LanEdited(0));
        QTest::qWait(6 * 157);
        QCOMPARE(tab.ipAddressLineEdit->text(), typed);
        QVERIFY(window->LanEdited(0));

        // The user picks DHCP: the fields await DHCP and polls do not flip the combo back.
        tab.modeComboBox->setCurrentIndex(0);
        emit tab.modeComboBox->activated(0);
        QTest::qWait(4 * 157);
        QCOMPARE(tab.modeComboBox->currentIndex(), 0);
        QCOMPARE(tab.ipAddressLineEdit->text(), QString("To be determined"));
        QCOMPARE(tab.ipAddressLineEdit->inputMask(), QString());
        QVERIFY(tab.ipAddressLineEdit->isReadOnly());
        QCOMPARE(tab.modeStatus->text(), QString("Static"));

        // Back to Static: the module's static values under the address mask.
        tab.modeComboBox->setCurrentIndex(1);
        emit tab.modeComboBox->activated(1);
        QTRY_COMPARE(tab.ipAddressLineEdit->text().remove(' '), QString("172.16.4.9"));
        QCOMPARE(tab.subnetMaskLineEdit->text().remove(' '), QString("255.255.0.0"));
        QCOMPARE(tab.gatewayIpLineEdit->text().remove(' '), QString("172.16.0.1"));
        QVERIFY(tab.ipAddressLineEdit->inputMask().startsWith("000.000.000.000"));
        QVERIFY(!tab.ipAddressLineEdit->isReadOnly());
    }

    // A steady module causes no repaint (unplugging: tst_window_poll).
    void steadyModuleNoRepaint()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "DECODER10G2", "Steady", "ST1");
        START_WINDOW(window, { module->linkPath() });
        DevicePage *page = window->CurrentPage();
        QTRY_COMPARE(page->infoTab().nameLineEdit->text(), QString("Steady"));
        QTest::qWait(500); // let the first polls settle the page
        if (QWidget *focus = QApplication::focusWidget())
            focus->clearFocus();
        QTest::qWait(100);

        PaintCounter counter;
        const QList<QWidget *> widgets = page->findChildren<QWidget *>();
        for (QWidget *widget : widgets)
            widget->installEventFilter(&counter);
        QTest::qWait(5 * 157);
        QCOMPARE(counter.count, 0);

        // The counter does see a real change.
        page->imageSerialNumberLabel()->setText("changed");
        QTRY_VERIFY(counter.count > 0);
    }

    void closeDuringDiscoveryReturnsInTime()
    {
        PtyPair silent;
        QVERIFY(silent.isValid());
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "RECORDER", "Later", "LT1");
        LogCapture log;
        portList() = { silent.path(), module->linkPath() };
        mFixture.window = std::make_unique<MainWindow>();
        MainWindow *window = mFixture.window.get();
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Checking to see if device 0 is a module"), 5000);
        QTest::qWait(300);
        QVERIFY(window->DiscoveryRunning());

        QElapsedTimer closing;
        closing.start();
        window->close();
        QVERIFY2(closing.elapsed() < 2500, qPrintable(QString::number(closing.elapsed())));
        QVERIFY(!window->DiscoveryRunning());
        QVERIFY(!log.contains("terminating"));
        QCOMPARE(window->DeviceComboBox()->count(), 0); // the stopped run posted nothing
    }

    void editActionsAndManual()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add("m", "RECORDER-PLUS", "Clip", "CL1");
        START_WINDOW(window, { module->linkPath() });
        window->activateWindow();
        DevicePage *page = window->CurrentPage();
        QTRY_COMPARE(page->infoTab().nameLineEdit->text(), QString("Clip"));
        auto action = [window](const QString &text) {
            for (QAction *a : window->Actions()) {
                if (a->text() == text)
                    return a;
            }
            return static_cast<QAction *>(nullptr);
        };
        QVERIFY(action("&Copy") && action("&Paste") && action("&Manual"));

        // Copy takes the selection of the focused label.
        QLabel *label = page->imageSerialNumberLabel();
        label->setFocus();
        label->setSelection(0, 7);
        QTRY_VERIFY(QApplication::focusWidget() == label);
        QApplication::clipboard()->clear();
        action("&Copy")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("Version"));

        // Paste goes into the focused line edit only.
        page->groupBox()->setCurrentWidget(page->networkTab(0).tab);
        QLineEdit *edit = page->networkTab(0).gatewayIpLineEdit;
        edit->setInputMask(QString());
        edit->clear();
        edit->setFocus();
        QTRY_VERIFY(QApplication::focusWidget() == edit);
        QApplication::clipboard()->setText("10.0.0.1");
        action("&Paste")->trigger();
        QCOMPARE(edit->text(), QString("10.0.0.1"));
        QVERIFY(window->LanEdited(0));

        QString aboutTitle;
        QTimer::singleShot(200, [&aboutTitle] {
            if (QWidget *box = QApplication::activeModalWidget()) {
                aboutTitle = box->windowTitle();
                box->close();
            }
        });
        QVERIFY(window->About());
        QCOMPARE(aboutTitle, QString("About Trivo-Setup"));

        const QString manual = SessionRules::ManualUrl(BOARD_RECORDER_PLUS);
        UrlSink sink;
        QDesktopServices::setUrlHandler("https", &sink, "open");
        action("&Manual")->trigger();
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(sink.urls, QList<QUrl> { QUrl(manual) });
        QVERIFY(mAsked.isEmpty());

        // Without a browser the user is told where to go.
        action("&Manual")->trigger();
        QCOMPARE(mAsked.size(), 1);
        QVERIFY2(mAsked[0].text.endsWith("\n\n" + manual), qPrintable(mAsked[0].text));
    }

private:
    WindowFixture mFixture;
    QList<WindowMessageBox::Request> mAsked;
};

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
