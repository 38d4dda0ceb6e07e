#include "page_parts.h"
#include "velto_combo_box.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

constexpr const char *kMacInputMask = "HH:HH:HH:HH:HH:HH;_";
constexpr const char *kAddressPlaceholder = "192.168.888.888";

// Creates a named widget; the object name is what the window and the tab lookup find.
template <typename W> W *named(const QString &objectName)
{
    auto *w = new W;
    w->setObjectName(objectName);
    return w;
}

QLabel *namedLabel(const QString &objectName, const QString &text)
{
    auto *label = named<QLabel>(objectName);
    // Value labels show what a module reports: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QPushButton *namedButton(const QString &objectName, const QString &text)
{
    auto *button = named<QPushButton>(objectName);
    button->setText(text);
    return button;
}

QLineEdit *readOnlyEdit(const QString &objectName)
{
    auto *edit = named<QLineEdit>(objectName);
    edit->setReadOnly(true);
    return edit;
}

void addRow(QGridLayout *grid, QWidget *a, QWidget *b, QWidget *c = nullptr)
{
    const int row = grid->rowCount();
    grid->addWidget(a, row, 0);
    grid->addWidget(b, row, 1);
    if (c)
        grid->addWidget(c, row, 2);
}

QGridLayout *threeColumnGrid(QWidget *parent)
{
    auto *grid = new QGridLayout(parent);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
    grid->setVerticalSpacing(4);
    return grid;
}

} // namespace

