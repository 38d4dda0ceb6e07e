#pragma once

#include <QString>
#include <cstdint>

// Board IDs: one per hardware model. The numbers are ours and fixed for good;
// never renumber them (they appear in logs and in the window's page table).
//
//   0x00000101 BOARD_RECORDER              0x00000301 BOARD_RX_1G_HDMI
//   0x00000102 BOARD_RECORDER_PLUS         0x00000302 BOARD_RX_1G_SDI
//   0x00000103 BOARD_RECORDER_EXTRA_A      0x00000303 BOARD_RX_10G_HDMI
//   0x00000104 BOARD_RECORDER_EXTRA_B      0x00000304 BOARD_RX_10G2_HDMI
//   0x00000110 BOARD_USB_HUB               0x00000305 BOARD_RX_10G2_SDI
//   0x00000201 BOARD_ROUTER_PANEL          0x00000306 BOARD_RX_25G
//   0x00000202 BOARD_ROUTER_PANEL_2        0x00000311 BOARD_TX_1G_HDMI
//   0x00000211 BOARD_ROUTER_16X4           0x00000312 BOARD_TX_1G_SDI
//   0x00000212 BOARD_ROUTER_16X16          0x00000313 BOARD_TX_10G2_HDMI
//   0x00000213 BOARD_ROUTER_32X32          0x00000314 BOARD_TX_10G2_SDI
//   0x00000214 BOARD_ROUTER_64X64          0x00000401 BOARD_COLOR_PROC
//   0x00000221 BOARD_ROUTER_16X16_12G      0x00000402 BOARD_AUDIO_NET
//   0x00000222 BOARD_ROUTER_32X32_12G
//   0x00000223 BOARD_ROUTER_64X64_12G
//   0x00000224 BOARD_ROUTER_64X64_12G_1    (second hardware revision, same page)
enum : uint32_t
{
    BOARD_RECORDER = 0x00000101,
    BOARD_RECORDER_PLUS = 0x00000102,
    BOARD_RECORDER_EXTRA_A = 0x00000103,
    BOARD_RECORDER_EXTRA_B = 0x00000104,
    BOARD_USB_HUB = 0x00000110,
    BOARD_ROUTER_PANEL = 0x00000201,
    BOARD_ROUTER_PANEL_2 = 0x00000202,
    BOARD_ROUTER_16X4 = 0x00000211,
    BOARD_ROUTER_16X16 = 0x00000212,
    BOARD_ROUTER_32X32 = 0x00000213,
    BOARD_ROUTER_64X64 = 0x00000214,
    BOARD_ROUTER_16X16_12G = 0x00000221,
    BOARD_ROUTER_32X32_12G = 0x00000222,
    BOARD_ROUTER_64X64_12G = 0x00000223,
    BOARD_ROUTER_64X64_12G_1 = 0x00000224,
    BOARD_RX_1G_HDMI = 0x00000301,
    BOARD_RX_1G_SDI = 0x00000302,
    BOARD_RX_10G_HDMI = 0x00000303,
    BOARD_RX_10G2_HDMI = 0x00000304,
    BOARD_RX_10G2_SDI = 0x00000305,
    BOARD_RX_25G = 0x00000306,
    BOARD_TX_1G_HDMI = 0x00000311,
    BOARD_TX_1G_SDI = 0x00000312,
    BOARD_TX_10G2_HDMI = 0x00000313,
    BOARD_TX_10G2_SDI = 0x00000314,
    BOARD_COLOR_PROC = 0x00000401,
    BOARD_AUDIO_NET = 0x00000402,
};

constexpr uint32_t kBoardIdUnknown = 0xFFFFFFFF; // failed lookup / unknown device
constexpr uint32_t kBoardIdUninitialised = 0xDEADBEEF; // no page chosen yet

// Lookups between product IDs (what a module reports), board IDs and model names: views
// of the model registry (model_registry.h), filled before main and read-only afterwards.
class CProductID
{
public:
    virtual ~CProductID() = default;

    static uint32_t GetBoardIDFromProductID(const QString &productID);
    static uint32_t GetBoardIDFromModelName(const QString &name);
    static QString GetModelNameFromBoardID(uint32_t boardID);
    // The models this program draws a page for; any other board ID runs as an undefined product.
    static bool HasDevicePage(uint32_t boardID);
    static QString CanonicalModelName(const QString &name);
};

// Per-product feature tests, read from the model registry.
class CProductFeatures : public CProductID
{
public:
    static bool UsesNumericParameterIDs(uint32_t boardID);
    static bool IsNotRouterModel(uint32_t boardID);
    static bool HasInterfaceStateParameters(uint32_t boardID);
};
