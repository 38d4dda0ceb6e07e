// Main window: status poll, page redraw, enable state and the network-edit tracking.
#include "main_window.h"

#include "device_page.h"
#include "discover_thread.h"
#include "module_session.h"
#include "session_rules.h"
#include "trivo_device.h"
#include "velto_combo_box.h"
#include "window_logging.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

const char kIpInputMask[] = "000.000.000.000";

// A healthy module's whole status pass takes about 26 ms; a slow one's is spread over
// ticks so that the window keeps answering between them.
constexpr int kPollReadBudgetMs = 40;

// Widgets are written only when the text changes, so a steady module causes no repaint.
void setTextIfDiffers(QLabel *label, const QString &text)
{
    if (label && label->text() != text)
        label->setText(text);
}

// Program writes are not user edits: they must not mark the interface edited.
void setTextIfDiffers(QLineEdit *edit, const QString &text, bool cursorToStart = false)
{
    if (!edit || edit->text() == text)
        return;
    const QSignalBlocker blocker(edit);
    edit->setText(text);
    if (cursorToStart)
        edit->setCursorPosition(0);
}

void setInputMaskIfDiffers(QLineEdit *edit, const QString &mask)
{
    if (edit->inputMask() == mask)
        return;
    const QSignalBlocker blocker(edit);
    edit->setInputMask(mask);
}

void setIndexIfDiffers(QComboBox *combo, int index)
{
    if (combo && combo->currentIndex() != index)
        combo->setCurrentIndex(index);
}

void setEnabledIfDiffers(QWidget *widget, bool enabled)
{
    if (widget && widget->isEnabled() != enabled)
        widget->setEnabled(enabled);
}

bool isStaticType(uint32_t addressType)
{
    return addressType == 0 || addressType == 2;
}

QString toBeDetermined()
{
    static const QString text = MainWindow::tr("To be determined");
    return text;
}

} // namespace

bool MainWindow::GetParameterValuesTrivo()
{
    if (!mCmdEngine || !mDevice || mPollState == PollState::Gone)
        return false;
    if (mPollState == PollState::Silent) {
        // One read tells whether the module is back; the whole pass follows only then.
        QString name;
        const eResult_t probe = mCmdEngine->GetModuleName(name);
        if (probe == eResultDisconnected) {
            moduleGone();
            return false;
        }
        if (probe == eResultTimeout) {
            moduleSilent();
            return false;
        }
        mPollState = PollState::Normal;
        setStatusText(SessionRules::ConnectStatusText(true, eConnectOK));
        StartStatusTimer();
    }
    StatusReadOptions options;
    options.budgetMs = kPollReadBudgetMs;
    options.upnp = CProductFeatures::HasInterfaceStateParameters(mBoardId);
    // Only pages that show the link speed (the 25G receiver's) read it.
    DevicePage *page = CurrentPage();
    for (int i = 1; page && i < page->networkTabCount() && i < 3; ++i)
        options.speed[i] = page->networkTab(i).speedStatus != nullptr;
    const StatusReadResult read = mDevice->ReadStatus(options);
    if (read.stopResult == eResultDisconnected) {
        qCDebug(lcWindow).noquote()
            << QStringLiteral("Device disconnected at MainWindow::GetParameterValuesTrivo:%1.  "
                              "Returning early.")
                   .arg(read.stopPoint);
        moduleGone();
        return false;
    }
    if (read.stopResult == eResultTimeout) {
        qCDebug(lcWindow).noquote()
            << QStringLiteral("Device not responding at MainWindow::GetParameterValuesTrivo:%1.  "
                              "Returning early.")
                   .arg(read.stopPoint);
        moduleSilent();
        return false;
    }
    if (read.changed)
        RefreshPage();
    return true;
}

void MainWindow::moduleSilent()
{
    if (mPollState != PollState::Silent) {
        mPollState = PollState::Silent;
        setStatusText(SessionRules::NotRespondingText(mGlobalDeviceComboBox->currentText()));
    }
    // Restarted after each failed read, so the pause follows the read's own wait.
    StartStatusTimer();
}

void MainWindow::moduleGone()
{
    if (mPollState == PollState::Gone)
        return;
    mPollState = PollState::Gone;
    setStatusText(SessionRules::ModuleLeftText(mGlobalDeviceComboBox->currentText()));
    showPageLive(CurrentPage(), false);
}

