#include "device_page.h"
#include "page_families.h"
#include "page_parts.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

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
QString ProductPage(const PageSpec &spec)
{
    return QLatin1String(kProductPageBase)
        + QString::fromLatin1(spec.modelName).toLower().replace(' ', '-');
}

const char *const kNetworkPrefixes[] = { "", "Media", "Media2" };

} // namespace

DevicePage::DevicePage(const PageSpec &spec, bool manufacturingMode, QWidget *parent)
    : QWidget(parent)
    , mSpec(spec)
{
    InitPageResources();
    setObjectName(spec.containerName);
    setWindowTitle(tr("Trivo Config"));

    const FamilyTraits &traits = TraitsFor(spec.family);
    Q_ASSERT(traits.networkTabTexts.size() == spec.mediaLanCount + 1);

    mGroupBox = new QTabWidget;
    mGroupBox->setObjectName("mGroupBox");
    for (int netIf = 0; netIf <= spec.mediaLanCount; ++netIf) {
        NetworkTabOptions options;
        options.prefix = kNetworkPrefixes[netIf];
        options.media = netIf > 0;
        options.withSpeed = netIf > 0 && spec.family == PageFamily::Rx25g;
        mNetworkTabs.append(BuildNetworkTab(options));
        mGroupBox->addTab(mNetworkTabs.last().tab,
            QCoreApplication::translate("DevicePage", traits.networkTabTexts.value(netIf)));
    }
    mUpdateTab = BuildUpdateTab(traits.hasDownloadLink ? ProductPage(spec) : QString());
    mGroupBox->addTab(mUpdateTab.tab, tr("Update"));
    mInfoTab = BuildInfoTab(manufacturingMode);
    mGroupBox->addTab(mInfoTab.tab, tr("Info"));

    PicturePanelUi picture = BuildPicturePanel(spec);
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

    if (!spec.keepsUpdateTab)
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
