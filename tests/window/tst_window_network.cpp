// The window's network controls against virtual modules: static apply, DHCP lease, UPnP
// host, web page, authentication, system name, and module text shown as plain text.
#include "device_page.h"
#include "dhcp_thread.h"
#include "log_capture.h"
#include "module_rack.h"
#include "module_session.h"
#include "url_sink.h"
#include "window_fixture.h"
#include "window_message_box.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using Request = WindowMessageBox::Request;

namespace {

const QString kOldIp = "172.16.4.9";
const char *const kSchemes[] = { "http", "https", "file" };

// A module with the same static addresses on every interface.
VmConfig staticModule(const QString &productId)
{
    VmConfig config;
    config.name = "m";
    config.productId = productId;
    config.serialNumber = "SN7";
    for (VmInterface &lan : config.lan) {
        lan.ip = kOldIp;
        lan.mask = "255.255.0.0";
        lan.dhcpIp = "10.1.1.9";
    }
    return config;
}

VmFaults nackFaults(const char *type)
{
    VmFaults faults;
    faults.nackReason = "BUSY";
    faults.nackType = type;
    return faults;
}

} // namespace

class TstWindowNetwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        WindowFixture::setUp();
        QLoggingCategory::setFilterRules(QStringLiteral("trivo.discover.debug=true"));
        WindowMessageBox::setResponderForTesting([this](const Request &request) {
            mAsked << request;
            if (request.buttons.testFlag(QMessageBox::Apply))
                return QMessageBox::Apply;
            return request.buttons.testFlag(QMessageBox::Yes) ? mYesAnswer : QMessageBox::Ok;
        });
        for (const char *scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, &mUrls, "open");
    }

    void cleanupTestCase()
    {
        for (const char *scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    void init()
    {
        AppSettings().Write();
        mAsked.clear();
        mUrls.urls.clear();
        mYesAnswer = QMessageBox::Yes;
    }

    void cleanup()
    {
        mFixture.close();
        mRack.reset();
        SessionWorker::setTimeScaleForTesting(WindowFixture::kTimeScale);
    }

    void staticApply_data()
    {
        QTest::addColumn<QString>("productId");
        QTest::addColumn<int>("netIf");
        QTest::addColumn<QString>("inForceKey"); // where the module keeps the address in force
        QTest::addColumn<QByteArray>("nackType"); // writes the module refuses
        QTest::newRow("numeric IDs, media LAN") << "DECODER10G2" << 1 << "0x2F" << QByteArray();
        QTest::newRow("parameter names")
            << "ROUTER-16X16" << 0 << "eParamID_IPAddress_3" << QByteArray();
        QTest::newRow("write refused") << "DECODER10G2" << 1 << "0x2F" << QByteArray("PSID");
    }

    void staticApply()
    {
        QFETCH(QString, productId);
        QFETCH(int, netIf);
        QFETCH(QString, inForceKey);
        QFETCH(QByteArray, nackType);
        MainWindow *window = startOn(staticModule(productId), netIf);
        QVERIFY(window);
        NetworkTabUi &tab = window->CurrentPage()->networkTab(netIf);
        tab.ipAddressLineEdit->setText("010.020.030.040");
        tab.subnetMaskLineEdit->setText("255.255.000.000");
        tab.gatewayIpLineEdit->setText("010.020.000.001");
        if (!nackType.isEmpty())
            mModule->setFaults(nackFaults(nackType));
        QTRY_VERIFY(tab.applyPushButton->isEnabled());
        tab.applyPushButton->click();

        QCOMPARE(mAsked.size(), 1);
        QCOMPARE(mAsked[0].title, QString("Network Change Confirmation"));
        QVERIFY2(mAsked[0].informativeText.endsWith(
                     "IP Address: 10.20.30.40\nNetmask: 255.255.0.0\nGateway: 10.20.0.1"),
            qPrintable(mAsked[0].informativeText));
        QString inForce = mModule->peek(inForceKey);
        if (!inForceKey.startsWith("0x"))
            inForce = QHostAddress(inForce.toUInt()).toString();
        const bool refused = !nackType.isEmpty();
        QCOMPARE(window->StatusText(),
            QString(refused ? "Set Network Configuration Failed" : "Connected to module"));
        QCOMPARE(inForce, refused ? kOldIp : "10.20.30.40");
        QTRY_COMPARE(tab.ipAddressStatus->text(), inForce);
    }

    void dhcpLeaseAtOnce()
    {
        VmConfig config = staticModule("RECORDER");
        config.dhcpDelayMs = 0;
        MainWindow *window = startOn(config);
        QVERIFY(window);
        NetworkTabUi &tab = window->CurrentPage()->networkTab(0);
        window->PostAppStatusMessage("before");
        chooseDhcp(tab);
        QTRY_COMPARE(window->StatusText(), QString("Connected to module"));
        QTRY_COMPARE(tab.modeStatus->text(), QString("DHCP"));
        QTRY_COMPARE(tab.ipAddressStatus->text(), QString("10.1.1.9"));
        QVERIFY(tab.applyPushButton->isEnabled());
    }

    // While the worker holds the engine nothing else uses it: a second request, the web
    // page and a discovery wait; the discovery runs once the watch has failed.
    void dhcpRunHoldsTheEngine()
    {
        MainWindow *window = startNeverBound("RECORDER", 0, 0.1); // a 3 s watch
        QVERIFY(window);
        NetworkTabUi &tab = window->CurrentPage()->networkTab(0);
        QSignalSpy status(window->Session()->Dhcp(), &DHCPThread::PostAppStatusMessage);
        chooseDhcp(tab);
        QVERIFY(window->DhcpRunning());
        QVERIFY(!tab.applyPushButton->isEnabled() && !tab.modeComboBox->isEnabled());
        QVERIFY(tab.openWebPagePushButton->isEnabled());
        emit tab.applyPushButton->clicked();
        QCOMPARE(window->StatusText(), QString("DHCP Service is already running"));
        window->PostAppStatusMessage("before");
        tab.openWebPagePushButton->click();
        QCOMPARE(window->StatusText(), QString("DHCP Service is already running"));
        QVERIFY(mUrls.urls.isEmpty());

        LogCapture log;
        window->Refresh();
        QVERIFY(!window->DiscoveryRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!window->DhcpRunning(), 10000);
        QCOMPARE(
            status.last().first().toString(), QString("Could not obtain lease from a DHCP server"));
        QVERIFY(status.size() > 2); // dots while the module negotiated
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Num serialports = 1"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !window->DiscoveryRunning() && window->StatusText() == "Connected to module", 15000);
    }

    void closeDuringWatchReturnsPromptly()
    {
        MainWindow *window = startNeverBound("DECODER10G2", 2, 1.0); // the real 30 s watch
        QVERIFY(window);
        chooseDhcp(window->CurrentPage()->networkTab(2));
        QTRY_VERIFY(window->StatusText().endsWith("Media 2 LAN...."));

        LogCapture log;
        QElapsedTimer closing;
        closing.start();
        window->close();
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
        QVERIFY(!window->Session()->Dhcp()->isRunning());
        QVERIFY(!log.contains("terminating"));
    }

    void upnpHost()
    {
        VmConfig config = staticModule("RECORDER");
        config.lan[0].upnp = true;
        MainWindow *window = startOn(config);
        QVERIFY(window);
        NetworkTabUi &tab = window->CurrentPage()->networkTab(0);
        QTRY_COMPARE(tab.upnpEnableStatus->text(), QString("Enabled"));
        chooseUPnP(tab, 1);
        QCOMPARE(mModule->peek("0x10D"), QString("0"));
        QTRY_COMPARE(tab.upnpEnableStatus->text(), QString("Disabled"));
        QCOMPARE(tab.upnpEnableComboBox->currentIndex(), 1);
        chooseUPnP(tab, 0);
        QCOMPARE(mModule->peek("0x10D"), QString("1"));
        QTRY_COMPARE(tab.upnpEnableStatus->text(), QString("Enabled"));

        // A module that stops answering: the write times out, and no redraw follows.
        VmFaults silent;
        silent.silenceAfter = 0;
        mModule->setFaults(silent);
        chooseUPnP(tab, 1);
        QCOMPARE(mModule->peek("0x10D"), QString("1"));
        QCOMPARE(tab.upnpEnableComboBox->currentIndex(), 0); // shows what the module has
    }

    void disableAuthentication_data()
    {
        QTest::addColumn<QString>("productId");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("refused"); // the module refuses writes
        QTest::addColumn<bool>("yes"); // the user's answer
        QTest::addColumn<QString>("question"); // empty: nothing asked
        QTest::addColumn<QString>("result"); // start of the last box's text; empty: none
        QTest::addColumn<QString>("after"); // authentication and password on the module
        const QString reset = "Are you sure you want to disable authentication and reset the "
                              "password to the factory default value?";
        const QString disabled = "Authentication disabled";
        QTest::newRow("password reset too") << "DECODER10G2" << true << false << true << reset
                                            << disabled + " and password reset to factory default."
                                            << "0 qumvrtle";
        QTest::newRow("colour processor")
            << "PRISM" << true << false << true
            << "Are you sure you want to disable authentication?" << disabled + "."
            << "0 secret";
        QTest::newRow("cancelled")
            << "DECODER10G2" << true << false << false << reset << QString() << "1 secret";
        QTest::newRow("already disabled") << "DECODER10G2" << false << false << true << QString()
                                          << "Authentication is already disabled."
                                          << "0 secret";
        QTest::newRow("write refused") << "DECODER10G2" << true << true << true << reset
                                       << "Authentication could not be disabled. (error "
                                       << "1 secret";
    }

    void disableAuthentication()
    {
        QFETCH(QString, productId);
        QFETCH(bool, enabled);
        QFETCH(bool, refused);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(QString, result);
        QFETCH(QString, after);
        VmConfig config = staticModule(productId);
        config.authentication = enabled;
        MainWindow *window = startOn(config);
        QVERIFY(window);
        InfoTabUi &info = window->CurrentPage()->infoTab();
        QTRY_COMPARE(info.disableAuthenticationPushButton->isEnabled(), enabled);
        if (refused)
            mModule->setFaults(nackFaults("PSNM"));
        mYesAnswer = yes ? QMessageBox::Yes : QMessageBox::Cancel;

        emit info.disableAuthenticationPushButton->clicked();
        if (!question.isEmpty()) {
            const Request ask = mAsked.takeFirst();
            QCOMPARE(ask.title, QString("Authentication Settings"));
            QCOMPARE(ask.informativeText, question);
        }
        QCOMPARE(mAsked.size(), result.isEmpty() ? 0 : 1);
        if (!result.isEmpty()) {
            QCOMPARE(mAsked[0].title, QString("Web Access Authentication"));
            QVERIFY2(mAsked[0].text.startsWith(result), qPrintable(mAsked[0].text));
            QCOMPARE(mAsked[0].icon, refused ? QMessageBox::Warning : QMessageBox::Information);
        }
        QCOMPARE(mModule->peek("eParamID_Authentication") + " "
                + mModule->peek("eParamID_SystemPassword"),
            after);
    }

    void systemName()
    {
        VmConfig config = staticModule("RECORDER-PLUS");
        config.sysName = "Old Name";
        MainWindow *window = startOn(config);
        QVERIFY(window);
        InfoTabUi &info = window->CurrentPage()->infoTab();
        QTRY_VERIFY(info.setNamePushButton->isEnabled());
        info.nameLineEdit->setText("New Name");
        info.setNamePushButton->click();
        QCOMPARE(mModule->peek("eParamID_SysName"), QString("New Name"));
        QCOMPARE(window->DeviceComboBox()->currentText(), QString("New Name - SN7"));

        // A blank name is not written: the module's name comes back into the field.
        mModule->clearRequests();
        info.nameLineEdit->setText("   ");
        info.setNamePushButton->click();
        QCOMPARE(info.nameLineEdit->text(), QString("New Name"));
        for (const VmRequest &request : mModule->requests())
            QVERIFY2(!request.type.startsWith("PS"), qPrintable(request.type));

        mModule->setFaults(nackFaults("PSID"));
        info.nameLineEdit->setText("Refused");
        info.setNamePushButton->click();
        QVERIFY2(window->StatusText().startsWith("Set Module Name failed with error "),
            qPrintable(window->StatusText()));
        QCOMPARE(mModule->peek("eParamID_SysName"), QString("New Name"));
    }

    void openWebPage_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("url"); // empty: the box, nothing opened
        QTest::newRow("address") << "192.168.7.20"
                                 << "http://192.168.7.20";
        QTest::newRow("no address") << "0.0.0.0" << QString();
        QTest::newRow("empty") << "" << QString();
        QTest::newRow("local file") << "file:///etc/passwd" << QString();
        QTest::newRow("path") << "10.0.0.1/../x" << QString();
    }

    void openWebPage()
    {
        QFETCH(QString, reported);
        QFETCH(QString, url);
        VmConfig config = staticModule("RECORDER");
        config.lan[0].ip = reported;
        MainWindow *window = startOn(config);
        QVERIFY(window);
        // The virtual module starts with an address of its own where none is configured.
        if (reported.isEmpty())
            QCOMPARE(window->CmdEngine()->SetModuleNetworkConfiguration(
                         CCmdEngine::eNetIfControl, "", "255.255.0.0", "172.16.0.1", ""),
                eResultOK);
        QCOMPARE(mModule->peek("0x105"), reported);

        window->CurrentPage()->networkTab(0).openWebPagePushButton->click();
        QStringList opened;
        for (const QUrl &u : mUrls.urls)
            opened << u.toString();
        QCOMPARE(opened, url.isEmpty() ? QStringList() : QStringList { url });
        QCOMPARE(mAsked.size(), url.isEmpty() ? 1 : 0);
        if (url.isEmpty())
            QCOMPARE(mAsked[0].title + ": " + mAsked[0].text,
                QString("Incomplete LAN Configuration: This ethernet interface doesn't have an IP "
                        "address."));
    }

    // Names, versions and serial numbers from a module never turn into markup or links.
    void moduleTextShownLiterally()
    {
        VmConfig config = staticModule("RECORDER-PLUS");
        config.sysName = "<b>Bold</b>";
        config.serialNumber = "<i>S1</i>";
        config.swVersion = "<a href=\"file:///etc\">3.4</a>";
        MainWindow *window = startOn(config);
        QVERIFY(window);
        DevicePage *page = window->CurrentPage();
        QTRY_COMPARE(page->imageSerialNumberLabel()->text(),
            QString("Version: <a href=\"file:///etc\">3.4</a>  Sn: <i>S1</i>"));
        window->PostAppStatusMessage("<b>status</b>");
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->objectName() != "mUpdateSofwareDownloadLinkLabel"
                && label->text().contains('<'))
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        }
    }

