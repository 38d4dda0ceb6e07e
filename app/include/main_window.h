#pragma once

#include "cmd_engine.h"
#include "posix_serial_if.h"
#include "update_prompts.h"

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>

struct AppSettings;
class CAppIF;
class CTrivo;
class DHCPThread;
class DevicePage;
class ModuleSession;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplashScreen;
class QThread;
class QTimer;
class UpdateSequence;
class VeltoComboBox;
struct NetworkTabUi;

using QIntList = QList<int>;

// The program's one window: owns the platform interface, the command engine, the
// workers, the timers and the device pages; connects to the module chosen in the
// device combo, polls it every 157 ms and shows its page.
class MainWindow : public QMainWindow, public CErrorReportIF, public UpdatePrompts
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // CErrorReportIF
    void ReportError(QString message) override;

    void DiscoverModule();
    void Disconnect();
    void SelectDevice(int index);
    void SelectPage(uint32_t boardId);
    void RefreshPage();
    void UpdateStatusUi();
    // One status read into mDevice; false when it ended early (module gone or silent).
    bool GetParameterValuesTrivo();

    // The page shown for a board ID (the unknown-device page for IDs without one).
    DevicePage *PageForBoardId(uint32_t boardId) const;
    DevicePage *CurrentPage() const { return PageForBoardId(mBoardId); }
    uint32_t BoardId() const { return mBoardId; }
    CCmdEngine *CmdEngine() const { return mCmdEngine; }
    ModuleSession *Session() const { return mSession; }
    CTrivo *Device() const { return mDevice; }
    QComboBox *DeviceComboBox() const;
    QLabel *GlobalStatusLabel() const { return mGlobalStatusLabel; }
    QString StatusText() const;
    bool DiscoveryRunning() const;
    bool LanEdited(int netIf) const { return mLanEdited[netIf]; }
    QString LastConnectedSerialNumber() const;
    QList<QAction *> Actions() const;

    // Test hooks, applied to the serial interface the next window creates.
    static void setPortListerForTesting(CPosixSerialIF::PortLister lister);

public slots:
    void PostAppStatusMessage(QString message);
    void PostDeviceAddedList(
        QStringList deviceNameList, QIntList deviceIndexList, QStringList serialIDList);
    void PostPortsHeld(QStringList paths);
    void DeviceAdded();
    void DeviceRemoved();
    void ShowErrorDialog(QString message);
    void DiscoverModuleComplete();
    void ObtainIpFromDHCPComplete();
    void ChangeModuleType();
    void NewConnection();
    bool Refresh();
    bool About();
    bool Manual();
    void CopyFromQLabel();
    void StatusTimer();
    void StartStatusTimer();
    void StopUpdateTimer();
    void MainWindowDeviceSelect(int index);
    void paste();
    void TrivoGroupBoxChanged(int index);
    void LanConfigurationModified();
    void SetEnableState();

    // Firmware update and factory reset (main_window_update.cpp).
public:
    UpdateSequence *Update() const { return mUpdate; }
    // UpdatePrompts: the update's questions as the window's dialogs.
    QString PickPackage(const PackageRequest &request) override;
    bool ConfirmUpdate(const QString &displayName, const QString &fileName) override;
    bool ConfirmCommit(const QString &title, const QString &message) override;
    void RebootNotice(const QString &displayName) override;
    bool OfferLockRelease(const QString &displayName) override;
public slots:
    void UpdatePushButtonChanged();
    void PostUpdateProgressMessage(QString message, int value);
    void PostProgressValue(int percentValue);
    int GetProgressValue() const;
    int GetProgressMaxValue() const;
    QString GetProgressMessage() const;
    void UpdateTimer();
    bool Revert();

private:
    void setupUpdate(const QString &firmwarePath);
    void updateChainStarted();
    void updateChainFinished();
    bool updateSupported() const; // the page on show offers a firmware update
    UpdateSequence *mUpdate = nullptr;

    // Network controls: apply with its checks, DHCP lease, UPnP host, web page,
    // authentication and system name.
public slots:
    void PostIpAddressOffered(CCmdEngine::eNetIf_t netIf);
    void LanApplyPushButtonChanged();
    void TrivoUPnPEnableComboBoxChanged(int index);
    void TrivoOpenWebPagePushButtonClicked();
    void TrivoDisableAuthenticationPushButtonChanged();
    void InfoSetPushButtonChanged();

public:
    void ObtainIpFromDHCP(CCmdEngine::eNetIf_t netIf);
    bool DhcpRunning() const { return dhcpRunning(); }

