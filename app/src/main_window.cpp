// Main window: construction, menus, settings, connection lifecycle and close.
#include "main_window.h"

#include "app_settings.h"
#include "device_page.h"
#include "dhcp_thread.h"
#include "discover_thread.h"
#include "linux_app_if.h"
#include "module_session.h"
#include "network_rules.h"
#include "session_rules.h"
#include "trivo_about.h"
#include "trivo_device.h"
#include "update_sequence.h"
#include "update_workers.h"
#include "velto_combo_box.h"
#include "window_logging.h"
#include "window_message_box.h"
#include "window_placement.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMutexLocker>
#include <QPushButton>
#include <QScreen>
#include <QSplashScreen>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

Q_LOGGING_CATEGORY(lcWindow, "trivo.window", QtInfoMsg)

static void initAppResources()
{
    Q_INIT_RESOURCE(app);
}

namespace {
constexpr int kStatusPollMs = 157;
constexpr int kPageTopPx = 40; // the pages start below the device combo
constexpr int kStatusGapPx = 4; // between the pages and the status line
constexpr int kStatusHeightPx = 20;
constexpr int kStatusLeftPx = 20;
constexpr int kStatusRightPx = 18;
constexpr int kBottomPx = 4; // below the status line
constexpr int kComboWidthPx = 281;
constexpr int kComboRightPx = 9; // right of the device combo
constexpr int kSplashSizePx = 420;
constexpr int kFrameTitlePx = 32; // window-manager decoration allowed for when placing
constexpr int kFrameSidePx = 4;
constexpr int kMaxVisibleDevices = 48;
constexpr int kRegisterRows = 16;
const char kWindowTitle[] = "Velto Trivo-Setup";
const char kIconPath[] = ":/media/images/icon.png";

CPosixSerialIF::PortLister &testPortLister()
{
    static CPosixSerialIF::PortLister lister;
    return lister;
}
} // namespace