NetworkTabUi BuildNetworkTab(const NetworkTabOptions &options)
{
    const auto n = [&](const char *member) {
        return QStringLiteral("m") + options.prefix + QLatin1String(member);
    };

    NetworkTabUi ui;
    ui.tab = named<QWidget>(n("NetworkTab"));

    auto *box = named<QGroupBox>(n("NetworkConfigGroupBox"));
    ui.networkConfigGroupBox = box;
    ui.modeLabel = namedLabel(n("ModeLabel"), DevicePage::tr("IP Address Type:"));
    ui.modeComboBox = named<VeltoComboBox>(n("ModeComboBox"));
    ui.modeComboBox->addItems({ DevicePage::tr("DHCP"), DevicePage::tr("Static") });
    ui.modeStatus = namedLabel(n("ModeStatus"), DevicePage::tr("DHCP"));
    ui.ipAddressLabel = namedLabel(n("IpAddressLabel"), DevicePage::tr("IP Address:"));
    ui.ipAddressLineEdit = named<QLineEdit>(n("IpAddressLineEdit"));
    ui.ipAddressStatus = namedLabel(n("IpAddressStatus"), kAddressPlaceholder);
    ui.subnetMaskLabel = namedLabel(n("SubnetMaskLabel"), DevicePage::tr("Subnet Mask:"));
    ui.subnetMaskLineEdit = named<QLineEdit>(n("SubnetMaskLineEdit"));
    ui.subnetMaskStatus = namedLabel(n("SubnetMaskStatus"), kAddressPlaceholder);
    ui.gatewayIpLabel = namedLabel(n("GatewayIpLabel"), DevicePage::tr("Gateway:"));
    ui.gatewayIpLineEdit = named<QLineEdit>(n("GatewayIpLineEdit"));
    ui.gatewayIpStatus = namedLabel(n("GatewayIpStatus"), kAddressPlaceholder);
    // The Apply button sits in the same box as the mode and speed combos: editing a combo
    // disables every Apply button below the combo's parent.
    ui.applyPushButton = namedButton(n("NetworkConfigApplyPushButton"), DevicePage::tr("Apply"));

    auto *config = threeColumnGrid(box);
    addRow(config, ui.modeLabel, ui.modeComboBox, ui.modeStatus);
    addRow(config, ui.ipAddressLabel, ui.ipAddressLineEdit, ui.ipAddressStatus);
    addRow(config, ui.subnetMaskLabel, ui.subnetMaskLineEdit, ui.subnetMaskStatus);
    addRow(config, ui.gatewayIpLabel, ui.gatewayIpLineEdit, ui.gatewayIpStatus);
    if (!options.speeds.isEmpty()) {
        ui.speedLabel = namedLabel(n("SpeedLabel"), DevicePage::tr("Speed:"));
        ui.speedComboBox = named<VeltoComboBox>(n("SpeedComboBox"));
        ui.speedComboBox->addItems(options.speeds);
        ui.speedStatus = namedLabel(n("SpeedStatus"), "25G");
        addRow(config, ui.speedLabel, ui.speedComboBox, ui.speedStatus);
    }
    config->addWidget(ui.applyPushButton, config->rowCount(), 2, Qt::AlignRight);

    ui.upnpEnableLabel = namedLabel(n("UPnPEnableLabel"), DevicePage::tr("UPnP Host:"));
    ui.upnpEnableComboBox = named<VeltoComboBox>(n("UPnPEnableComboBox"));
    ui.upnpEnableComboBox->addItems({ DevicePage::tr("Enable"), DevicePage::tr("Disable") });
    ui.upnpEnableStatus = namedLabel(n("UPnPEnableStatus"), DevicePage::tr("Disabled"));
    ui.macAddressLabel = namedLabel(n("MacAddressLabel"), DevicePage::tr("MAC Address:"));
    ui.macAddressLineEdit = readOnlyEdit(n("MacAddressLineEdit"));
    ui.macAddressLineEdit->setInputMask(kMacInputMask);
    ui.openWebPagePushButton
        = namedButton(n("OpenWebPagePushButton"), DevicePage::tr("Open Web Page"));

    auto *column = new QVBoxLayout(ui.tab);
    column->addWidget(box);
    auto *rest = new QGridLayout;
    rest->setColumnStretch(1, 3);
    rest->setColumnStretch(2, 2);
    addRow(rest, ui.upnpEnableLabel, ui.upnpEnableComboBox, ui.upnpEnableStatus);
    addRow(rest, ui.macAddressLabel, ui.macAddressLineEdit, ui.openWebPagePushButton);
    column->addLayout(rest);

    // The rows under the box line up with the rows in it: same inset, same label column.
    const QMargins inset = box->contentsMargins() + config->contentsMargins();
    rest->setContentsMargins(inset.left(), 0, inset.right(), 0);
    int labelWidth = 0;
    for (QLabel *label : { ui.modeLabel, ui.ipAddressLabel, ui.subnetMaskLabel, ui.gatewayIpLabel,
             ui.speedLabel, ui.upnpEnableLabel, ui.macAddressLabel }) {
        if (label)
            labelWidth = qMax(labelWidth, label->sizeHint().width());
    }
    config->setColumnMinimumWidth(0, labelWidth);
    rest->setColumnMinimumWidth(0, labelWidth);
    column->addStretch(1);

    // An interface without a UPnP host offers none to switch.
    if (!options.upnp) {
        ui.upnpEnableLabel->hide();
        ui.upnpEnableComboBox->hide();
        ui.upnpEnableStatus->hide();
    }
    return ui;
}

