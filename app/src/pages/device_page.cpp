#include "device_page.h"
#include "page_families.h"
#include "page_parts.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <iterator>

// Resources of a static library have to be registered by hand, outside any namespace.
static void InitPageResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(pages);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

constexpr const char *kProductPageBase = "https://www.velto.example/products/";

// "RX-1G-HDMI" -> "rx-1g-hdmi", "RECORDER Plus" -> "recorder-plus".
QString ProductPage(const PageRow &row)
{
    return QLatin1String(kProductPageBase)
        + QString::fromLatin1(row.model->modelName).toLower().replace(' ', '-');
}

const char *const kNetworkPrefixes[] = { "", "Media", "Media2" };

} // namespace

DevicePage::DevicePage(const PageRow &row, bool manufacturingMode, QWidget *parent)
    : QWidget(parent)
    , mRow(row)
{
    InitPageResources();
    setObjectName(row.containerName);
    setWindowTitle(tr("Trivo Config"));

    const FamilyTraits &traits = TraitsFor(row.family());
    const QList<ModelInterface> &interfaces = row.model->interfaces;
    Q_ASSERT(interfaces.size() <= int(std::size(kNetworkPrefixes)));

    mGroupBox = new QTabWidget;
    mGroupBox->setObjectName("mGroupBox");
    for (int netIf = 0; netIf < interfaces.size(); ++netIf) {
        NetworkTabOptions options;
        options.prefix = kNetworkPrefixes[netIf];
        options.upnp = interfaces[netIf].upnp;
        options.speeds = interfaces[netIf].speeds;
        mNetworkTabs.append(BuildNetworkTab(options));
        mGroupBox->addTab(mNetworkTabs.last().tab, ModelRegistry::TabTitle(interfaces[netIf]));
    }
    mUpdateTab = BuildUpdateTab(traits.hasDownloadLink ? ProductPage(row) : QString());
    mGroupBox->addTab(mUpdateTab.tab, tr("Update"));
    mInfoTab = BuildInfoTab(manufacturingMode);
    mGroupBox->addTab(mInfoTab.tab, tr("Info"));

    PicturePanelUi picture = BuildPicturePanel(row);
    mImageSerialNumberLabel = picture.serialNumberLabel;
    mImageMainLabel = picture.mainLabel;
    mImageUnknownNameLabel = picture.namedLabels.value("mImageUnknownNameLabel");
    mImageUsbStatusLabel = picture.namedLabels.value("mImageUSBStatusLabel");
    mPictureLabels = picture.labels;
    const char *const linkLabels[]
        = { "mImageLanStatusLabel", "mImageMediaLanStatusLabel", "mImageMedia2LanStatusLabel" };
    for (int netIf = 0; netIf < mNetworkTabs.size(); ++netIf)
        mNetworkTabs[netIf].linkStatusLabel = picture.namedLabels.value(linkLabels[netIf]);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addWidget(picture.panel);
    column->addWidget(mGroupBox, 1);

    // The unknown device's page keeps its tab (the button stays off): what is plugged in
    // may well be updatable.
    if (!row.model->updatable && row.family() != PageFamily::Unknown)
        removeUpdateTab();
}

void DevicePage::removeUpdateTab()
{
    // The tab widget only lets go of the page; its widgets stay alive for the window's pointers.
    const int index = mGroupBox->indexOf(mUpdateTab.tab);
    if (index >= 0) {
        mGroupBox->removeTab(index);
        mUpdateTab.tab->hide();
    }
}

bool DevicePage::hasUpdateTab() const
{
    return mGroupBox->indexOf(mUpdateTab.tab) >= 0;
}

QSize FitPagesToFonts(const QList<DevicePage *> &pages)
{
    QSize area(kPageAreaWidthPx, kPageAreaHeightPx);
    for (DevicePage *page : pages) {
        // Fonts and size caps from style sheets take effect at polish.
        page->ensurePolished();
        // The window's style caps button heights for a compact look; a taller font would
        // have its text cut.
        const QList<QPushButton *> buttons = page->findChildren<QPushButton *>();
        for (QPushButton *button : buttons) {
            const int need = button->minimumSizeHint().height();
            if (need > button->maximumHeight())
                button->setMaximumHeight(need);
        }
        area = area.expandedTo(page->minimumSizeHint());
    }
    return area;
}