void MainWindow::showPageLive(DevicePage *page, bool live)
{
    if (!page)
        return;
    const QString connected = tr("Connected");
    const QString disconnected = tr("Disconnected");
    if (!live) {
        for (int i = 0; i < page->networkTabCount(); ++i)
            setTextIfDiffers(page->networkTab(i).linkStatusLabel, disconnected);
    }
    // The USB text is fixed while a module is connected; the poll rewrites the link texts.
    for (const char *name : { "mUsbHubImageUSBStatusLabel", "mImageUSBStatusLabel" })
        setTextIfDiffers(
            page->findChild<QLabel *>(QLatin1String(name)), live ? connected : disconnected);
    // A disabled label draws its picture greyed out: the power LED off.
    setEnabledIfDiffers(page->findChild<QLabel *>(QStringLiteral("mImagePowerStatusLED")), live);
}

void MainWindow::UpdateStatusUi()
{
    QString bail;
    if (!mCmdEngine)
        bail = QStringLiteral("mCmdEngine is null");
    else if (!mCmdEngine->IsConnected())
        bail = QStringLiteral("mCmdEngine is not connected");
    else if (engineHeld())
        bail = QStringLiteral("mCmdEngine is being used by ")
            + QLatin1String(EngineHolder::UserName(mSession->Holder().Holder()));
    if (!bail.isEmpty()) {
        qCDebug(lcWindow).noquote()
            << QStringLiteral("UpdateStatusUi() - %1, bailing out.").arg(bail);
        return;
    }

    if (!GetParameterValuesTrivo())
        return;

    DevicePage *page = CurrentPage();
    const bool hasOwnPage = page->row().family() != PageFamily::Unknown;
    GenericUpdateStatusUi(CCmdEngine::eNetIfControl, page->networkTab(0),
        "MainWindow::GenericUpdateStatusUiControlLan");
    updateAuthenticationField(page);
    if (!hasOwnPage)
        setEnabledIfDiffers(page->updateTab().updatePushButton, false);
    if (page->networkTabCount() > 1)
        GenericUpdateStatusUi(CCmdEngine::eNetIfMedia, page->networkTab(1),
            page->networkTab(1).speedStatus ? "MainWindow::GenericUpdateStatusUiMediaLan1Speed"
                                            : "MainWindow::GenericUpdateStatusUiMediaLan1");
    if (page->networkTabCount() > 2)
        GenericUpdateStatusUi(CCmdEngine::eNetIfMedia2, page->networkTab(2),
            page->networkTab(2).speedStatus ? "MainWindow::GenericUpdateStatusUiMediaLan2Speed"
                                            : "MainWindow::GenericUpdateStatusUiMediaLan2");
    // Once per poll, not once per interface: nothing above changes what it depends on.
    if (mEngineFree && mDevice && mCmdEngine->IsConnected())
        SetEnableState();
}

void MainWindow::updateAuthenticationField(DevicePage *page)
{
    if (!mDevice)
        return;
    InfoTabUi &info = page->infoTab();
    const bool enabled = mDevice->mAuthenticationEnabled;
    setTextIfDiffers(info.authenticationLineEdit, enabled ? tr("Enabled") : tr("Disabled"));
    setEnabledIfDiffers(info.disableAuthenticationPushButton, enabled);
}

