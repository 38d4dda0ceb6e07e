#include "product_id.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

namespace {

// Model names are ordered as signed numbers: the alias completion walks them in that
// order, so of two board IDs sharing a model name the later one wins.
using ModelNameTable = std::map<int32_t, std::string>;
// std::string compares byte-wise (as unsigned char), which is the order we want.
using ProductIdTable = std::map<std::string, uint32_t>;
using AliasTable = std::map<std::string, uint32_t>;

struct ModelRow
{
    uint32_t boardID;
    const char *modelName;
};

struct ProductRow
{
    const char *productID;
    uint32_t boardID;
};

// Every model we know by name; all but kBoardsWithoutPage have a device page.
const ModelRow kModelRows[] = {
    { BOARD_RECORDER, "RECORDER" },
    { BOARD_RECORDER_PLUS, "RECORDER Plus" },
    { BOARD_RECORDER_EXTRA_A, "RECORDER X1" },
    { BOARD_RECORDER_EXTRA_B, "RECORDER X2" },
    { BOARD_USB_HUB, "USB-HUB" },
    { BOARD_ROUTER_PANEL, "ROUTER CP" },
    { BOARD_ROUTER_PANEL_2, "ROUTER CP2" },
    { BOARD_ROUTER_16X4, "ROUTER 16x4" },
    { BOARD_ROUTER_16X16, "ROUTER 16x16" },
    { BOARD_ROUTER_32X32, "ROUTER 32x32" },
    { BOARD_ROUTER_64X64, "ROUTER 64x64" },
    { BOARD_ROUTER_16X16_12G, "ROUTER 16x16-12G" },
    { BOARD_ROUTER_32X32_12G, "ROUTER 32x32-12G" },
    { BOARD_ROUTER_64X64_12G, "ROUTER 64x64-12G" },
    { BOARD_ROUTER_64X64_12G_1, "ROUTER 64x64-12G" },
    { BOARD_RX_1G_HDMI, "RX-1G-HDMI" },
    { BOARD_RX_1G_SDI, "RX-1G-SDI" },
    { BOARD_RX_10G_HDMI, "RX-10G-HDMI" },
    { BOARD_RX_10G2_HDMI, "RX-10G2-HDMI" },
    { BOARD_RX_10G2_SDI, "RX-10G2-SDI" },
    { BOARD_RX_25G, "RX-25G" },
    { BOARD_TX_1G_HDMI, "TX-1G-HDMI" },
    { BOARD_TX_1G_SDI, "TX-1G-SDI" },
    { BOARD_TX_10G2_HDMI, "TX-10G2-HDMI" },
    { BOARD_TX_10G2_SDI, "TX-10G2-SDI" },
    { BOARD_COLOR_PROC, "ColorProc" },
    { BOARD_AUDIO_NET, "AudioNet" },
};

const ProductRow kProductRows[] = {
    { "RECORDER", BOARD_RECORDER },
    { "RECORDER-PLUS", BOARD_RECORDER_PLUS },
    { "RECORDER-X1", BOARD_RECORDER_EXTRA_A },
    { "RECORDER-X2", BOARD_RECORDER_EXTRA_B },
    { "USBHUB", BOARD_USB_HUB },
    { "ROUTER-PANEL", BOARD_ROUTER_PANEL },
    { "ROUTER-PANEL-2", BOARD_ROUTER_PANEL_2 },
    { "ROUTER-16X4", BOARD_ROUTER_16X4 },
    { "ROUTER-16X16", BOARD_ROUTER_16X16 },
    { "ROUTER-32X32", BOARD_ROUTER_32X32 },
    { "ROUTER-64X64", BOARD_ROUTER_64X64 },
    { "ROUTER-16X16-12G", BOARD_ROUTER_16X16_12G },
    { "ROUTER-32X32-12G", BOARD_ROUTER_32X32_12G },
    { "ROUTER-64X64-12G", BOARD_ROUTER_64X64_12G },
    { "ROUTER-64X64-12G-1", BOARD_ROUTER_64X64_12G_1 },
    { "DECODER", BOARD_RX_1G_HDMI },
    { "DECODER-SDI", BOARD_RX_1G_SDI },
    { "ENCODER-HDMI", BOARD_TX_1G_HDMI },
    { "ENCODER-SDI", BOARD_TX_1G_SDI },
    { "DECODER10G", BOARD_RX_10G_HDMI },
    { "DECODER10G2", BOARD_RX_10G2_HDMI },
    { "DECODER10G2-P", BOARD_RX_10G2_HDMI },
    { "DECODER10G2-SDI", BOARD_RX_10G2_SDI },
    { "DECODER10G2-SDI-P", BOARD_RX_10G2_SDI },
    { "ENCODER10G2-HDMI", BOARD_TX_10G2_HDMI },
    { "ENCODER10G2-HDMI-P", BOARD_TX_10G2_HDMI },
    { "ENCODER10G2-SDI", BOARD_TX_10G2_SDI },
    { "ENCODER10G2-SDI-P", BOARD_TX_10G2_SDI },
    { "PRISM", BOARD_COLOR_PROC },
    { "CONDOR", BOARD_AUDIO_NET },
    { "QUASAR", BOARD_RX_25G },
};

// Seeded aliases. They are stored normalised, as every look-up is by normalised name.
const ProductRow kAliasRows[] = {
    { "Router Panel", BOARD_ROUTER_PANEL },
    { "Velto ROUTER 16x16 Remote Panel", BOARD_ROUTER_PANEL },
    { "Router Panel2", BOARD_ROUTER_PANEL_2 },
    { "Velto ROUTER 32x32 Remote Panel", BOARD_ROUTER_PANEL_2 },
    { "Velto ROUTER CP2 Remote Panel", BOARD_ROUTER_PANEL_2 },
    { "Velto ROUTER 16x4 Router", BOARD_ROUTER_16X4 },
    { "Velto ROUTER 16x16 Router", BOARD_ROUTER_16X16 },
    { "Velto ROUTER 32x32 Router", BOARD_ROUTER_32X32 },
    { "Velto ROUTER 64x64 Router", BOARD_ROUTER_64X64 },
    { "Velto ROUTER 16x16-12G Router", BOARD_ROUTER_16X16_12G },
    { "Velto ROUTER 32x32-12G Router", BOARD_ROUTER_32X32_12G },
    { "Velto ROUTER 64x64-12G Router", BOARD_ROUTER_64X64_12G },
    { "Velto ROUTER 64x64-12G-1 Router", BOARD_ROUTER_64X64_12G_1 },
    { "ColorProc", BOARD_COLOR_PROC },
    { "RX-25G", BOARD_RX_25G },
};

std::string normalise(const std::string &name)
{
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        if (c == ' ' || c == '-')
            continue;
        out.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    }
    return out;
}