private:
    // A window on one module, with the tab of netIf on show once the poll has filled it.
    MainWindow *startOn(const VmConfig &config, int netIf = 0)
    {
        mRack = std::make_unique<ModuleRack>();
        mModule = mRack->add(config);
        MainWindow *window = mFixture.start({ mModule->linkPath() });
        if (!window)
            return nullptr;
        NetworkTabUi &tab = window->CurrentPage()->networkTab(netIf);
        window->CurrentPage()->groupBox()->setCurrentWidget(tab.tab);
        const bool polled = QTest::qWaitFor(
            [&tab] { return tab.subnetMaskStatus->text() == QLatin1String("255.255.0.0"); });
        return polled ? window : nullptr;
    }

    // The same on a module that never gets a lease; the DHCP watch then scaled by timeScale.
    MainWindow *startNeverBound(const QString &productId, int netIf, double timeScale)
    {
        VmConfig config = staticModule(productId);
        config.dhcpOutcome = VmDhcpOutcome::Never;
        MainWindow *window = startOn(config, netIf);
        SessionWorker::setTimeScaleForTesting(timeScale);
        return window;
    }

    // The user picks DHCP and applies it.
    void chooseDhcp(NetworkTabUi &tab)
    {
        tab.modeComboBox->setCurrentIndex(0);
        emit tab.modeComboBox->activated(0);
        QVERIFY(QTest::qWaitFor([&tab] { return tab.applyPushButton->isEnabled(); }));
        tab.applyPushButton->click();
    }

    void chooseUPnP(NetworkTabUi &tab, int index)
    {
        tab.upnpEnableComboBox->setCurrentIndex(index);
        emit tab.upnpEnableComboBox->activated(index);
    }

    WindowFixture mFixture;
    std::unique_ptr<ModuleRack> mRack;
    VirtualModule *mModule = nullptr;
    QList<Request> mAsked;
    QMessageBox::StandardButton mYesAnswer = QMessageBox::Yes;
    UrlSink mUrls;
};

QTEST_MAIN(TstWindowNetwork)
#include "tst_window_network.moc"