void MainWindow::GenericUpdateStatusUi(int netIf, NetworkTabUi &tab, const char *functionName)
{
    if (!mEngineFree || !mCmdEngine || !mCmdEngine->IsConnected())
        return;
    if (dhcpRunning()) {
        qCDebug(lcWindow).noquote() << functionName
                                    << QStringLiteral("mCmdEngine is being used by DHCP thread for "
                                                      "netIf%1, bailing out.")
                                           .arg(mCurrentNetIf);
        return;
    }
    if (!mDevice || netIf >= mDevice->mInterfaceCount)
        return;
    const TrivoInterface &rec = mDevice->mInterfaces[static_cast<size_t>(netIf)];
    const uint32_t type = rec.addressType;
    const auto iface = static_cast<CCmdEngine::eNetIf_t>(netIf);

    setTextIfDiffers(tab.modeStatus, isStaticType(type) ? tr("Static") : tr("DHCP"));

    const bool comboDhcp = tab.modeComboBox->currentIndex() == 0;
    const uint32_t comboMode = comboDhcp ? 1 : 2;
    bool modeChanged = false;
    if (comboMode != mLanModeSeen[netIf]) {
        mLanModeSeen[netIf] = comboMode;
        modeChanged = true;
    }

    if (tab.speedStatus)
        setTextIfDiffers(tab.speedStatus, rec.speedActual);
    setTextIfDiffers(tab.macAddressLineEdit, rec.macAddress);

    QString values[3] = { rec.ipAddress, rec.subnetMask, rec.gateway };
    if (comboDhcp) {
        for (QString &value : values) {
            if (value.isEmpty())
                value = toBeDetermined();
        }
    }
    QLineEdit *const edits[3]
        = { tab.ipAddressLineEdit, tab.subnetMaskLineEdit, tab.gatewayIpLineEdit };

    if (modeChanged) {
        QString shown[3];
        if (!comboDhcp) {
            mCmdEngine->GetModuleIpAddress(iface, shown[0], false);
            mCmdEngine->GetModuleSubnetMask(iface, shown[1], false);
            mCmdEngine->GetModuleGateway(iface, shown[2], false);
        } else if (type == 1) {
            mCmdEngine->GetModuleIpAddress(iface, shown[0], true);
            mCmdEngine->GetModuleSubnetMask(iface, shown[1], true);
            mCmdEngine->GetModuleGateway(iface, shown[2], true);
        }
        for (int k = 0; k < 3; ++k) {
            if (comboDhcp && shown[k].isEmpty())
                shown[k] = toBeDetermined();
            setInputMaskIfDiffers(
                edits[k], comboDhcp ? QString() : QString::fromLatin1(kIpInputMask));
            setTextIfDiffers(edits[k], shown[k]);
        }
    } else if (comboDhcp && comboMode == type) {
        bool userModified = false;
        for (QLineEdit *edit : edits)
            userModified = userModified || edit->isModified();
        if (!userModified) {
            setIndexIfDiffers(tab.modeComboBox, (type == 1 || type == 3) ? 0 : 1);
            for (int k = 0; k < 3; ++k) {
                if (edits[k]->text() != values[k]) {
                    setInputMaskIfDiffers(edits[k], QString());
                    setTextIfDiffers(edits[k], values[k]);
                }
            }
            mLanEdited[netIf] = false;
        }
    }

    setTextIfDiffers(tab.ipAddressStatus, values[0]);
    setTextIfDiffers(tab.subnetMaskStatus, values[1]);
    setTextIfDiffers(tab.gatewayIpStatus, values[2]);

    // Models without UPnP host support keep the form's text.
    if (tab.upnpEnableStatus && !tab.upnpEnableStatus->isHidden()
        && CProductFeatures::HasInterfaceStateParameters(mBoardId)) {
        setTextIfDiffers(tab.upnpEnableStatus, rec.upnpEnabled ? tr("Enabled") : tr("Disabled"));
        setIndexIfDiffers(tab.upnpEnableComboBox, rec.upnpEnabled ? 0 : 1);
    }
    setTextIfDiffers(
        tab.linkStatusLabel, rec.networkConnected ? tr("Connected") : tr("Disconnected"));
}

void MainWindow::RefreshPage()
{
    const bool connected = mCmdEngine && mCmdEngine->IsConnected();
    if (!connected) {
        mEngineFree = false;
        mImageSafebootModeLabel->hide();
    } else if (!DiscoveryRunning()) {
        mEngineFree = !engineHeld();
        if (mEngineFree && mPollState == PollState::Normal) {
            uint32_t safeboot = 0;
            const eResult_t rc = mCmdEngine->GetModuleSafebootMode(safeboot);
            if (rc == eResultOK)
                mImageSafebootModeLabel->setVisible(safeboot != 0);
            else if (rc == eResultTimeout)
                moduleSilent(); // the page's own reads below would each wait as long
        }
    }

    DevicePage *page = CurrentPage();
    if (!page)
        return;
    if (page->row().family() == PageFamily::Unknown) {
        const bool haveEntries = mCmdEngine && mGlobalDeviceComboBox->count() > 0;
        QTabWidget *tabs = page->groupBox();
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setTabEnabled(i, haveEntries);
        if (!haveEntries) {
            clearUnknownPage(page);
            SetEnableState();
            return;
        }
        setTextIfDiffers(page->imageUnknownNameLabel(), tr("Unknown"));
        if (page->imageUsbStatusLabel())
            page->imageUsbStatusLabel()->show();
        if (page->networkTab(0).linkStatusLabel)
            page->networkTab(0).linkStatusLabel->show();
    }
    refreshPageContents(page);
}