void MainWindow::setPortListerForTesting(CPosixSerialIF::PortLister lister)
{
    testPortLister() = std::move(lister);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    initAppResources();
    setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
    setWindowTitle(tr(kWindowTitle));
    mManufacturingMode = GetStartMode();

    QPixmap splash(QString::fromLatin1(kIconPath));
    if (!splash.isNull())
        splash = splash.scaled(
            kSplashSizePx, kSplashSizePx, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    mSplash = new QSplashScreen(splash);
    mSplash->show();

    buildMenus();
    const AppSettings settings = readSettings();

    // The platform interface exists before the form so that its styles are in place
    // when the widgets are built: restyling the finished form repolishes every widget
    // several times over and took seconds.
    mAppIF = new LinuxAppIF(this);
    mAppVersion = mAppIF->GetAppVersion();
    const QString widgetStyle = mAppIF->GetWidgetStyleSheet();
    if (!widgetStyle.isEmpty())
        qApp->setStyleSheet(widgetStyle);
    setStyleSheet(mAppIF->GetFontStyle());

    qRegisterMetaType<CCmdEngine::eNetIf_t>("CCmdEngine::eNetIf_t");
    qRegisterMetaType<QString>("QString");
    qRegisterMetaType<QIntList>("QIntList");
    setupForm();
    connect(
        mGlobalDeviceComboBox, &QComboBox::activated, this, &MainWindow::MainWindowDeviceSelect);
    connect(
        mGlobalDeviceComboBox, &QComboBox::activated, this, &MainWindow::LanConfigurationModified);
    mGlobalDeviceComboBox->setMaxVisibleItems(kMaxVisibleDevices);

    buildPages();
    const QList<QLabel *> labels = findChildren<QLabel *>();
    for (QLabel *label : labels) {
        label->setTextInteractionFlags(label->textInteractionFlags() | Qt::TextSelectableByMouse
            | Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        label->setCursor(Qt::IBeamCursor);
    }
    connect(mCopyAct, &QAction::triggered, this, &MainWindow::CopyFromQLabel);
    mRegisterGroupBox->hide();
    mUpdateAllButton->hide();
    mAutoUpdateCheckBox->hide();
    placeForm(FitPagesToFonts(mPages));
    adjustSize();
    placeOnScreen();
    mImageSafebootModeLabel->hide();

    for (DevicePage *page : qAsConst(mPages)) {
        for (uint32_t id : page->row().boardIds)
            mPageByBoardId.insert(id, page);
    }
    for (DevicePage *page : qAsConst(mPages))
        page->setVisible(page == PageForBoardId(kBoardIdUnknown));
    mBoardId = kBoardIdUnknown;
    RefreshPage();

    connect(mAppIF, &CAppIF::NewConnectionSignal, this, &MainWindow::NewConnection);
    connect(mAppIF, &CAppIF::ChangeModuleTypeSignal, this, &MainWindow::ChangeModuleType);
    connect(mAppIF, &CAppIF::DeviceAddedSignal, this, &MainWindow::DeviceAdded);
    connect(mAppIF, &CAppIF::DeviceRemovedSignal, this, &MainWindow::DeviceRemoved);

    applyStyles();

    CSerialIF *serial = mAppIF->CreateSerialIF();
    if (auto *posix = dynamic_cast<CPosixSerialIF *>(serial); posix && testPortLister())
        posix->SetPortLister(testPortLister());
    mSession = new ModuleSession(serial, this, mAppIF, this);
    mSession->SetLastConnectedSerial(settings.lastConnectedSerialNumber);
    mCmdEngine = mSession->Engine();
    DiscoverThread *discovery = mSession->Discovery();
    connect(
        discovery, &DiscoverThread::PostAppStatusMessage, this, &MainWindow::PostAppStatusMessage);
    // Blocking: the worker continues only after the window has taken the list.
    connect(discovery, &DiscoverThread::PostDeviceAddedList, this, &MainWindow::PostDeviceAddedList,
        Qt::BlockingQueuedConnection);
    connect(discovery, &QThread::finished, this, &MainWindow::DiscoverModuleComplete);
    connect(discovery, &DiscoverThread::PostPortsHeld, this, &MainWindow::PostPortsHeld);
    mHeldPortTimer = new QTimer(this);
    mHeldPortTimer->setSingleShot(true);
    connect(mHeldPortTimer, &QTimer::timeout, this, &MainWindow::CheckHeldPorts);
    setupUpdate(settings.firmwarePath);
    connectDhcpWorker();

    DiscoverModule();

    mStatusTimer = new QTimer(this);
    connect(mStatusTimer, &QTimer::timeout, this, &MainWindow::StatusTimer);
    mStatusTimer->start(kStatusPollMs);
    mUpdateTimer = new QTimer(this);
    connect(mUpdateTimer, &QTimer::timeout, this, &MainWindow::UpdateTimer);
    connect(mPasteAct, &QAction::triggered, this, &MainWindow::paste);
}

MainWindow::~MainWindow()
{
    delete mStatusTimer;
    delete mUpdateTimer;
    // The update's workers use the session: they stop first.
    delete mUpdate;
    mUpdate = nullptr;
    // The session stops its workers and closes the port; it goes before the platform
    // interface its engine reports to.
    delete mSession;
    mSession = nullptr;
    mCmdEngine = nullptr;
    delete mDevice;
    mDevice = nullptr;
    delete mAppIF;
    mAppIF = nullptr;
    delete mSplash;
}

void MainWindow::buildMenus()
{
    struct ActionRow
    {
        QMenu *menu;
        QAction **action;
        const char *text;
        QKeySequence::StandardKey key;
        const char *statusTip;
    };
    mFileMenu = menuBar()->addMenu(tr("&File"));
    mEditMenu = menuBar()->addMenu(tr("&Edit"));
    menuBar()->addSeparator();
    mHelpMenu = menuBar()->addMenu(tr("&Help"));

    const ActionRow rows[] = {
        { mFileMenu, &mRevertAct, QT_TR_NOOP("&Revert to Factory Settings"),
            QKeySequence::UnknownKey, nullptr },
        { mFileMenu, &mRefreshAct, QT_TR_NOOP("&Refresh"), QKeySequence::Refresh,
            QT_TR_NOOP("Refresh device list") },
        { mFileMenu, &mQuitAct, QT_TR_NOOP("&Quit"), QKeySequence::Quit,
            QT_TR_NOOP("Close the window and stop") },
        { mEditMenu, &mCutAct, QT_TR_NOOP("Cu&t"), QKeySequence::Cut,
            QT_TR_NOOP("Cut the current selection's contents to the clipboard") },
        { mEditMenu, &mCopyAct, QT_TR_NOOP("&Copy"), QKeySequence::Copy,
            QT_TR_NOOP("Copy the current selection's contents to the clipboard") },
        { mEditMenu, &mPasteAct, QT_TR_NOOP("&Paste"), QKeySequence::Paste,
            QT_TR_NOOP("Paste the clipboard's contents into the current selection") },
        { mHelpMenu, &mAboutAct, QT_TR_NOOP("&About"), QKeySequence::UnknownKey,
            QT_TR_NOOP("Show the application's About box") },
        { mHelpMenu, &mManualAct, QT_TR_NOOP("&Manual"), QKeySequence::UnknownKey,
            QT_TR_NOOP("Download Converter Manual") },
    };
    for (const ActionRow &row : rows) {
        auto *action = new QAction(tr(row.text), this);
        if (row.key != QKeySequence::UnknownKey)
            action->setShortcuts(row.key);
        if (row.statusTip)
            action->setStatusTip(tr(row.statusTip));
        row.menu->addAction(action);
        *row.action = action;
    }
    mFileMenu->insertSeparator(mRefreshAct);
    connect(mRevertAct, &QAction::triggered, this, &MainWindow::Revert);
    mFileMenu->insertSeparator(mQuitAct);
    // Desktops without a key theme (and the offscreen platform) have no Quit binding.
    if (mQuitAct->shortcuts().isEmpty())
        mQuitAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mRefreshAct, &QAction::triggered, this, &MainWindow::Refresh);
    connect(mQuitAct, &QAction::triggered, this, &QWidget::close);
    connect(mAboutAct, &QAction::triggered, this, &MainWindow::About);
    connect(mManualAct, &QAction::triggered, this, &MainWindow::Manual);
}

AppSettings MainWindow::readSettings()
{
    const AppSettings settings = AppSettings::Read(mManufacturingMode == 1);
    move(settings.position);
    mCurrentTabIndex = settings.currentTabIndex;
    if (mManufacturingMode == 1)
        mDeviceNamePref = settings.deviceNamePref;
    return settings;
}

void MainWindow::placeOnScreen()
{
    // Before the window is shown its frame is unknown: allow for a usual title bar and border.
    const QSize frame = size() + QSize(2 * kFrameSidePx, kFrameTitlePx + kFrameSidePx);
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    move(FittedWindowPosition(pos(), frame, screens, QCursor::pos()));
}

void MainWindow::writeSettings()
{
    AppSettings settings;
    settings.position = pos();
    settings.currentTabIndex = mCurrentTabIndex;
    settings.lastConnectedSerialNumber = LastConnectedSerialNumber();
    settings.firmwarePath = mUpdate ? mUpdate->FirmwarePath() : QString();
    settings.deviceNamePref = mDeviceNamePref;
    settings.Write();
}

void MainWindow::setupForm()
{
    // The form is laid out in absolute positions below the menu bar: the central widget
    // starts under the menu bar, which stands for moving every widget down by its height.
    mMenuBarHeight = menuBar()->sizeHint().height();
    mCentral = new QWidget(this);
    mCentral->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(mCentral);

    mGlobalStatusLabel = new QLabel(tr("Global status information goes here."), mCentral);
    mGlobalStatusLabel->setObjectName(QStringLiteral("mGlobalStatusLabel"));
    QFont statusFont = mGlobalStatusLabel->font();
    statusFont.setPointSize(11);
    mGlobalStatusLabel->setFont(statusFont);
    // Status texts quote port paths and module answers: never read them as markup.
    mGlobalStatusLabel->setTextFormat(Qt::PlainText);
    mGlobalStatusLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    mGlobalDeviceComboBox = new VeltoComboBox(mCentral);
    mGlobalDeviceComboBox->setObjectName(QStringLiteral("mGlobalDeviceComboBox"));
    mGlobalDeviceComboBox->setMinimumSize(kComboWidthPx, 26);

    mImageSafebootModeLabel = new QLabel(tr("SAFEBOOT MODE"), mCentral);
    mImageSafebootModeLabel->setObjectName(QStringLiteral("mImageSafebootModeLabel"));
    mImageSafebootModeLabel->setGeometry(20, 10, 200, 26);
    mImageSafebootModeLabel->setStyleSheet(QStringLiteral("color: #c0392b; font-weight: bold;"));

    mAutoUpdateCheckBox = new QCheckBox(tr("Auto Update"), mCentral);
    mAutoUpdateCheckBox->setObjectName(QStringLiteral("mAutoUpdateCheckBox"));
    mAutoUpdateCheckBox->setGeometry(230, 10, 100, 26);
    mAutoUpdateCheckBox->setChecked(true);
    mUpdateAllButton = new QPushButton(tr("Update All"), mCentral);
    mUpdateAllButton->setObjectName(QStringLiteral("mUpdateAllButton"));
    mUpdateAllButton->setGeometry(330, 10, 80, 26);

    // Register panel: carried by the form, never shown, connected to nothing.
    mRegisterGroupBox = new QGroupBox(mCentral);
    mRegisterGroupBox->setObjectName(QStringLiteral("mRegisterGroupBox"));
    mRegisterGroupBox->setGeometry(20, 40, 330, 30 + 26 * (kRegisterRows + 1));
    auto *regHeader = new QLabel(tr("RegNum:"), mRegisterGroupBox);
    regHeader->setGeometry(10, 20, 60, 20);
    auto *valueHeader = new QLabel(tr("Value:"), mRegisterGroupBox);
    valueHeader->setGeometry(130, 20, 60, 20);
    for (int row = 0; row < kRegisterRows; ++row) {
        const int y = 46 + 26 * row;
        const QString n = QString::number(row);
        auto *number
            = new QLabel(QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0')), mRegisterGroupBox);
        number->setGeometry(10, y, 20, 22);
        auto *address = new QLineEdit(mRegisterGroupBox);
        address->setObjectName(QStringLiteral("mAddressLineEdit") + n);
        address->setGeometry(34, y, 90, 22);
        auto *value = new QLineEdit(mRegisterGroupBox);
        value->setObjectName(QStringLiteral("mPokeValueLineEdit") + n);
        value->setGeometry(130, y, 90, 22);
        auto *peek = new QLabel(mRegisterGroupBox);
        peek->setObjectName(QStringLiteral("mPeekValueLabel") + n);
        peek->setGeometry(226, y, 50, 22);
        auto *poke = new QPushButton(tr("Poke"), mRegisterGroupBox);
        poke->setObjectName(QStringLiteral("mPokePushButton") + n);
        poke->setGeometry(280, y, 44, 22);
    }
}

void MainWindow::buildPages()
{
    const bool manufacturing = mManufacturingMode == 1;
    for (const PageRow &row : PageTable()) {
        auto *page = new DevicePage(row, manufacturing, mCentral);
        page->setObjectName(row.containerName);
        page->hide();
        stylePage(page);
        mPages << page;

        QTabWidget *tabs = page->groupBox();
        connect(tabs, &QTabWidget::currentChanged, this, &MainWindow::TrivoGroupBoxChanged);
        connect(tabs, &QTabWidget::currentChanged, this, &MainWindow::LanConfigurationModified);
        for (int netIf = 0; netIf < page->networkTabCount(); ++netIf) {
            NetworkTabUi &tab = page->networkTab(netIf);
            connect(tab.modeComboBox, &QComboBox::activated, this,
                &MainWindow::LanConfigurationModified);
            for (QLineEdit *edit :
                { tab.ipAddressLineEdit, tab.subnetMaskLineEdit, tab.gatewayIpLineEdit })
                connect(edit, &QLineEdit::textChanged, this, &MainWindow::LanConfigurationModified);
            if (netIf == CCmdEngine::eNetIfMedia2 && tab.speedComboBox)
                connect(tab.speedComboBox, &QComboBox::activated, this,
                    &MainWindow::LanConfigurationModified);
            if (netIf > 0)
                connect(mCopyAct, &QAction::triggered, tab.macAddressLineEdit, &QLineEdit::copy);
        }
        InfoTabUi &info = page->infoTab();
        connect(mCutAct, &QAction::triggered, info.nameLineEdit, &QLineEdit::cut);
        for (QLineEdit *edit : { page->updateTab().currVersionLineEdit, info.nameLineEdit,
                 info.authenticationLineEdit })
            connect(mCopyAct, &QAction::triggered, edit, &QLineEdit::copy);
        for (QLineEdit *edit : { info.typeLineEdit, info.authenticationLineEdit,
                 info.safebootLineEdit, info.bootloaderLineEdit })
            edit->setReadOnly(true);
        for (int netIf = 0; netIf < page->networkTabCount(); ++netIf)
            page->networkTab(netIf).macAddressLineEdit->setReadOnly(true);

        {
            const QSignalBlocker blocker(tabs);
            tabs->setCurrentIndex(mCurrentTabIndex);
        }
        page->updateTab().progressMessageLabel->clear();
        connectNetworkControls(page);
    }
}

void MainWindow::placeForm(const QSize &pageArea)
{
    // The form's own size (709 x 562 below the menu bar) where the pages fit in it; fonts that
    // need more room grow the window around the pages rather than squeeze them.
    for (DevicePage *page : qAsConst(mPages))
        page->setGeometry(QRect(QPoint(0, kPageTopPx), pageArea));
    const int statusTop = kPageTopPx + pageArea.height() + kStatusGapPx;
    mGlobalStatusLabel->setGeometry(kStatusLeftPx, statusTop,
        pageArea.width() - kStatusLeftPx - kStatusRightPx, kStatusHeightPx);
    mGlobalDeviceComboBox->setGeometry(
        pageArea.width() - kComboRightPx - kComboWidthPx, 10, kComboWidthPx, 26);
    setFixedSize(pageArea.width(), statusTop + kStatusHeightPx + kBottomPx + mMenuBarHeight);
}

void MainWindow::applyStyles()
{
    // The window and the application style sheet were set before the form was built,
    // the pages' own style sheets as each page was built.
    const QString fontStyle = mAppIF->GetFontStyle();
    for (QWidget *widget :
        { static_cast<QWidget *>(mGlobalStatusLabel), static_cast<QWidget *>(mUpdateAllButton),
            static_cast<QWidget *>(mAutoUpdateCheckBox) })
        widget->setStyleSheet(fontStyle);
    const QList<QWidget *> registerChildren = mRegisterGroupBox->findChildren<QWidget *>();
    for (QWidget *child : registerChildren)
        child->setStyleSheet(child->styleSheet() + fontStyle);
}

void MainWindow::stylePage(DevicePage *page)
{
    const QString fontStyle = mAppIF->GetFontStyle();
    const QString labelStyle = mAppIF->GetLabelStyle();
    if (!labelStyle.isEmpty())
        page->setStyleSheet(labelStyle);
    QTabWidget *tabs = page->groupBox();
    tabs->setStyleSheet(fontStyle);
    for (int i = 0; i < tabs->count(); ++i)
        tabs->widget(i)->setStyleSheet(fontStyle);
}

DevicePage *MainWindow::PageForBoardId(uint32_t boardId) const
{
    if (boardId == kBoardIdUninitialised)
        boardId = kBoardIdUnknown;
    DevicePage *page = mPageByBoardId.value(boardId, nullptr);
    if (!page)
        page = mPageByBoardId.value(kBoardIdUnknown, mPages.isEmpty() ? nullptr : mPages.first());
    return page;
}

QComboBox *MainWindow::DeviceComboBox() const
{
    return mGlobalDeviceComboBox;
}

QString MainWindow::StatusText() const
{
    QMutexLocker locker(const_cast<QMutex *>(&mStatusMutex));
    return mGlobalStatusLabel->text();
}

bool MainWindow::DiscoveryRunning() const
{
    return mSession && mSession->Discovery()->isRunning();
}

QString MainWindow::LastConnectedSerialNumber() const
{
    return mSession ? mSession->LastConnectedSerial() : QString();
}

bool MainWindow::dhcpRunning() const
{
    return mSession && mSession->Holder().IsHeldBy(EngineUser::Dhcp);
}

bool MainWindow::engineHeld() const
{
    return mSession && !mSession->Holder().IsFree();
}

bool MainWindow::updateBusy() const
{
    return mUpdate && mUpdate->IsBusy();
}

QList<QAction *> MainWindow::Actions() const
{
    return { mRevertAct, mRefreshAct, mQuitAct, mAboutAct, mManualAct, mCutAct, mCopyAct,
        mPasteAct };
}

void MainWindow::ReportError(QString message)
{
    qCDebug(lcWindow).noquote() << message;
}

void MainWindow::setStatusText(const QString &text)
{
    QMutexLocker locker(&mStatusMutex);
    if (mGlobalStatusLabel->text() != text)
        mGlobalStatusLabel->setText(text);
}

void MainWindow::PostAppStatusMessage(QString message)
{
    setStatusText(message);
}

void MainWindow::ShowErrorDialog(QString message)
{
    WindowMessageBox::critical(this, tr(kWindowTitle), message);
}

void MainWindow::MainWindowDeviceSelect(int index)
{
    if (updateBusy())
        return;
    showModuleSwitched(QString()); // the user has chosen
    SelectDevice(index);
}

void MainWindow::SelectDevice(int index)
{
    Disconnect();
    if (index >= 0)
        Connect(mGlobalDeviceComboBox->itemData(index).toInt());
    else
        SelectPage(kBoardIdUninitialised);
    RefreshPage();
}

void MainWindow::Connect(int port)
{
    mPollState = PollState::Normal;
    if (!mSession)
        return;
    QString status = mSession->Connect(port).statusText;
    if (!mHeldPorts.isEmpty())
        status
            += QLatin1Char(' ') + SessionRules::PortBusyText(mHeldPorts.join(QStringLiteral(", ")));
    setStatusText(status);
}

void MainWindow::Disconnect()
{
    if (mSession)
        mSession->Disconnect();
}

void MainWindow::SelectPage(uint32_t boardId)
{
    if (boardId == mBoardId)
        return;
    // An ID without a page of its own shows the unknown-device page rather than none.
    DevicePage *target = PageForBoardId(boardId);
    for (DevicePage *page : qAsConst(mPages))
        page->setVisible(page == target);
    mBoardId = boardId;
}

void MainWindow::ChangeModuleType()
{
    if (!mCmdEngine)
        return;
    delete mDevice;
    mDevice = nullptr;
    const uint32_t boardId = mCmdEngine->GetBoardID();
    const PageRow *row = FindPageRow(boardId);
    if (!row && boardId != kBoardIdUnknown) {
        WindowMessageBox::warning(this, tr(kWindowTitle),
            tr("MainWindow::ChangeModuleType(): Unhandled module ID:\n0x%1.")
                .arg(boardId, 8, 16, QLatin1Char('0')));
        return;
    }
    mDevice = new CTrivo(mCmdEngine, row ? row->model->mediaLanCount() : 0);
}

void MainWindow::NewConnection()
{
    if (!mCmdEngine)
        return;
    mPollState = PollState::Normal;
    SelectPage(mCmdEngine->GetBoardID());
    for (DevicePage *page : qAsConst(mPages))
        showPageLive(page, true);
    QString serial;
    if (mCmdEngine->GetModuleSerialNumber(serial) == eResultOK) {
        if (serial != mSession->LastConnectedSerial())
            clearUpdateProgressMessage();
        mSession->SetLastConnectedSerial(serial);
        mShownSerial = serial;
        mUpdate->CheckDeferredAbort(serial);
    }
    RefreshPage();
    followModule(-1);
}

void MainWindow::followModule(int netIf)
{
    for (int i = 0; i < 3; ++i) {
        if (netIf < 0 || netIf == i) {
            mLanEdited[i] = false;
            mLanModeSeen[i] = 0; // the next poll fills the fields from the module
        }
    }
}

void MainWindow::clearUpdateProgressMessage()
{
    QMutexLocker locker(&mProgressMutex);
    if (QLabel *label = CurrentPage()->updateTab().progressMessageLabel)
        label->clear();
}

void MainWindow::ObtainIpFromDHCPComplete()
{
    if (mSession->IsClosing())
        return;
    followModule(-1);
    if (!RunPendingDiscovery()) {
        StartStatusTimer();
        RefreshPage();
    }
}

void MainWindow::StatusTimer()
{
    if (mCmdEngine && mCmdEngine->IsConnected() && !DiscoveryRunning())
        UpdateStatusUi();
}

void MainWindow::StartStatusTimer()
{
    if (mStatusTimer)
        mStatusTimer->start(
            mPollState == PollState::Silent ? SessionRules::kSilentRetryMs : kStatusPollMs);
}

void MainWindow::StopUpdateTimer()
{
    if (mUpdateTimer)
        mUpdateTimer->stop();
}

bool MainWindow::Refresh()
{
    DiscoverModule();
    return true;
}

bool MainWindow::About()
{
    TrivoAbout about(
        this, windowIcon(), tr("About Trivo-Setup"), TrivoAbout::BodyText(mAppVersion));
    about.setWindowModality(Qt::WindowModal);
    about.exec();
    return true;
}

bool MainWindow::Manual()
{
    openInBrowser(SessionRules::ManualUrl(mBoardId));
    return true;
}

void MainWindow::openInBrowser(const QString &url)
{
    if (QDesktopServices::openUrl(QUrl(url)))
        return;
    const NetworkRules::Notice notice = NetworkRules::NoBrowserNotice(url);
    WindowMessageBox::warning(this, notice.title, notice.text);
}

void MainWindow::CopyFromQLabel()
{
    if (auto *label = qobject_cast<QLabel *>(QApplication::focusWidget()))
        QGuiApplication::clipboard()->setText(label->selectedText());
}

void MainWindow::paste()
{
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        edit->paste();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    mSession->SetClosing();
    if (mUpdateTimer)
        mUpdateTimer->stop();
    if (mStatusTimer)
        mStatusTimer->stop();
    mDHCPThread->SetAbort(true);
    mUpdate->FirmwareWorker()->SetAbort(true);
    mUpdate->ReconnectWorker()->SetAbort(true);
    mSession->Discovery()->SetAbort(true);
    for (QThread *worker :
        { static_cast<QThread *>(mDHCPThread), static_cast<QThread *>(mUpdate->FirmwareWorker()),
            static_cast<QThread *>(mUpdate->ReconnectWorker()),
            static_cast<QThread *>(mSession->Discovery()) })
        ModuleSession::StopWorker(worker, ModuleSession::kWorkerStopWaitMs);
    mUpdate->Abandon();
    writeSettings();
    Disconnect();
    QMainWindow::closeEvent(event);
}
