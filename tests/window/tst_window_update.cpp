// The window's firmware update and factory reset against virtual modules: what only the
// window shows (dialogs, bar, page, device list); the outcomes themselves are the update
// sequence's and are tested without widgets.
#include "app_settings.h"
#include "device_page.h"
#include "discover_thread.h"
#include "main_window.h"
#include "module_rack.h"
#include "module_session.h"
#include "test_data.h"
#include "update_sequence.h"
#include "window_message_box.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {
constexpr int kTimeoutMs = 60000;

QStringList &portList()
{
    static QStringList ports;
    return ports;
}

VmConfig updatable(const QString &serial)
{
    VmConfig c;
    c.name = "m";
    c.productId = "DECODER10G2";
    c.serialNumber = serial;
    c.swVersion = "3.4.0";
    c.newSwVersion = "3.5.0";
    c.verifyDelayMs = 100;
    c.commitMs = 2000; // long enough for several 500 ms progress ticks
    c.rebootDelayMs = 200; // the reply to the reboot request gets out first, even on a busy machine
    c.returnDelayMs = 300;
    c.kermitTimeoutMs = 1000;
    return c;
}

} // namespace

class TstWindowUpdate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLoggingCategory::setFilterRules(QStringLiteral("trivo.*.debug=false"));
        // The module's 2 s commit must fit in the scaled 180 s wait.
        SessionWorker::setTimeScaleForTesting(0.05);
        MainWindow::setPortListerForTesting([](QStringList &paths) {
            paths = portList();
            return true;
        });
    }

    void init()
    {
        AppSettings().Write();
        mAsked.clear();
        WindowMessageBox::setResponderForTesting([this](const WindowMessageBox::Request &r) {
            mAsked << r;
            return mAnswer ? mAnswer(r) : (r.defaultButton ? r.defaultButton : QMessageBox::Ok);
        });
        mAnswer = nullptr;
    }

    void cleanup()
    {
        if (mWindow)
            mWindow->close();
        mWindow.reset();
        WindowMessageBox::setFileResponderForTesting(nullptr);
    }

    // A whole update from the Update button: the dialogs, the bar, the reboot and the
    // reconnection, and the new version on the page.
    void updateFromWindow()
    {
        ModuleRack rack;
        const QByteArray content = testPayload(300 * 1024, 9);
        VirtualModule *module = readyToUpdate(rack, updatable("WU1"), content);
        QVERIFY(module);
        DevicePage *page = mWindow->CurrentPage();
        QPushButton *button = page->updateTab().updatePushButton;
        QCOMPARE(page->updateTab().currVersionLineEdit->text(), QString("3.4.0"));
        // The bar as the user sees it, with the text beside it.
        QList<QPair<QString, int>> bar;
        connect(page->updateTab().progressBar, &QProgressBar::valueChanged, [&](int value) {
            bar << qMakePair(page->updateTab().progressMessageLabel->text(), value);
        });
        bool comboWhileRunning = true;
        mAnswer = [&](const WindowMessageBox::Request &r) {
            if (r.informativeText.endsWith("must now reboot.")) {
                comboWhileRunning = mWindow->DeviceComboBox()->isEnabled();
                button->click(); // pressing Update during the update changes nothing
            }
            return r.defaultButton;
        };

        button->click();
        QVERIFY(mWindow->Update()->IsBusy());
        QVERIFY(!button->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!mWindow->Update()->IsBusy(), kTimeoutMs);

        QCOMPARE(mFileDialogs, 1);
        QCOMPARE(mAsked.size(), 3);
        QCOMPARE(mAsked[0].title, QString("Software Update Confirmation"));
        QCOMPARE(
            mAsked[0].informativeText, UpdatePrompts::ConfirmUpdateText("RX-10G2-HDMI", "fw.vlts"));
        QCOMPARE(mAsked[0].buttons, QMessageBox::Yes | QMessageBox::Cancel);
        QCOMPARE(mAsked[0].defaultButton, QMessageBox::Yes);
        QCOMPARE(mAsked[1].title + '|' + mAsked[1].informativeText,
            QString("Confirm Update|Commit Uploaded File?"));
        QCOMPARE(mAsked[2].title, QString("RX-10G2-HDMI"));
        QCOMPARE(mAsked[2].buttons, QMessageBox::Ok);
        QVERIFY(!comboWhileRunning);

        QCOMPARE(sha256Hex(module->receivedFiles().value(0).data), sha256Hex(content));
        QCOMPARE(module->plugCount(), 2);
        QCOMPARE(page->updateTab().progressMessageLabel->text(), QString("Update Succeeded"));
        QTRY_COMPARE(page->updateTab().currVersionLineEdit->text(), QString("3.5.0"));
        QCOMPARE(mWindow->LastConnectedSerialNumber(), QString("WU1"));
        QTRY_VERIFY(mWindow->DeviceComboBox()->isEnabled() && button->isEnabled());
        int committing = 0;
        for (const auto &shown : qAsConst(bar))
            committing = shown.first == "Committing firmware image" ? qMax(committing, shown.second)
                                                                    : committing;
        QVERIFY2(committing > 0 && committing <= 100, qPrintable(QString::number(committing)));
        QCOMPARE(page->updateTab().progressBar->value(), 0); // reset by the clean-up
        mWindow->close();
        QCOMPARE(AppSettings::Read(false).firmwarePath, rack.dir());
    }

    // A failure is reported on the page and in the status line; the abort the module was
    // not told about is written when it next connects.
    void failureAndDeferredAbort()
    {
        ModuleRack rack;
        VmConfig config = updatable("WU2");
        config.faults.nackReason = "REFUSED";
        config.faults.nackType = "PSID";
        config.faults.nackParam = 0x20D; // the verification request
        VirtualModule *module = readyToUpdate(rack, config, testPayload(8192, 1));
        QVERIFY(module);
        DevicePage *page = mWindow->CurrentPage();

        mWindow->UpdatePushButtonChanged();
        QTRY_VERIFY_WITH_TIMEOUT(!mWindow->Update()->IsBusy(), kTimeoutMs);
        const QString failed = "Update Failed: Image verification failed";
        QCOMPARE(page->updateTab().progressMessageLabel->text(), failed);
        QCOMPARE(mWindow->StatusText(), failed);
        QVERIFY(!requestLines(module).contains("PSID 0x0000020e 0"));

        module->setFaults(VmFaults());
        module->clearRequests();
        mWindow->Refresh();
        QTRY_VERIFY_WITH_TIMEOUT(requestLines(module).contains("PSID 0x0000020e 0"), kTimeoutMs);
        QVERIFY(requestLines(module).contains("PSID 0x00000206 8"));
    }

    // Discovery runs that do not find the rebooted module do not count as its return.
    void moduleNotBack()
    {
        ModuleRack rack;
        VmConfig config = updatable("WU3");
        config.returnDelayMs = -1;
        VirtualModule *module = readyToUpdate(rack, config, testPayload(8192, 2));
        QVERIFY(module);

        mWindow->UpdatePushButtonChanged();
        QTRY_VERIFY_WITH_TIMEOUT(module->plugCount() == 1 && !module->isPlugged(), kTimeoutMs);
        for (int run = 0; run < 2; ++run) {
            QTRY_VERIFY_WITH_TIMEOUT(!mWindow->DiscoveryRunning(), kTimeoutMs);
            mWindow->Refresh();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!mWindow->Update()->IsBusy(), kTimeoutMs);
        QCOMPARE(mWindow->Update()->State().result, int(eUpdateReconnectFailed));
        QCOMPARE(mWindow->StatusText(), QString("Update Failed: Could not reconnect with module"));
    }

    // Closing during the upload tells the module: the Kermit "User Quit" packet, update
    // state 8 and the lock given back go out, so the next update succeeds.
    void closeDuringUpload()
    {
        ModuleRack rack;
        const QByteArray content = testPayload(8 * 1024 * 1024, 5);
        VirtualModule *module = readyToUpdate(rack, updatable("WU4"), content);
        QVERIFY(module);
        mWindow->UpdatePushButtonChanged();
        QTRY_VERIFY_WITH_TIMEOUT(mWindow->CmdEngine()->GetProgress() > 0.05f, kTimeoutMs);
        mWindow->close();
        QTRY_VERIFY_WITH_TIMEOUT(module->lastTransferError().contains("User Quit"), 5000);
        QTRY_VERIFY(requestLines(module).contains("PSID 0x00000206 8"));
        QTRY_VERIFY(requestLines(module).contains("PSID 0x0000020e 0"));
        QVERIFY(module->receivedFiles().isEmpty());
        mWindow.reset();

        const QByteArray second = testPayload(64 * 1024, 6);
        QVERIFY(writeTestFile(rack.dir() + "/fw.vlts", second));
        QVERIFY(startWindow({ module->linkPath() }));
        QTRY_VERIFY_WITH_TIMEOUT(
            mWindow->CurrentPage()->updateTab().updatePushButton->isEnabled(), kTimeoutMs);
        mWindow->UpdatePushButtonChanged();
        QTRY_VERIFY_WITH_TIMEOUT(!mWindow->Update()->IsBusy(), kTimeoutMs);
        QCOMPARE(mWindow->Update()->State().result, int(eUpdateSucceeded));
        QCOMPARE(sha256Hex(module->receivedFiles().value(0).data), sha256Hex(second));
    }

    // A lock no update holds any more is released only on request, behind a warning that
    // another program may be updating the module: update state 8, then lock 0.
    void lockLeftSet()
    {
        ModuleRack rack;
        VmConfig config = updatable("LK1");
        config.updateLock = 1;
        VirtualModule *module = readyToUpdate(rack, config, testPayload(1024, 3));
        QVERIFY(module);
        mAnswer = [](const WindowMessageBox::Request &r) {
            return r.buttonTexts.value(QMessageBox::Apply) == "Release the lock" ? QMessageBox::Apply
                : r.informativeText.contains("another program may be updating") ? QMessageBox::Yes
                                                                                 : r.defaultButton;
        };
        mWindow->UpdatePushButtonChanged();
        QCOMPARE(mAsked.size(), 2);
        QCOMPARE(requestLines(module).filter(QRegularExpression("^PS")),
            (QStringList { "PSID 0x00000206 8", "PSID 0x0000020e 0" }));
        QCOMPARE(mWindow->StatusText(), QString("The update lock was released."));
    }

    void factoryReset_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("refused"); // the module refuses the reset
        QTest::addColumn<QString>("status"); // the status line afterwards ("" unchanged)
        QTest::addColumn<QString>("ip"); // the control LAN's address field afterwards
        const QString applied = "192.168.10.20";
        QTest::newRow("reset") << true << int(QMessageBox::Reset) << false
                               << "M - FR1: factory settings restored."
                               << "192.168.1.50";
        QTest::newRow("refused") << true << int(QMessageBox::Reset) << true
                                 << "M - FR1: factory reset failed (the module does not "
                                    "support this request)."
                                 << applied;
        QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << false << "" << applied;
        QTest::newRow("no connection")
            << false << int(QMessageBox::Reset) << false << "" << QString();
    }

    // A reset is reported naming the module; the address fields then show what the module
    // holds, not what was applied before.
    void factoryReset()
    {
        QFETCH(bool, connected);
        QFETCH(int, answer);
        QFETCH(bool, refused);
        QFETCH(QString, status);
        QFETCH(QString, ip);
        ModuleRack rack;
        VmConfig config = updatable("FR1");
        config.sysName = "M";
        VirtualModule *module = rack.add(config);
        QVERIFY(startWindow({ module->linkPath() }));
        NetworkTabUi &tab = mWindow->CurrentPage()->networkTab(0);
        mAnswer = [answer](const WindowMessageBox::Request &r) {
            return r.buttons.testFlag(QMessageBox::Apply) ? QMessageBox::Apply
                                                          : QMessageBox::StandardButton(answer);
        };
        if (connected) {
            QTRY_VERIFY(tab.applyPushButton->isEnabled());
            tab.ipAddressLineEdit->setText("192.168.10.20");
            tab.subnetMaskLineEdit->setText("255.255.0.0");
            tab.gatewayIpLineEdit->setText("192.168.10.1");
            tab.applyPushButton->click();
            QTRY_COMPARE(tab.ipAddressStatus->text(), QString("192.168.10.20")); // polled since
            QVERIFY(!mWindow->LanEdited(0)); // taken: the fields follow the module again
            mAsked.clear();
        } else {
            mWindow->Session()->Disconnect();
        }
        if (refused) {
            VmFaults faults;
            faults.nackReason = "UNSUPCMD";
            faults.nackParam = 0x63010000;
            module->setFaults(faults);
        }
        const QString before = mWindow->StatusText();
        mWindow->Actions().first()->trigger(); // Revert to Factory Settings

        QCOMPARE(mAsked.size(), connected ? 1 : 0);
        QCOMPARE(requestLines(module).contains("PSID 0x63010000 2"),
            connected && answer == QMessageBox::Reset && !refused);
        QCOMPARE(mWindow->StatusText(), status.isEmpty() ? before : status);
        if (connected)
            QTRY_COMPARE(tab.ipAddressLineEdit->text().remove(' '), ip);
    }

