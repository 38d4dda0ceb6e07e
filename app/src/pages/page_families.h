#pragma once

#include "device_page.h"

#include <QList>

// What tells the page families apart in drawing, as data: the labels of the picture area
// and the LED picture (what each model has is the model registry's). The artwork generator reads
// the same data, so the connectors drawn on a model picture line up with the captions under it.

// Drawn shape of a connector on the model picture.
enum class ConnectorShape
{
    UsbB,
    UsbA,
    Rj45,
    Sfp,
    Hdmi,
    Bnc,
    Audio,
    SdCard,
};

enum class PictureRole
{
    Connector, // drawn on the picture, caption in the row under it
    Status, // "caption: value" in the status row; the value is the named label
    Led, // caption label (named) followed by the family's LED picture (named)
    Plain, // a named label in the status row
    Hidden, // exists for the window's sake but has no place on this page
};

struct PictureItem
{
    const char *name; // object name
    const char *text; // initial text (translated at run time)
    PictureRole role;
    ConnectorShape shape = ConnectorShape::Rj45; // Connector only
    ModelVideo only = ModelVideo::None; // shown only on models with this video
    const char *caption = nullptr; // Status: caption in front of the value; Led: LED name
};

struct FamilyTraits
{
    PageFamily family;
    QList<PictureItem> picture; // in panel order
    const char *ledPicture; // resource of the LED, nullptr without one
    bool hasDownloadLink;
};

const FamilyTraits &TraitsFor(PageFamily family);

// The picture items of one page: its family's list without the items of the other video kind.
QList<PictureItem> PictureItemsFor(const PageRow &row);

// Geometry shared by the model pictures and the caption row under them.
constexpr int kPictureWidthPx = 672;
constexpr int kPictureHeightPx = 92;
constexpr int kPictureNameWidthPx = 150; // left part of the panel: model name
constexpr int kPictureBorderPx = 8; // right margin after the last connector slot

// Width of one connector slot when the panel holds connectorCount connectors.
inline int ConnectorSlotWidthPx(int connectorCount)
{
    const int room = kPictureWidthPx - kPictureNameWidthPx - kPictureBorderPx;
    return connectorCount > 0 ? room / connectorCount : room;
}

constexpr const char *kBackgroundPicture = ":/media/images/pages/background.png";
constexpr const char *kLedGreenPicture = ":/media/images/ledgreen.png";
constexpr const char *kLedGreenDownPicture = ":/media/images/ledgreendown.png";