void MainWindow::clearUnknownPage(DevicePage *page)
{
    setTextIfDiffers(page->imageUnknownNameLabel(), tr("No Device"));
    setTextIfDiffers(page->imageSerialNumberLabel(), tr("No Device"));
    NetworkTabUi &tab = page->networkTab(0);
    for (QLabel *label : { tab.modeStatus, tab.ipAddressStatus, tab.subnetMaskStatus,
             tab.gatewayIpStatus, tab.upnpEnableStatus })
        setTextIfDiffers(label, QString());
    InfoTabUi &info = page->infoTab();
    for (QLineEdit *edit : { tab.ipAddressLineEdit, tab.subnetMaskLineEdit, tab.gatewayIpLineEdit,
             tab.macAddressLineEdit, info.nameLineEdit, info.typeLineEdit,
             info.authenticationLineEdit })
        setTextIfDiffers(edit, QString());
    setTextIfDiffers(page->updateTab().currVersionLineEdit, QStringLiteral("0.0"));
    if (page->imageUsbStatusLabel())
        page->imageUsbStatusLabel()->hide();
    if (tab.linkStatusLabel)
        tab.linkStatusLabel->hide();
}

void MainWindow::refreshPageContents(DevicePage *page)
{
    const bool connected = mCmdEngine && mCmdEngine->IsConnected();
    // A worker on the engine (a DHCP request) has it to itself, and a silent or departed
    // module has nothing to read: the page keeps its texts.
    if (connected && (engineHeld() || mPollState != PollState::Normal)) {
        SetEnableState();
        return;
    }
    InfoTabUi &info = page->infoTab();
    QString version;
    QString serial;
    if (connected) {
        mCmdEngine->GetModuleSWVersion(version);
        if (mCmdEngine->GetModuleSerialNumber(serial) != eResultOK)
            serial.clear();
        setTextIfDiffers(page->updateTab().currVersionLineEdit, version, true);
        refreshInfoTab(page, serial);
    } else {
        setTextIfDiffers(page->updateTab().currVersionLineEdit, QString());
        for (QLineEdit *edit : { info.typeLineEdit, info.nameLineEdit, info.authenticationLineEdit,
                 info.safebootLineEdit, info.bootloaderLineEdit })
            setTextIfDiffers(edit, QString());
    }
    setTextIfDiffers(page->imageSerialNumberLabel(),
        connected ? tr("Version: %1  Sn: %2").arg(version, serial) : tr("Unknown Device"));

    if (connected && mEngineFree && mDevice) {
        const int count = qMin(page->networkTabCount(), mDevice->mInterfaceCount);
        for (int i = 0; i < count; ++i) {
            NetworkTabUi &tab = page->networkTab(i);
            const TrivoInterface &rec = mDevice->mInterfaces[static_cast<size_t>(i)];
            if (!mLanEdited[i])
                setIndexIfDiffers(tab.modeComboBox, isStaticType(rec.addressType) ? 1 : 0);
            setIndexIfDiffers(tab.upnpEnableComboBox, rec.upnpEnabled ? 0 : 1);
        }
    }
    SetEnableState();
}

void MainWindow::refreshInfoTab(DevicePage *page, const QString &serial)
{
    InfoTabUi &info = page->infoTab();
    QString name;
    if (mCmdEngine->GetModuleName(name) == eResultOK && info.nameLineEdit->text() != name) {
        setTextIfDiffers(info.nameLineEdit, name, true);
        const int current = mGlobalDeviceComboBox->currentIndex();
        const QString knownSerial = serial.isEmpty() ? mSession->UpdateTargetSerial() : serial;
        if (current >= 0)
            mGlobalDeviceComboBox->setItemText(
                current, SessionRules::DeviceEntryText(name, knownSerial));
    }

    const QString modelName = CProductID::GetModelNameFromBoardID(mBoardId);
    uint32_t pcbRevision = 0;
    if (modelName.contains(QStringLiteral("10G2")))
        mCmdEngine->GetModulePCBRevision(pcbRevision);
    setTextIfDiffers(info.typeLineEdit,
        SessionRules::InfoTypeText(
            SessionRules::ModelDisplayName(mBoardId), modelName, pcbRevision));
    updateAuthenticationField(page);

    if (mManufacturingMode == 1) {
        QString text;
        if (mCmdEngine->GetModuleSafebootVersion(text) == eResultOK)
            setTextIfDiffers(info.safebootLineEdit, text);
        if (mCmdEngine->GetModuleBootloaderVersion(text) == eResultOK)
            setTextIfDiffers(info.bootloaderLineEdit, text);
    }
}