private:
    // A module, the window connected to it with its Update button enabled, and the package
    // the file dialog will give.
    VirtualModule *readyToUpdate(
        ModuleRack &rack, const VmConfig &config, const QByteArray &content)
    {
        VirtualModule *module = rack.add(config);
        const QString package = rack.dir() + "/fw.vlts";
        mFileDialogs = 0;
        WindowMessageBox::setFileResponderForTesting([this, package](
                                                         const WindowMessageBox::FileRequest &r) {
            ++mFileDialogs;
            return r.title == "Upload a file" && r.filter == ".VLTS (*.vlts)" ? package : QString();
        });
        if (!writeTestFile(package, content) || !startWindow({ module->linkPath() }))
            return nullptr;
        QPushButton *button = mWindow->CurrentPage()->updateTab().updatePushButton;
        return QTest::qWaitFor([button] { return button->isEnabled(); }, kTimeoutMs) ? module
                                                                                     : nullptr;
    }

    bool startWindow(const QStringList &ports)
    {
        portList() = ports;
        // The module's link directory: its entries coming and going are the device notices.
        qputenv("TRIVO_EXTRA_PORTS", QFileInfo(ports.value(0)).absolutePath().toLocal8Bit());
        mWindow = std::make_unique<MainWindow>();
        MainWindow *window = mWindow.get();
        return QTest::qWaitFor(
            [window] {
                return window->isVisible() && !window->DiscoveryRunning()
                    && window->CmdEngine()->IsConnected();
            },
            kTimeoutMs);
    }

    std::unique_ptr<MainWindow> mWindow;
    QList<WindowMessageBox::Request> mAsked;
    int mFileDialogs = 0;
    std::function<QMessageBox::StandardButton(const WindowMessageBox::Request &)> mAnswer;
};

QTEST_MAIN(TstWindowUpdate)
#include "tst_window_update.moc"