private:
    void connectNetworkControls(DevicePage *page);
    void connectDhcpWorker();
    void ApplyLan(NetworkTabUi &tab, int netIf);
    void SetSystemName(QLineEdit *edit);
    // True, with a word on the status line for a DHCP run, while a worker holds the engine.
    bool refuseWhileEngineHeld();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    AppSettings readSettings();
    void writeSettings();
    // Moves the window so that all of it is on a screen (a stored position may not be).
    void placeOnScreen();
    void setupForm();
    void buildPages();
    void applyStyles();
    // Places the pages, the status line and the device combo around a page area, and fixes
    // the window's size to hold them.
    void placeForm(const QSize &pageArea);
    void stylePage(DevicePage *page);
    void Connect(int port);
    // Starts the discovery runs asked for while the engine was busy; false when none was.
    bool RunPendingDiscovery();
    // A held port looked at again: a new discovery run once one is free.
    void CheckHeldPorts();
    // Says, until the user picks in the device list, that discovery put another module on
    // show by itself; an empty previousSerial takes the notice back.
    void showModuleSwitched(const QString &previousSerial);
    // Opens an address in the desktop's browser, or tells the user where to go.
    void openInBrowser(const QString &url);
    void setStatusText(const QString &text);
    void clearUpdateProgressMessage();

    // Status display helpers.
    void GenericUpdateStatusUi(int netIf, NetworkTabUi &tab, const char *functionName);
    void updateAuthenticationField(DevicePage *page);
    void refreshPageContents(DevicePage *page);
    void refreshInfoTab(DevicePage *page, const QString &serial);
    void clearUnknownPage(DevicePage *page);
    // The network fields of an interface (-1: all) follow the module again, as at a new
    // connection: edits are forgotten and the next poll fills them.
    void followModule(int netIf);
    bool dhcpRunning() const;
    bool engineHeld() const; // a worker holds the engine
    bool updateBusy() const;
    int NetIfOfWidget(QObject *object) const;

    // How the connected module answered the last poll.
    enum class PollState
    {
        Normal, // polled every 157 ms
        Silent, // a read timed out: one read at a slow pace until it answers
        Gone, // its port went away: the page says so until the next connection
    };
    void moduleSilent();
    void moduleGone();
    // The page's link texts, USB text and power LED: live, or showing the module gone.
    void showPageLive(DevicePage *page, bool live);
    bool connectedPortGone() const;
    PollState mPollState = PollState::Normal;

    QWidget *mCentral = nullptr;
    QLabel *mGlobalStatusLabel = nullptr;
    VeltoComboBox *mGlobalDeviceComboBox = nullptr;
    QGroupBox *mRegisterGroupBox = nullptr;
    QCheckBox *mAutoUpdateCheckBox = nullptr;
    QPushButton *mUpdateAllButton = nullptr;
    QLabel *mImageSafebootModeLabel = nullptr;
    QList<DevicePage *> mPages; // in page-table order, unknown device first

    QMutex mStatusMutex;
    QMutex mProgressMutex;
    uint32_t mBoardId = kBoardIdUninitialised;
    uint32_t mCurrentNetIf = 0;
    DHCPThread *mDHCPThread = nullptr; // the session's DHCP lease worker
    int mManufacturingMode = 0;
    QString mDeviceNamePref;
    QString mAppVersion;
    int mMenuBarHeight = 0;
    QMenu *mFileMenu = nullptr;
    QMenu *mEditMenu = nullptr;
    QMenu *mHelpMenu = nullptr;
    QAction *mRevertAct = nullptr;
    QAction *mRefreshAct = nullptr;
    QAction *mQuitAct = nullptr;
    QAction *mAboutAct = nullptr;
    QAction *mManualAct = nullptr;
    QAction *mCutAct = nullptr;
    QAction *mCopyAct = nullptr;
    QAction *mPasteAct = nullptr;
    QMap<uint32_t, DevicePage *> mPageByBoardId;
    int mCurrentTabIndex = 0;
    bool mEngineFree = false;
    QTimer *mStatusTimer = nullptr;
    QTimer *mUpdateTimer = nullptr;
    int mPendingDiscoveries = 0;
    QStringList mHeldPorts; // candidate ports another program held at the last discovery
    QTimer *mHeldPortTimer = nullptr;
    QString mShownSerial; // the module put on show last in this run
    bool mLanEdited[3] = { false, false, false };
    uint32_t mLanModeSeen[3] = { 0, 0, 0 };
    CAppIF *mAppIF = nullptr;
    CTrivo *mDevice = nullptr;
    // Engine, connection, discovery worker and the record of who uses the engine; the
    // engine pointer is the session's, kept for brevity.
    ModuleSession *mSession = nullptr;
    CCmdEngine *mCmdEngine = nullptr;
    QSplashScreen *mSplash = nullptr;
    QList<QLineEdit *> mCopyConnected; // line edits whose copy() the Copy action reaches
};