// Function-local statics so that other static initialisers may already look up.
ModelNameTable &modelNames()
{
    static ModelNameTable table = [] {
        ModelNameTable t;
        for (const ModelRow &r : kModelRows)
            t[int32_t(r.boardID)] = r.modelName;
        return t;
    }();
    return table;
}

ProductIdTable &productIDs()
{
    static ProductIdTable table = [] {
        ProductIdTable t;
        for (const ProductRow &r : kProductRows)
            t[r.productID] = r.boardID;
        return t;
    }();
    return table;
}

AliasTable &aliases()
{
    static AliasTable table = [] {
        AliasTable t;
        for (const ProductRow &r : kAliasRows)
            t[normalise(r.productID)] = r.boardID;
        return t;
    }();
    return table;
}

// Fill everything before main.
const bool kTablesFilled = (modelNames(), productIDs(), aliases(), true);

// The first name look-up adds every model name and product ID to the aliases. Later
// writers replace earlier ones: product IDs beat model names, and the higher of two
// board IDs sharing a model name wins. call_once makes the first use safe from any thread.
std::once_flag gAliasCompletion;

void completeAliases()
{
    AliasTable &table = aliases();
    for (const auto &[boardID, name] : modelNames())
        table[normalise(name)] = uint32_t(boardID);
    for (const auto &[productID, boardID] : productIDs())
        table[normalise(productID)] = boardID;
}

template <size_t N> bool contains(const uint32_t (&list)[N], uint32_t boardID)
{
    return std::find(std::begin(list), std::end(list), boardID) != std::end(list);
}