void MainWindow::SetEnableState()
{
    DevicePage *page = CurrentPage();
    if (!page)
        return;

    const int shownNetIf = NetIfOfWidget(page->groupBox());
    if (shownNetIf >= 0 && shownNetIf < page->networkTabCount()) {
        NetworkTabUi &tab = page->networkTab(shownNetIf);
        for (QLineEdit *edit : { tab.ipAddressLineEdit, tab.subnetMaskLineEdit,
                 tab.gatewayIpLineEdit, tab.macAddressLineEdit }) {
            if (!mCopyConnected.contains(edit)) {
                connect(mCopyAct, &QAction::triggered, edit, &QLineEdit::copy);
                mCopyConnected << edit;
            }
        }
    }

    const bool busy = engineHeld() || DiscoveryRunning() || updateBusy();
    const bool enabled = mEngineFree && !busy;
    const bool connected = mCmdEngine && mCmdEngine->IsConnected();
    // Without a connection the user must still be able to pick another module.
    setEnabledIfDiffers(mGlobalDeviceComboBox, !busy && (enabled || !connected));

    for (int netIf = 0; netIf < page->networkTabCount(); ++netIf) {
        NetworkTabUi &tab = page->networkTab(netIf);
        // A firmware update holds the control LAN only; media LANs follow the engine.
        const bool on = netIf == 0 ? enabled : mEngineFree;
        // Open Web Page stays enabled: it refuses by itself while a worker holds the engine.
        for (QWidget *widget : { static_cast<QWidget *>(tab.modeComboBox),
                 static_cast<QWidget *>(tab.ipAddressLineEdit),
                 static_cast<QWidget *>(tab.subnetMaskLineEdit),
                 static_cast<QWidget *>(tab.gatewayIpLineEdit),
                 static_cast<QWidget *>(tab.macAddressLineEdit),
                 static_cast<QWidget *>(tab.speedComboBox),
                 static_cast<QWidget *>(tab.applyPushButton),
                 static_cast<QWidget *>(tab.upnpEnableComboBox) })
            setEnabledIfDiffers(widget, on);
    }
    InfoTabUi &info = page->infoTab();
    setEnabledIfDiffers(info.nameLineEdit, enabled);
    setEnabledIfDiffers(info.setNamePushButton, enabled);
    setEnabledIfDiffers(page->updateTab().updatePushButton, enabled && updateSupported());
}

int MainWindow::NetIfOfWidget(QObject *object) const
{
    static const QRegularExpression tabName(QStringLiteral("^m\\w+Tab$"));
    if (auto *tabs = qobject_cast<QTabWidget *>(object))
        object = tabs->currentWidget();
    for (; object; object = object->parent()) {
        if (!tabName.match(object->objectName()).hasMatch())
            continue;
        const QString name = object->objectName();
        if (name == QLatin1String("mNetworkTab"))
            return CCmdEngine::eNetIfControl;
        if (name == QLatin1String("mMediaNetworkTab"))
            return CCmdEngine::eNetIfMedia;
        if (name == QLatin1String("mMedia2NetworkTab"))
            return CCmdEngine::eNetIfMedia2;
        return -1;
    }
    return -1;
}

void MainWindow::TrivoGroupBoxChanged(int index)
{
    mCurrentTabIndex = index;
    const int netIf = NetIfOfWidget(sender());
    if (netIf >= 0)
        mCurrentNetIf = static_cast<uint32_t>(netIf);
}

void MainWindow::LanConfigurationModified()
{
    QObject *source = sender();
    const int netIf = NetIfOfWidget(source);
    if (netIf < 0)
        return;
    if (auto *combo = qobject_cast<QComboBox *>(source); combo && combo->parentWidget()) {
        static const QRegularExpression applyName(
            QStringLiteral("^m\\w*NetworkConfigApplyPushButton$"));
        const QList<QPushButton *> buttons = combo->parentWidget()->findChildren<QPushButton *>();
        for (QPushButton *button : buttons) {
            if (applyName.match(button->objectName()).hasMatch())
                button->setEnabled(false);
        }
    }
    DevicePage *page = CurrentPage();
    if (!page || netIf >= page->networkTabCount())
        return;
    mLanEdited[netIf] = true;
    NetworkTabUi &tab = page->networkTab(netIf);
    const bool dhcp = tab.modeComboBox->currentIndex() == 0;
    for (QLineEdit *edit : { tab.ipAddressLineEdit, tab.subnetMaskLineEdit, tab.gatewayIpLineEdit })
        edit->setReadOnly(dhcp);
}
