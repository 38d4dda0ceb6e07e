#include "model_registry.h"

#include "product_id.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

ModelInterface control(const char *title, bool upnp = true)
{
    return { "control", title, {}, upnp };
}

// Media LANs have no UPnP host.
ModelInterface media(const char *title, const QStringList &speeds = {})
{
    return { "media", title, speeds, false };
}

ModelInterface media2(const char *title, const QStringList &speeds = {})
{
    return { "media2", title, speeds, false };
}

const char *const kNetwork = QT_TRANSLATE_NOOP("ModelRegistry", "Network");
const char *const kControlLan = QT_TRANSLATE_NOOP("ModelRegistry", "Control LAN");
const char *const kMediaLan1 = QT_TRANSLATE_NOOP("ModelRegistry", "Media LAN 1");
const char *const kMediaLan2 = QT_TRANSLATE_NOOP("ModelRegistry", "Media LAN 2");

using F = PageFamily;
using V = ModelVideo;

ModelRow identity(uint32_t boardId, const char *name, const QStringList &productIds,
    const QStringList &aliases = {})
{
    ModelRow row;
    row.boardId = boardId;
    row.modelName = name;
    row.productIds = productIds;
    row.aliases = aliases;
    return row;
}

// A model with a page of the router family: named parameters, no UPnP host, no update.
ModelRow router(uint32_t boardId, const char *name, const QString &productId,
    const QStringList &aliases, const char *artwork)
{
    ModelRow row = identity(boardId, name, { productId }, aliases);
    row.interfaces = { control(kNetwork, false) };
    row.router = true;
    row.family = F::Router;
    row.artwork = artwork;
    return row;
}

// A model with a page of its own and numeric parameter IDs.
ModelRow paged(uint32_t boardId, const char *name, const QStringList &productIds,
    const QList<ModelInterface> &interfaces, bool updatable, PageFamily family, const char *artwork,
    ModelVideo video = V::None, const QStringList &aliases = {})
{
    ModelRow row = identity(boardId, name, productIds, aliases);
    row.numericIds = true;
    row.interfaces = interfaces;
    row.updatable = updatable;
    row.family = family;
    row.video = video;
    row.artwork = artwork;
    return row;
}

// A model known by name only: no page here.
ModelRow identityOnly(
    uint32_t boardId, const char *name, const QStringList &productIds, bool numericIds)
{
    ModelRow row = identity(boardId, name, productIds);
    row.numericIds = numericIds;
    return row;
}

