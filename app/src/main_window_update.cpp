// Main window: firmware update controls and progress, factory reset.
#include "main_window.h"

#include "device_page.h"
#include "module_maintenance.h"
#include "module_session.h"
#include "update_sequence.h"
#include "velto_combo_box.h"
#include "window_message_box.h"

#include <QLabel>
#include <QMutexLocker>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

void MainWindow::setupUpdate(const QString &firmwarePath)
{
    mUpdate = new UpdateSequence(mSession, this, nullptr, this);
    mUpdate->SetFirmwarePath(firmwarePath);
    connect(
        mUpdate, &UpdateSequence::PostAppStatusMessage, this, &MainWindow::PostAppStatusMessage);
    connect(mUpdate, &UpdateSequence::PostUpdateProgressMessage, this,
        &MainWindow::PostUpdateProgressMessage);
    connect(mUpdate, &UpdateSequence::PostProgressValue, this, &MainWindow::PostProgressValue);
    connect(mUpdate, &UpdateSequence::ProgressTickRequested, this, &MainWindow::UpdateTimer);
    connect(mUpdate, &UpdateSequence::StopUpdateTimer, this, &MainWindow::StopUpdateTimer);
    connect(mUpdate, &UpdateSequence::StartStatusTimer, this, &MainWindow::StartStatusTimer);
    connect(mUpdate, &UpdateSequence::ChainStarted, this, &MainWindow::updateChainStarted);
    connect(mUpdate, &UpdateSequence::PageRefreshRequested, this, &MainWindow::RefreshPage);
    connect(mUpdate, &UpdateSequence::ChainFinished, this, &MainWindow::updateChainFinished);
    // An arrival noted while the update still held the engine is looked at now.
    connect(mUpdate, &UpdateSequence::AwaitingReconnect, this, &MainWindow::RunPendingDiscovery);
    for (DevicePage *page : qAsConst(mPages)) {
        UpdateTabUi &tab = page->updateTab();
        connect(tab.updatePushButton, &QPushButton::clicked, this,
            &MainWindow::UpdatePushButtonChanged);
        // The texts quote the package's file name: never markup.
        tab.progressMessageLabel->setTextFormat(Qt::PlainText);
    }
}

bool MainWindow::updateSupported() const
{
    const DevicePage *page = CurrentPage();
    return page && page->row().model->updatable;
}

void MainWindow::UpdatePushButtonChanged()
{
    if (!mUpdate->Start())
        RunPendingDiscovery();
}

void MainWindow::updateChainStarted()
{
    mUpdateTimer->start(UpdateSequence::kProgressTickMs);
    mStatusTimer->stop();
    SetEnableState();
}

void MainWindow::updateChainFinished()
{
    SetEnableState();
    RunPendingDiscovery();
}

void MainWindow::PostUpdateProgressMessage(QString message, int value)
{
    Q_UNUSED(value)
    QMutexLocker locker(&mProgressMutex);
    if (QLabel *label = CurrentPage()->updateTab().progressMessageLabel)
        label->setText(message);
}

void MainWindow::PostProgressValue(int percentValue)
{
    if (QProgressBar *bar = CurrentPage()->updateTab().progressBar)
        bar->setValue(percentValue);
}

int MainWindow::GetProgressValue() const
{
    const QProgressBar *bar = CurrentPage()->updateTab().progressBar;
    return bar ? bar->value() : 0;
}

int MainWindow::GetProgressMaxValue() const
{
    const QProgressBar *bar = CurrentPage()->updateTab().progressBar;
    return bar ? bar->maximum() : 0;
}

QString MainWindow::GetProgressMessage() const
{
    QMutexLocker locker(const_cast<QMutex *>(&mProgressMutex));
    const QLabel *label = CurrentPage()->updateTab().progressMessageLabel;
    return label ? label->text() : QString();
}

void MainWindow::UpdateTimer()
{
    const int value = mUpdate->ProgressTick(GetProgressValue(), GetProgressMaxValue());
    if (value < 0)
        return;
    PostProgressValue(value);
    setStatusText(
        UpdateSequence::ProgressStatusText(GetProgressMessage(), mUpdate->ProgressPercent()));
}

QString MainWindow::PickPackage(const PackageRequest &request)
{
    return WindowMessageBox::openFileName(
        nullptr, { request.title, request.directory, request.filter });
}

bool MainWindow::ConfirmUpdate(const QString &displayName, const QString &fileName)
{
    return WindowMessageBox::ask(this,
               { QMessageBox::NoIcon, ConfirmUpdateTitle(), QString(),
                   ConfirmUpdateText(displayName, fileName), QMessageBox::Yes | QMessageBox::Cancel,
                   QMessageBox::Yes, {} })
        == QMessageBox::Yes;
}

bool MainWindow::ConfirmCommit(const QString &title, const QString &message)
{
    return WindowMessageBox::ask(this,
               { QMessageBox::NoIcon, title, QString(), message,
                   QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes, {} })
        == QMessageBox::Yes;
}

void MainWindow::RebootNotice(const QString &displayName)
{
    WindowMessageBox::ask(this,
        { QMessageBox::NoIcon, displayName, QString(), RebootNoticeText(displayName),
            QMessageBox::Ok, QMessageBox::Ok, {} });
}

bool MainWindow::OfferLockRelease(const QString &displayName)
{
    WindowMessageBox::Request refusal { QMessageBox::Warning,
        GetUpdateResultText(eUpdateUnavailable), UpdateSequence::LockTakenText(), QString(),
        QMessageBox::Apply | QMessageBox::Cancel, QMessageBox::Cancel, {} };
    refusal.buttonTexts.insert(QMessageBox::Apply, ModuleMaintenance::ReleaseLockButtonText());
    if (WindowMessageBox::ask(this, refusal) != QMessageBox::Apply)
        return false;
    return WindowMessageBox::ask(this,
               { QMessageBox::Warning, ModuleMaintenance::ReleaseLockTitle(), QString(),
                   ModuleMaintenance::ReleaseLockText(displayName),
                   QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel, {} })
        == QMessageBox::Yes;
}

bool MainWindow::Revert()
{
    if (updateBusy() || !ModuleMaintenance::CanFactoryReset(*mSession))
        return true;
    const QMessageBox::StandardButton answer = WindowMessageBox::ask(this,
        { QMessageBox::NoIcon, ModuleMaintenance::FactoryResetTitle(), QString(),
            ModuleMaintenance::FactoryResetText(), QMessageBox::Reset | QMessageBox::Cancel,
            QMessageBox::Reset, {} });
    if (answer == QMessageBox::Reset) {
        const eResult_t rc = ModuleMaintenance::FactoryReset(*mSession);
        setStatusText(
            ModuleMaintenance::FactoryResetResultText(mGlobalDeviceComboBox->currentText(), rc));
        // Every field shows the module's settings again, not what was typed or applied before.
        if (rc == eResultOK)
            followModule(-1);
        RefreshPage();
    }
    return true;
}