UpdateTabUi BuildUpdateTab(const QString &downloadPage)
{
    UpdateTabUi ui;
    ui.tab = named<QWidget>("mUpdateTab");
    ui.currVersionLabel = namedLabel("mUpdateCurrVersionLabel", DevicePage::tr("Installed:"));
    ui.currVersionLineEdit = named<QLineEdit>("mUpdateCurrVersionLineEdit");
    ui.currVersionLineEdit->setText(DevicePage::tr("Unknown Version"));
    ui.progressLabel = namedLabel("mUpdateProgressLabel", DevicePage::tr("Progress:"));
    ui.progressBar = named<QProgressBar>("mUpdateProgressProgressBar");
    ui.progressBar->setRange(0, 100);
    ui.progressBar->setValue(0);
    ui.updatePushButton = namedButton("mUpdatePushButton", DevicePage::tr("Browse..."));
    // Empty until an update reports progress.
    ui.progressMessageLabel = namedLabel("mUpdateProgressMessageLabel", QString());
    ui.progressMessageLabel->setWordWrap(true);
    ui.downloadLabel
        = namedLabel("mUpdateSofwareDownloadLabel", DevicePage::tr("For latest firmware:"));

    auto *grid = threeColumnGrid(ui.tab);
    grid->addWidget(ui.currVersionLabel, 0, 0);
    grid->addWidget(ui.currVersionLineEdit, 0, 1, 1, 2);
    grid->addWidget(ui.progressLabel, 1, 0);
    grid->addWidget(ui.progressBar, 1, 1, 1, 2);
    grid->addWidget(ui.updatePushButton, 2, 0);
    grid->addWidget(ui.progressMessageLabel, 2, 1, 1, 2);
    grid->addWidget(ui.downloadLabel, 3, 0);
    if (!downloadPage.isEmpty()) {
        const QString shown = QString(downloadPage).remove(QRegularExpression("^https?://"));
        ui.downloadLinkLabel = namedLabel("mUpdateSofwareDownloadLinkLabel",
            QStringLiteral("<a href=\"%1\">%2</a>").arg(downloadPage, shown.toHtmlEscaped()));
        ui.downloadLinkLabel->setTextFormat(Qt::RichText);
        ui.downloadLinkLabel->setOpenExternalLinks(true);
        grid->addWidget(ui.downloadLinkLabel, 3, 1, 1, 2);
    } else {
        ui.downloadLabel->hide();
    }
    grid->setRowStretch(4, 1);
    return ui;
}

InfoTabUi BuildInfoTab(bool manufacturingMode)
{
    InfoTabUi ui;
    ui.tab = named<QWidget>("mInfoTab");
    ui.nameLabel = namedLabel("mInfoNameLabel", DevicePage::tr("System Name:"));
    ui.nameLineEdit = named<QLineEdit>("mInfoNameLineEdit");
    ui.setNamePushButton = namedButton("mInfoSetNamePushButton", DevicePage::tr("Set System Name"));
    ui.typeLabel = namedLabel("mInfoTypeLabel", DevicePage::tr("Type:"));
    ui.typeLineEdit = readOnlyEdit("mInfoTypeLineEdit");
    ui.authenticationLabel
        = namedLabel("mInfoAuthenticationLabel", DevicePage::tr("Authentication:"));
    ui.authenticationLineEdit = readOnlyEdit("mInfoAuthenticationLineEdit");
    ui.disableAuthenticationPushButton
        = namedButton("mInfoDisableAuthenticationPushButton", DevicePage::tr("Disable"));
    ui.safebootLabel = namedLabel("mInfoSafebootLabel", DevicePage::tr("Safeboot Version:"));
    ui.safebootLineEdit = readOnlyEdit("mInfoSafebootLineEdit");
    ui.bootloaderLabel = namedLabel("mInfoBootloaderLabel", DevicePage::tr("Bootloader Version:"));
    ui.bootloaderLineEdit = readOnlyEdit("mInfoBootloaderLineEdit");

    auto *grid = threeColumnGrid(ui.tab);
    addRow(grid, ui.nameLabel, ui.nameLineEdit, ui.setNamePushButton);
    addRow(grid, ui.typeLabel, ui.typeLineEdit);
    addRow(grid, ui.authenticationLabel, ui.authenticationLineEdit,
        ui.disableAuthenticationPushButton);
    addRow(grid, ui.safebootLabel, ui.safebootLineEdit);
    addRow(grid, ui.bootloaderLabel, ui.bootloaderLineEdit);
    grid->setRowStretch(grid->rowCount(), 1);

    // Safeboot and bootloader versions are of interest in manufacturing only.
    if (!manufacturingMode) {
        const QList<QWidget *> manufacturingOnly { ui.safebootLabel, ui.safebootLineEdit,
            ui.bootloaderLabel, ui.bootloaderLineEdit };
        for (QWidget *w : manufacturingOnly)
            w->hide();
    }
    return ui;
}