// Everything is built on first use, not by static initialisers: the product tables are
// filled from these rows before main.
QList<ModelRow> buildRows()
{
    const QStringList speeds25g { QStringLiteral("10G"), QStringLiteral("10G FEC74"),
        QStringLiteral("25G"), QStringLiteral("25G FEC74"), QStringLiteral("25G FEC108") };
    const QList<ModelInterface> singleLan { control(kNetwork) };
    const QList<ModelInterface> oneMediaLan { control(QT_TRANSLATE_NOOP(
                                                  "ModelRegistry", "Control Network")),
        media(QT_TRANSLATE_NOOP("ModelRegistry", "Media Network")) };
    const QList<ModelInterface> twoMediaLans { control(kControlLan), media(kMediaLan1),
        media2(kMediaLan2) };
    const QList<ModelInterface> audioNet { control(QT_TRANSLATE_NOOP(
                                               "ModelRegistry", "Primary Network")),
        media(QT_TRANSLATE_NOOP("ModelRegistry", "Secondary Network")) };
    const QList<ModelInterface> rx25g { control(kControlLan), media(kMediaLan1, speeds25g),
        media2(kMediaLan2, speeds25g) };

    ModelRow colorProc = paged(
        BOARD_COLOR_PROC, "ColorProc", { "PRISM" }, singleLan, false, F::ColorProc, "ColorProc");
    colorProc.aliases = QStringList { "ColorProc" };
    colorProc.passwordReset = false;

    QList<ModelRow> rows {
        paged(BOARD_RECORDER, "RECORDER", { "RECORDER" }, singleLan, true, F::Recorder, "Recorder"),
        paged(BOARD_RECORDER_PLUS, "RECORDER Plus", { "RECORDER-PLUS" }, singleLan, true,
            F::Recorder, "RecorderPlus"),
        identityOnly(BOARD_RECORDER_EXTRA_A, "RECORDER X1", { "RECORDER-X1" }, true),
        identityOnly(BOARD_RECORDER_EXTRA_B, "RECORDER X2", { "RECORDER-X2" }, true),
        paged(BOARD_USB_HUB, "USB-HUB", { "USBHUB" }, singleLan, true, F::UsbHub, "UsbHub"),
        router(BOARD_ROUTER_PANEL, "ROUTER CP", "ROUTER-PANEL",
            { "Router Panel", "Velto ROUTER 16x16 Remote Panel" }, "RouterPanel"),
        router(BOARD_ROUTER_PANEL_2, "ROUTER CP2", "ROUTER-PANEL-2",
            { "Router Panel2", "Velto ROUTER 32x32 Remote Panel", "Velto ROUTER CP2 Remote Panel" },
            "RouterPanel2"),
        router(BOARD_ROUTER_16X4, "ROUTER 16x4", "ROUTER-16X4", { "Velto ROUTER 16x4 Router" },
            "Router16x4"),
        router(BOARD_ROUTER_16X16, "ROUTER 16x16", "ROUTER-16X16", { "Velto ROUTER 16x16 Router" },
            "Router16x16"),
        router(BOARD_ROUTER_32X32, "ROUTER 32x32", "ROUTER-32X32", { "Velto ROUTER 32x32 Router" },
            "Router32x32"),
        router(BOARD_ROUTER_64X64, "ROUTER 64x64", "ROUTER-64X64", { "Velto ROUTER 64x64 Router" },
            "Router64x64"),
        router(BOARD_ROUTER_16X16_12G, "ROUTER 16x16-12G", "ROUTER-16X16-12G",
            { "Velto ROUTER 16x16-12G Router" }, "Router16x16_12g"),
        router(BOARD_ROUTER_32X32_12G, "ROUTER 32x32-12G", "ROUTER-32X32-12G",
            { "Velto ROUTER 32x32-12G Router" }, "Router32x32_12g"),
        router(BOARD_ROUTER_64X64_12G, "ROUTER 64x64-12G", "ROUTER-64X64-12G",
            { "Velto ROUTER 64x64-12G Router" }, "Router64x64_12g"),
        // The second hardware revision: its own board ID, the same page.
        router(BOARD_ROUTER_64X64_12G_1, "ROUTER 64x64-12G", "ROUTER-64X64-12G-1",
            { "Velto ROUTER 64x64-12G-1 Router" }, "Router64x64_12g"),
        paged(BOARD_RX_1G_HDMI, "RX-1G-HDMI", { "DECODER" }, oneMediaLan, true, F::OneMediaLan,
            "Rx1gHdmi", V::Hdmi),
        paged(BOARD_RX_1G_SDI, "RX-1G-SDI", { "DECODER-SDI" }, oneMediaLan, true, F::OneMediaLan,
            "Rx1gSdi", V::Sdi),
        paged(BOARD_RX_10G_HDMI, "RX-10G-HDMI", { "DECODER10G" }, oneMediaLan, true, F::OneMediaLan,
            "Rx10gHdmi", V::Hdmi),
        paged(BOARD_RX_10G2_HDMI, "RX-10G2-HDMI", { "DECODER10G2", "DECODER10G2-P" }, twoMediaLans,
            true, F::TwoMediaLans, "Rx10g2Hdmi", V::Hdmi),
        paged(BOARD_RX_10G2_SDI, "RX-10G2-SDI", { "DECODER10G2-SDI", "DECODER10G2-SDI-P" },
            twoMediaLans, true, F::TwoMediaLans, "Rx10g2Sdi", V::Sdi),
        paged(BOARD_RX_25G, "RX-25G", { "QUASAR" }, rx25g, false, F::Rx25g, "Rx25g", V::None,
            { "RX-25G" }),
        paged(BOARD_TX_1G_HDMI, "TX-1G-HDMI", { "ENCODER-HDMI" }, oneMediaLan, true, F::OneMediaLan,
            "Tx1gHdmi", V::Hdmi),
        paged(BOARD_TX_1G_SDI, "TX-1G-SDI", { "ENCODER-SDI" }, oneMediaLan, true, F::OneMediaLan,
            "Tx1gSdi", V::Sdi),
        paged(BOARD_TX_10G2_HDMI, "TX-10G2-HDMI", { "ENCODER10G2-HDMI", "ENCODER10G2-HDMI-P" },
            twoMediaLans, true, F::TwoMediaLans, "Tx10g2Hdmi", V::Hdmi),
        paged(BOARD_TX_10G2_SDI, "TX-10G2-SDI", { "ENCODER10G2-SDI", "ENCODER10G2-SDI-P" },
            twoMediaLans, true, F::TwoMediaLans, "Tx10g2Sdi", V::Sdi),
        colorProc,
        paged(BOARD_AUDIO_NET, "AudioNet", { "CONDOR" }, audioNet, false, F::AudioNet, "AudioNet"),
    };
    std::sort(rows.begin(), rows.end(),
        [](const ModelRow &a, const ModelRow &b) { return a.boardId < b.boardId; });
    return rows;
}

} // namespace

const ModelInterface *ModelRow::findInterface(const QString &key) const
{
    for (const ModelInterface &iface : interfaces) {
        if (key == QLatin1String(iface.key))
            return &iface;
    }
    return nullptr;
}

namespace ModelRegistry {

// Function-local statics: other static initialisers may already look models up.
const QList<ModelRow> &Rows()
{
    static const QList<ModelRow> rows = buildRows();
    return rows;
}

const ModelRow *Find(uint32_t boardId)
{
    for (const ModelRow &row : Rows()) {
        if (row.boardId == boardId)
            return &row;
    }
    return nullptr;
}

const ModelRow &Unknown()
{
    // Its Update tab stays, with the button off: what is plugged in may be updatable.
    static const ModelRow row = [] {
        ModelRow r = identity(kBoardIdUnknown, "Unknown Device", {});
        r.interfaces = { control(kNetwork) };
        r.family = F::Unknown;
        r.artwork = "Unknown";
        return r;
    }();
    return row;
}

const ModelRow &RowOrUnknown(uint32_t boardId)
{
    const ModelRow *row = Find(boardId);
    return row && row->hasPage() ? *row : Unknown();
}

const QStringList &InterfaceKeys()
{
    static const QStringList keys { QStringLiteral("control"), QStringLiteral("media"),
        QStringLiteral("media2") };
    return keys;
}

QString TabTitle(const ModelInterface &iface)
{
    return QCoreApplication::translate("ModelRegistry", iface.tabTitle);
}

QString FamilyKey(PageFamily family)
{
    static const char *const keys[] = { "none", "unknown", "usb-hub", "recorder", "router",
        "colour-processor", "one-media-lan", "audio-network", "two-media-lans", "25g-receiver" };
    return QString::fromLatin1(keys[int(family)]);
}

} // namespace ModelRegistry