const uint32_t kNumericParameterBoards[] = {
    BOARD_RECORDER,
    BOARD_RECORDER_PLUS,
    BOARD_RECORDER_EXTRA_A,
    BOARD_RECORDER_EXTRA_B,
    BOARD_USB_HUB,
    BOARD_RX_1G_HDMI,
    BOARD_RX_1G_SDI,
    BOARD_RX_10G_HDMI,
    BOARD_RX_10G2_HDMI,
    BOARD_RX_10G2_SDI,
    BOARD_TX_1G_HDMI,
    BOARD_TX_1G_SDI,
    BOARD_TX_10G2_HDMI,
    BOARD_TX_10G2_SDI,
    BOARD_COLOR_PROC,
    BOARD_AUDIO_NET,
    BOARD_RX_25G,
};

const uint32_t kRouterBoards[] = {
    BOARD_ROUTER_PANEL,
    BOARD_ROUTER_PANEL_2,
    BOARD_ROUTER_16X4,
    BOARD_ROUTER_16X16,
    BOARD_ROUTER_32X32,
    BOARD_ROUTER_64X64,
    BOARD_ROUTER_16X16_12G,
    BOARD_ROUTER_32X32_12G,
    BOARD_ROUTER_64X64_12G,
    BOARD_ROUTER_64X64_12G_1,
};

// The models of kModelRows without a device page (a further such model belongs here too).
// These two recorders also lack the per-interface state parameters.
const uint32_t kBoardsWithoutPage[] = { BOARD_RECORDER_EXTRA_A, BOARD_RECORDER_EXTRA_B };

} // namespace

uint32_t CProductID::GetBoardIDFromProductID(const QString &productID)
{
    (void)kTablesFilled;
    const QByteArray utf8 = productID.toUtf8();
    const ProductIdTable &table = productIDs();
    const auto it = table.find(std::string(utf8.constData(), size_t(utf8.size())));
    if (it != table.end())
        return it->second;
    fprintf(stderr, "%s: Failed to find a board ID for productID \"%s\"\n",
        "CProductID::GetBoardIDFromProductID", utf8.constData());
    return kBoardIdUnknown;
}

uint32_t CProductID::GetBoardIDFromModelName(const QString &name)
{
    std::call_once(gAliasCompletion, completeAliases);
    const QByteArray utf8 = name.toUtf8();
    const AliasTable &table = aliases();
    const auto it = table.find(normalise(std::string(utf8.constData(), size_t(utf8.size()))));
    if (it != table.end())
        return it->second;
    fprintf(stderr, "%s: No match found for %s, returning 0x%08x\n",
        "CProductID::GetBoardIDFromModelName", utf8.constData(), kBoardIdUnknown);
    return kBoardIdUnknown;
}

QString CProductID::GetModelNameFromBoardID(uint32_t boardID)
{
    const ModelNameTable &table = modelNames();
    const auto it = table.find(int32_t(boardID));
    if (it == table.end())
        return QStringLiteral("Unknown Model");
    return QString::fromStdString(it->second);
}

bool CProductID::HasDevicePage(uint32_t boardID)
{
    return modelNames().count(int32_t(boardID)) != 0 && !contains(kBoardsWithoutPage, boardID);
}

QString CProductID::CanonicalModelName(const QString &name)
{
    // The program's own name may be asked for in any of its spellings.
    static const struct
    {
        const char *spellings[3];
        const char *display;
    } kOwnNames[] = {
        { { "trivosetup", "trivo setup", "trivo-setup" }, "Trivo-Setup" },
        { { "veltotrivosetup", "velto trivo setup", "velto-trivo-setup" }, "Velto Trivo-Setup" },
    };
    const QString lower = name.toLower();
    for (const auto &own : kOwnNames)
        for (const char *spelling : own.spellings)
            if (lower == QLatin1String(spelling))
                return QString::fromLatin1(own.display);
    return GetModelNameFromBoardID(GetBoardIDFromModelName(name));
}

bool CProductFeatures::UsesNumericParameterIDs(uint32_t boardID)
{
    return contains(kNumericParameterBoards, boardID);
}

bool CProductFeatures::IsNotRouterModel(uint32_t boardID)
{
    return !contains(kRouterBoards, boardID);
}

bool CProductFeatures::HasInterfaceStateParameters(uint32_t boardID)
{
    return IsNotRouterModel(boardID) && !contains(kBoardsWithoutPage, boardID);
}
