#pragma once

#include "model_registry.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

// The device pages: one page form per model family, all sharing one member layout.
// Widgets carry the object names the window looks up ("mNetworkTab",
// "mMediaIpAddressLineEdit", ...); the structs below hold typed pointers to them.

// One network tab. prefix is "" (control LAN), "Media" or "Media2".
struct NetworkTabUi
{
    QWidget *tab = nullptr; // m<prefix>NetworkTab
    QLabel *macAddressLabel = nullptr;
    QWidget *networkConfigGroupBox = nullptr;
    QLabel *gatewayIpLabel = nullptr;
    QPushButton *applyPushButton = nullptr; // m<prefix>NetworkConfigApplyPushButton
    QLineEdit *ipAddressLineEdit = nullptr;
    QLabel *ipAddressLabel = nullptr;
    QLineEdit *gatewayIpLineEdit = nullptr;
    QComboBox *modeComboBox = nullptr; // "DHCP" (0), "Static" (1)
    QLabel *modeLabel = nullptr;
    QLineEdit *subnetMaskLineEdit = nullptr;
    QLabel *subnetMaskLabel = nullptr;
    QLabel *modeStatus = nullptr;
    QLabel *ipAddressStatus = nullptr;
    QLabel *subnetMaskStatus = nullptr;
    QLabel *gatewayIpStatus = nullptr;
    QLabel *upnpEnableLabel = nullptr;
    QComboBox *upnpEnableComboBox = nullptr; // "Enable" (0), "Disable" (1)
    QLabel *upnpEnableStatus = nullptr;
    QLineEdit *macAddressLineEdit = nullptr;
    QPushButton *openWebPagePushButton = nullptr;
    // Interfaces with a speed choice only.
    QLabel *speedLabel = nullptr;
    QComboBox *speedComboBox = nullptr; // the interface's speed choice, where it has one
    QLabel *speedStatus = nullptr;
    // Link text of this interface in the picture area (mImageLanStatusLabel,
    // mImageMediaLanStatusLabel, mImageMedia2LanStatusLabel).
    QLabel *linkStatusLabel = nullptr;
};

struct UpdateTabUi
{
    QWidget *tab = nullptr; // mUpdateTab
    QLineEdit *currVersionLineEdit = nullptr;
    QLabel *currVersionLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *progressLabel = nullptr;
    QPushButton *updatePushButton = nullptr;
    QLabel *progressMessageLabel = nullptr;
    QLabel *downloadLabel = nullptr;
    QLabel *downloadLinkLabel = nullptr; // null on the unknown-device page
};

struct InfoTabUi
{
    QWidget *tab = nullptr; // mInfoTab
    QLabel *nameLabel = nullptr;
    QLineEdit *nameLineEdit = nullptr;
    QLabel *typeLabel = nullptr;
    QLineEdit *typeLineEdit = nullptr;
    QPushButton *setNamePushButton = nullptr;
    QLabel *authenticationLabel = nullptr;
    QLineEdit *authenticationLineEdit = nullptr;
    QPushButton *disableAuthenticationPushButton = nullptr;
    QLabel *safebootLabel = nullptr;
    QLabel *bootloaderLabel = nullptr;
    QLineEdit *safebootLineEdit = nullptr;
    QLineEdit *bootloaderLineEdit = nullptr;
};

class DevicePage;

// One page of the window: the models it shows, and the names of its form and picture.
struct PageRow
{
    QList<uint32_t> boardIds; // two for the shared 64x64 12G router page
    const ModelRow *model; // what the page shows: interfaces, update support, family
    QString containerName; // "mRecorderWidget", ...
    QString formName; // "RecorderUi", ...
    QString modelPicture; // resource path of the model's picture

    PageFamily family() const { return model->family; }
};

// The room the window's form gives a page below the device combo, when the fonts allow.
constexpr int kPageAreaWidthPx = 709;
constexpr int kPageAreaHeightPx = 494;

// Makes the pages hold with the fonts in use, and returns the room the window gives them.
// Each page is polished (styled as it will be shown); a push button whose text needs more
// height than the style's cap allows gets that height. The room is the form's area, grown to
// the largest minimum size of the pages where the fonts need more, so that no page is
// squeezed below what its widgets need.
QSize FitPagesToFonts(const QList<DevicePage *> &pages);

// The page table, from the model registry: the unknown device's page first, then one page
// per artwork, in board ID order.
const QList<PageRow> &PageTable();
// The row for a board ID, or nullptr when the ID has no page.
const PageRow *FindPageRow(uint32_t boardId);

// One built page: its container and the typed members of its form.
class DevicePage : public QWidget
{
    Q_OBJECT

public:
    // Builds the whole page (tabs, picture area) inside a new container widget.
    // manufacturingMode shows the safeboot and bootloader fields.
    DevicePage(const PageRow &row, bool manufacturingMode, QWidget *parent = nullptr);

    const PageRow &row() const { return mRow; }
    QTabWidget *groupBox() const { return mGroupBox; } // mGroupBox
    // One per interface of the model; index = CCmdEngine::eNetIf_t.
    int networkTabCount() const { return mNetworkTabs.size(); }
    NetworkTabUi &networkTab(int netIf) { return mNetworkTabs[netIf]; }
    const NetworkTabUi &networkTab(int netIf) const { return mNetworkTabs[netIf]; }
    UpdateTabUi &updateTab() { return mUpdateTab; }
    InfoTabUi &infoTab() { return mInfoTab; }
    // Removes the Update tab from the tab widget. The constructor already does this for
    // pages that do not keep it; a second call changes nothing.
    void removeUpdateTab();
    bool hasUpdateTab() const;

    // Picture area.
    QLabel *imageSerialNumberLabel() const { return mImageSerialNumberLabel; }
    QLabel *imageMainLabel() const { return mImageMainLabel; }
    QLabel *imageUnknownNameLabel() const { return mImageUnknownNameLabel; } // unknown page only
    QLabel *imageUsbStatusLabel() const { return mImageUsbStatusLabel; } // unknown page only
    QList<QLabel *> pictureLabels() const
    {
        return mPictureLabels;
    } // every label of the picture area

private:
    PageRow mRow;
    QTabWidget *mGroupBox = nullptr;
    QList<NetworkTabUi> mNetworkTabs;
    UpdateTabUi mUpdateTab;
    InfoTabUi mInfoTab;
    QLabel *mImageSerialNumberLabel = nullptr;
    QLabel *mImageMainLabel = nullptr;
    QLabel *mImageUnknownNameLabel = nullptr;
    QLabel *mImageUsbStatusLabel = nullptr;
    QList<QLabel *> mPictureLabels;
};
