// Main window: the network controls (apply with its checks, DHCP lease, UPnP host, web
// page, authentication, system name).
#include "main_window.h"

#include "device_page.h"
#include "dhcp_thread.h"
#include "module_session.h"
#include "network_rules.h"
#include "session_rules.h"
#include "trivo_device.h"
#include "velto_combo_box.h"
#include "window_logging.h"
#include "window_message_box.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

void showNotice(QWidget *parent, const NetworkRules::Notice &notice)
{
    if (notice.isEmpty())
        return;
    if (notice.warning)
        WindowMessageBox::warning(parent, notice.title, notice.text);
    else
        WindowMessageBox::information(parent, notice.title, notice.text);
}

// A question whose informative text is the whole message, as the network boxes ask it.
bool confirmed(
    QWidget *parent, const QString &title, const QString &question, QMessageBox::StandardButton yes)
{
    WindowMessageBox::Request request;
    request.title = title;
    request.informativeText = question;
    request.buttons = yes | QMessageBox::Cancel;
    request.defaultButton = yes;
    return WindowMessageBox::ask(parent, request) == yes;
}

} // namespace

void MainWindow::connectNetworkControls(DevicePage *page)
{
    for (int netIf = 0; netIf < page->networkTabCount(); ++netIf) {
        NetworkTabUi &tab = page->networkTab(netIf);
        connect(tab.applyPushButton, &QPushButton::clicked, this,
            &MainWindow::LanApplyPushButtonChanged);
        connect(tab.upnpEnableComboBox, &QComboBox::activated, this,
            &MainWindow::TrivoUPnPEnableComboBoxChanged);
        connect(tab.openWebPagePushButton, &QPushButton::clicked, this,
            &MainWindow::TrivoOpenWebPagePushButtonClicked);
    }
    InfoTabUi &info = page->infoTab();
    connect(
        info.setNamePushButton, &QPushButton::clicked, this, &MainWindow::InfoSetPushButtonChanged);
    connect(info.disableAuthenticationPushButton, &QPushButton::clicked, this,
        &MainWindow::TrivoDisableAuthenticationPushButtonChanged);
}

void MainWindow::connectDhcpWorker()
{
    mDHCPThread = mSession->Dhcp();
    connect(
        mDHCPThread, &DHCPThread::PostAppStatusMessage, this, &MainWindow::PostAppStatusMessage);
    connect(
        mDHCPThread, &DHCPThread::PostIpAddressOffered, this, &MainWindow::PostIpAddressOffered);
    connect(mDHCPThread, &QThread::finished, this, &MainWindow::ObtainIpFromDHCPComplete);
}

bool MainWindow::refuseWhileEngineHeld()
{
    if (!engineHeld())
        return false;
    if (dhcpRunning())
        setStatusText(NetworkRules::DhcpAlreadyRunningText());
    return true;
}

void MainWindow::PostIpAddressOffered(CCmdEngine::eNetIf_t)
{
    setStatusText(SessionRules::ConnectStatusText(true, eConnectOK));
}

void MainWindow::ObtainIpFromDHCP(CCmdEngine::eNetIf_t netIf)
{
    if (dhcpRunning() || mDHCPThread->isRunning()) {
        setStatusText(NetworkRules::DhcpAlreadyRunningText());
        return;
    }
    if (!mCmdEngine || !mCmdEngine->IsConnected())
        return;
    if (mStatusTimer)
        mStatusTimer->stop();
    // Another worker on the engine: the poll goes on and nothing starts.
    if (!mSession->StartDhcp(netIf)) {
        StartStatusTimer();
        return;
    }
    SetEnableState();
}

void MainWindow::LanApplyPushButtonChanged()
{
    const int netIf = NetIfOfWidget(sender());
    DevicePage *page = CurrentPage();
    if (netIf < 0 || !page || netIf >= page->networkTabCount())
        return;
    ApplyLan(page->networkTab(netIf), netIf);
}

