#include "device_page.h"
#include "product_id.h"

#define PICTURE(file) ":/media/images/pages/" file ".png"
// The container and form names of a page, from one stem.
#define NAMES(stem) "m" #stem "Widget", #stem "Ui"

// Built on first use, so lookups made during static initialisation elsewhere are safe.
const QList<PageRow> &PageTable()
{
    using F = PageFamily;
    using V = PageVideo;
    static const QList<PageRow> table = {
        { { kBoardIdUnknown }, NAMES(Unknown), F::Unknown, 0, true, PICTURE("unknown"),
            "Unknown Device", V::None },
        { { BOARD_USB_HUB }, NAMES(UsbHub), F::UsbHub, 0, true, PICTURE("usbhub"), "USB-HUB",
            V::None },
        { { BOARD_RECORDER }, NAMES(Recorder), F::Recorder, 0, true, PICTURE("recorder"),
            "RECORDER", V::None },
        { { BOARD_RECORDER_PLUS }, NAMES(RecorderPlus), F::Recorder, 0, true,
            PICTURE("recorderplus"), "RECORDER Plus", V::None },
        { { BOARD_ROUTER_PANEL }, NAMES(RouterPanel), F::Router, 0, false, PICTURE("routerpanel"),
            "ROUTER CP", V::None },
        { { BOARD_ROUTER_PANEL_2 }, NAMES(RouterPanel2), F::Router, 0, false,
            PICTURE("routerpanel2"), "ROUTER CP2", V::None },
        { { BOARD_ROUTER_16X4 }, NAMES(Router16x4), F::Router, 0, false, PICTURE("router16x4"),
            "ROUTER 16x4", V::None },
        { { BOARD_ROUTER_16X16 }, NAMES(Router16x16), F::Router, 0, false, PICTURE("router16x16"),
            "ROUTER 16x16", V::None },
        { { BOARD_ROUTER_32X32 }, NAMES(Router32x32), F::Router, 0, false, PICTURE("router32x32"),
            "ROUTER 32x32", V::None },
        { { BOARD_ROUTER_64X64 }, NAMES(Router64x64), F::Router, 0, false, PICTURE("router64x64"),
            "ROUTER 64x64", V::None },
        { { BOARD_ROUTER_16X16_12G }, NAMES(Router16x16_12g), F::Router, 0, false,
            PICTURE("router16x16_12g"), "ROUTER 16x16-12G", V::None },
        { { BOARD_ROUTER_32X32_12G }, NAMES(Router32x32_12g), F::Router, 0, false,
            PICTURE("router32x32_12g"), "ROUTER 32x32-12G", V::None },
        // Two hardware revisions share this page.
        { { BOARD_ROUTER_64X64_12G, BOARD_ROUTER_64X64_12G_1 }, NAMES(Router64x64_12g), F::Router,
            0, false, PICTURE("router64x64_12g"), "ROUTER 64x64-12G", V::None },
        { { BOARD_RX_1G_HDMI }, NAMES(Rx1gHdmi), F::OneMediaLan, 1, true, PICTURE("rx1ghdmi"),
            "RX-1G-HDMI", V::Hdmi },
        { { BOARD_RX_1G_SDI }, NAMES(Rx1gSdi), F::OneMediaLan, 1, true, PICTURE("rx1gsdi"),
            "RX-1G-SDI", V::Sdi },
        { { BOARD_TX_1G_HDMI }, NAMES(Tx1gHdmi), F::OneMediaLan, 1, true, PICTURE("tx1ghdmi"),
            "TX-1G-HDMI", V::Hdmi },
        { { BOARD_TX_1G_SDI }, NAMES(Tx1gSdi), F::OneMediaLan, 1, true, PICTURE("tx1gsdi"),
            "TX-1G-SDI", V::Sdi },
        { { BOARD_RX_10G_HDMI }, NAMES(Rx10gHdmi), F::OneMediaLan, 1, true, PICTURE("rx10ghdmi"),
            "RX-10G-HDMI", V::Hdmi },
        { { BOARD_RX_10G2_HDMI }, NAMES(Rx10g2Hdmi), F::TwoMediaLans, 2, true,
            PICTURE("rx10g2hdmi"), "RX-10G2-HDMI", V::Hdmi },
        { { BOARD_RX_10G2_SDI }, NAMES(Rx10g2Sdi), F::TwoMediaLans, 2, true, PICTURE("rx10g2sdi"),
            "RX-10G2-SDI", V::Sdi },
        { { BOARD_TX_10G2_HDMI }, NAMES(Tx10g2Hdmi), F::TwoMediaLans, 2, true,
            PICTURE("tx10g2hdmi"), "TX-10G2-HDMI", V::Hdmi },
        { { BOARD_TX_10G2_SDI }, NAMES(Tx10g2Sdi), F::TwoMediaLans, 2, true, PICTURE("tx10g2sdi"),
            "TX-10G2-SDI", V::Sdi },
        { { BOARD_COLOR_PROC }, NAMES(ColorProc), F::ColorProc, 0, false, PICTURE("colorproc"),
            "ColorProc", V::None },
        { { BOARD_AUDIO_NET }, NAMES(AudioNet), F::AudioNet, 1, false, PICTURE("audionet"),
            "AudioNet", V::None },
        { { BOARD_RX_25G }, NAMES(Rx25g), F::Rx25g, 2, false, PICTURE("rx25g"), "RX-25G", V::None },
    };
    return table;
}

#undef PICTURE
#undef NAMES

const PageRow *FindPageRow(uint32_t boardId)
{
    for (const PageRow &row : PageTable()) {
        if (row.boardIds.contains(boardId))
            return &row;
    }
    return nullptr;
}
