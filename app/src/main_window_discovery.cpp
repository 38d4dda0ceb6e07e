// Main window: discovery runs and the device list they post.
#include "main_window.h"

#include "discover_thread.h"
#include "module_session.h"
#include "port_probe.h"
#include "session_rules.h"
#include "update_sequence.h"
#include "velto_combo_box.h"
#include "window_logging.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSplashScreen>
#include <QTimer>

void MainWindow::DiscoverModule()
{
    if (!mSession || mSession->IsClosing())
        return;
    if (DiscoveryRunning()) {
        PostAppStatusMessage(tr("Looking for Velto devices..."));
        ++mPendingDiscoveries;
        return;
    }
    if (!mCmdEngine) {
        qCDebug(lcWindow).noquote() << "DiscoverModule exit: No mCmdEngine";
        return;
    }
    // A worker on the engine (a DHCP request) keeps its port; the run follows its end.
    if (engineHeld()) {
        ++mPendingDiscoveries;
        return;
    }
    if (mStatusTimer)
        mStatusTimer->stop();
    Disconnect();
    QCoreApplication::processEvents();
    if (mSession->IsClosing() || DiscoveryRunning())
        return;
    mSession->Discovery()->SetAbort(false);
    if (!mSession->StartWorker(mSession->Discovery(), EngineUser::Discovery)) {
        ++mPendingDiscoveries;
        return;
    }
    SetEnableState();
}

bool MainWindow::RunPendingDiscovery()
{
    if (mPendingDiscoveries <= 0)
        return false;
    mPendingDiscoveries = 0;
    DiscoverModule();
    return true;
}

void MainWindow::DeviceAdded()
{
    if (!mCmdEngine)
        return;
    // During a firmware update only the rebooted module coming back matters.
    if (updateBusy() && !mUpdate->State().awaitingReconnect)
        return;
    DiscoverModule();
}

void MainWindow::DeviceRemoved()
{
    if (!mCmdEngine || updateBusy())
        return;
    // Said at once: the discovery run that follows takes seconds to settle.
    if (connectedPortGone())
        moduleGone();
    DiscoverModule();
}

bool MainWindow::connectedPortGone() const
{
    if (!mCmdEngine->IsConnected() || engineHeld())
        return false;
    CSerialIF *serial = mCmdEngine->GetSerialIF();
    if (!serial->IsOpen())
        return true;
    const auto *posix = dynamic_cast<const CPosixSerialIF *>(serial);
    return posix && !posix->OpenPortPath().isEmpty() && !QFileInfo::exists(posix->OpenPortPath());
}

void MainWindow::PostDeviceAddedList(
    QStringList deviceNameList, QIntList deviceIndexList, QStringList serialIDList)
{
    if (mSession->IsClosing())
        return;
    const int previousPort = mGlobalDeviceComboBox->currentIndex() >= 0
        ? mGlobalDeviceComboBox->currentData().toInt()
        : 0;
    mGlobalDeviceComboBox->clear();
    const int count = qMin(deviceNameList.size(), deviceIndexList.size());
    for (int i = 0; i < count; ++i)
        mGlobalDeviceComboBox->addItem(deviceNameList[i], deviceIndexList[i]);

    if (count == 0) {
        mGlobalDeviceComboBox->setCurrentIndex(-1);
        SelectDevice(-1);
        return;
    }
    bool serialMatched = false;
    const int candidate = SessionRules::SelectDeviceCandidate(deviceIndexList.mid(0, count),
        serialIDList, previousPort, mSession->LastConnectedSerial(), &serialMatched);
    if (serialMatched && updateBusy())
        mSession->Discovery()->SetReportReconnection(true);
    const QString shownBefore = mShownSerial;
    mGlobalDeviceComboBox->setCurrentIndex(candidate);
    SelectDevice(candidate);
    // The module on show went away and another took its place: an Apply would now go to that
    // one, so the change is said until the user picks.
    if (!shownBefore.isEmpty() && mShownSerial != shownBefore && mCmdEngine->IsConnected())
        showModuleSwitched(shownBefore);
}

void MainWindow::showModuleSwitched(const QString &previousSerial)
{
    mGlobalDeviceComboBox->setStyleSheet(previousSerial.isEmpty()
            ? QString()
            : QStringLiteral("QComboBox { font-weight: bold; color: #b35900; }"));
    if (!previousSerial.isEmpty())
        setStatusText(
            SessionRules::ModuleSwitchedText(mGlobalDeviceComboBox->currentText(), previousSerial));
}

void MainWindow::PostPortsHeld(QStringList paths)
{
    mHeldPorts = paths;
    if (paths.isEmpty())
        mHeldPortTimer->stop();
    else if (!mHeldPortTimer->isActive())
        mHeldPortTimer->start(SessionWorker::Scaled(SessionRules::kHeldPortRetryMs));
}

void MainWindow::CheckHeldPorts()
{
    if (mSession->IsClosing())
        return;
    if (updateBusy()) {
        mHeldPortTimer->start(SessionWorker::Scaled(SessionRules::kHeldPortRetryMs));
        return;
    }
    // Plugging in a module another program holds causes no device notice once it lets go.
    for (const QString &path : qAsConst(mHeldPorts)) {
        if (!PortProbe::PortHeld(path)) {
            DiscoverModule();
            return;
        }
    }
    mHeldPortTimer->start(SessionWorker::Scaled(SessionRules::kHeldPortRetryMs));
}

void MainWindow::DiscoverModuleComplete()
{
    if (mSession->IsClosing())
        return;
    if (mSplash) {
        // Shown before the splash goes, so there is never a moment without a window
        // (the program ends when its last window closes).
        show();
        mSplash->close();
        delete mSplash;
        mSplash = nullptr;
    }
    // A run that did not find the updated module says nothing to the update: it is
    // reported back only by the run that found it (PostDeviceAddedList).
    if (!RunPendingDiscovery()) {
        StartStatusTimer();
        RefreshPage();
    }
}
