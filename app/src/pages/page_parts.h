#pragma once

#include "device_page.h"

#include <QHash>

// Builders of the shared page parts. Each creates its widgets without a parent; the
// page adopts them when it puts them into its layout.

struct NetworkTabOptions
{
    QString prefix; // "", "Media" or "Media2": object names are "m" + prefix + member
    bool upnp = false; // the interface has a UPnP host
    QStringList speeds; // the speed choice; empty for none
};

NetworkTabUi BuildNetworkTab(const NetworkTabOptions &options);

// downloadPage is the product page address, empty for no link.
UpdateTabUi BuildUpdateTab(const QString &downloadPage);

InfoTabUi BuildInfoTab(bool manufacturingMode);

struct PicturePanelUi
{
    QWidget *panel = nullptr;
    QLabel *serialNumberLabel = nullptr;
    QLabel *mainLabel = nullptr;
    QList<QLabel *> labels; // every label of the panel
    QHash<QString, QLabel *> namedLabels; // by object name
};

PicturePanelUi BuildPicturePanel(const PageRow &row);
