// Main window: discovery runs and the device list they post.
#include "main_window.h"

#include "discover_thread.h"
#include "velto_combo_box.h"
#include "window_logging.h"
#include "window_rules.h"

#include <QCoreApplication>
#include <QSplashScreen>
#include <QTimer>

void MainWindow::DiscoverModule()
{
    if (mClosing)
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
    if (mStatusTimer)
        mStatusTimer->stop();
    Disconnect();
    QCoreApplication::processEvents();
    if (mClosing || DiscoveryRunning())
        return;
    mDiscoverThread->SetAbort(false);
    mDiscoverThread->start(QThread::InheritPriority);
    SetEnableState();
}

void MainWindow::DeviceAdded()
{
    if (!mCmdEngine)
        return;
    // During a firmware update only the rebooted module coming back matters.
    if (mUpdateInProgress && !mAwaitingReconnect)
        return;
    DiscoverModule();
}

void MainWindow::DeviceRemoved()
{
    if (!mCmdEngine || mUpdateInProgress)
        return;
    DiscoverModule();
}

void MainWindow::PostDeviceAddedList(
    QStringList deviceNameList, QIntList deviceIndexList, QStringList serialIDList)
{
    if (mClosing)
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
    const int candidate = WindowRules::SelectDeviceCandidate(deviceIndexList.mid(0, count),
        serialIDList, previousPort, mLastConnectedSerialNumber, &serialMatched);
    if (serialMatched && mUpdateInProgress)
        mDiscoverThread->SetReportReconnection(true);
    mGlobalDeviceComboBox->setCurrentIndex(candidate);
    SelectDevice(candidate);
}

void MainWindow::DiscoverModuleComplete()
{
    if (mClosing)
        return;
    if (mSplash) {
        // Shown before the splash goes, so there is never a moment without a window
        // (the program ends when its last window closes).
        show();
        mSplash->close();
        delete mSplash;
        mSplash = nullptr;
    }
    if (mUpdateInProgress)
        mDiscoverThread->SetReportReconnection(true);
    if (mPendingDiscoveries > 0) {
        mPendingDiscoveries = 0;
        DiscoverModule();
    } else {
        StartStatusTimer();
        RefreshPage();
    }
}