void MainWindow::ApplyLan(NetworkTabUi &tab, int netIf)
{
    NetworkRules::LanRequest request;
    request.netIf = netIf;
    request.dhcp = tab.modeComboBox->currentIndex() == 0;
    request.ip = tab.ipAddressLineEdit->text();
    request.mask = tab.subnetMaskLineEdit->text();
    request.gateway = tab.gatewayIpLineEdit->text();
    // The combo holds the model's speed choice as it is written to the module.
    request.speed = tab.speedComboBox ? tab.speedComboBox->currentText() : QString();
    const NetworkRules::LanCheck check = NetworkRules::CheckLanRequest(request);
    if (!check.ok()) {
        showNotice(this, check.refusal);
        return;
    }
    const NetworkRules::LanChange &change = check.change;
    if (!confirmed(this, NetworkRules::ConfirmationTitle(),
            NetworkRules::ConfirmationText(SessionRules::ModelDisplayName(mBoardId), netIf, change),
            QMessageBox::Apply))
        return;

    const auto iface = static_cast<CCmdEngine::eNetIf_t>(netIf);
    if (change.dhcp) {
        ObtainIpFromDHCP(iface);
    } else {
        eResult_t rc = eResultDisconnected;
        if (mCmdEngine && mCmdEngine->IsConnected() && !refuseWhileEngineHeld()) {
            rc = mCmdEngine->SetModuleNetworkConfiguration(
                iface, change.ip, change.mask, change.gateway, change.speed);
            setStatusText(NetworkRules::ApplyResultText(rc));
        }
        tab.ipAddressLineEdit->setText(change.ip);
        tab.subnetMaskLineEdit->setText(change.mask);
        tab.gatewayIpLineEdit->setText(change.gateway);
        // Taken: from now on the fields show what the module holds.
        if (rc == eResultOK)
            followModule(netIf);
    }
    RefreshPage();
}

void MainWindow::TrivoUPnPEnableComboBoxChanged(int index)
{
    if (!mCmdEngine || !mCmdEngine->IsConnected() || refuseWhileEngineHeld())
        return;
    // Only the control LAN has a UPnP host; the media LANs' combos are hidden.
    const bool enable = index == 0;
    const eResult_t rc = mCmdEngine->SetModuleUPnPEnabled(CCmdEngine::eNetIfControl, enable);
    if (rc != eResultOK) {
        setStatusText(NetworkRules::UPnPResultText(rc));
        // The choice did not take: the control shows the module's value again at once (a
        // module that stopped answering gets no redraw that would do it).
        if (mDevice && CurrentPage())
            CurrentPage()->networkTab(0).upnpEnableComboBox->setCurrentIndex(
                mDevice->mInterfaces[0].upnpEnabled ? 0 : 1);
    } else if (mDevice) {
        mDevice->mInterfaces[0].upnpEnabled = enable; // the redraw below keeps the choice
    }
    RefreshPage();
}

void MainWindow::TrivoOpenWebPagePushButtonClicked()
{
    const int netIf = NetIfOfWidget(sender());
    if (netIf < 0) {
        qCDebug(lcWindow).noquote() << "Not on a network tab, returning early from "
                                       "MainWindow::TrivoOpenWebPagePushButtonClicked";
        return;
    }
    if (refuseWhileEngineHeld())
        return;
    QString ip;
    if (mCmdEngine && mCmdEngine->IsConnected())
        mCmdEngine->GetModuleIpAddressActive(static_cast<CCmdEngine::eNetIf_t>(netIf), ip);
    const QString url = NetworkRules::WebPageUrl(ip);
    if (url.isEmpty())
        showNotice(this, NetworkRules::NoAddressNotice());
    else
        openInBrowser(url);
}

void MainWindow::TrivoDisableAuthenticationPushButtonChanged()
{
    if (!mCmdEngine || !mCmdEngine->IsConnected() || refuseWhileEngineHeld())
        return;
    showNotice(this,
        NetworkRules::DisableAuthentication(
            *mCmdEngine, mBoardId, [this](const QString &title, const QString &question) {
                return confirmed(this, title, question, QMessageBox::Yes);
            }));
}

void MainWindow::InfoSetPushButtonChanged()
{
    if (updateBusy()) {
        setStatusText(tr("Changing Module data disabled during firmware update."));
        return;
    }
    if (DevicePage *page = CurrentPage(); page && !refuseWhileEngineHeld())
        SetSystemName(page->infoTab().nameLineEdit);
}

void MainWindow::SetSystemName(QLineEdit *edit)
{
    if (!mCmdEngine)
        return;
    const QString typed = edit->text();
    const NetworkRules::SystemNameResult result
        = NetworkRules::ApplySystemName(*mCmdEngine, typed, mCmdEngine->IsConnected());
    if (!result.restored)
        mDeviceNamePref = typed;
    if (!result.statusText.isEmpty())
        setStatusText(result.statusText);
    if (result.nameRead) {
        if (result.restored)
            edit->setText(result.name);
        mDeviceNamePref = result.name;
        QString serial;
        if (mCmdEngine->GetModuleSerialNumber(serial) != eResultOK)
            serial = mSession->UpdateTargetSerial();
        const int current = mGlobalDeviceComboBox->currentIndex();
        if (current >= 0)
            mGlobalDeviceComboBox->setItemText(
                current, SessionRules::DeviceEntryText(result.name, serial));
    }
    RefreshPage();
}
