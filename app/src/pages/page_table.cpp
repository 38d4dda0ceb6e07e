#include "device_page.h"
#include "product_id.h"

#define PICTURE(file) ":/media/images/pages/" file ".png"

// Built on first use, so lookups made during static initialisation elsewhere are safe.
const QList<PageSpec> &PageTable()
{
    using F = PageFamily;
    using V = PageVideo;
    static const QList<PageSpec> table = {
        { { kBoardIdUnknown }, "mUnknownWidget", "UnknownUi", F::Unknown, 0, true,
            PICTURE("unknown"), "Unknown Device", V::None },
        { { BOARD_USB_HUB }, "mUsbHubWidget", "UsbHubUi", F::UsbHub, 0, true, PICTURE("usbhub"),
            "USB-HUB", V::None },
        { { BOARD_RECORDER }, "mRecorderWidget", "RecorderUi", F::Recorder, 0, true,
            PICTURE("recorder"), "RECORDER", V::None },
        { { BOARD_RECORDER_PLUS }, "mRecorderPlusWidget", "RecorderPlusUi", F::Recorder, 0, true,
            PICTURE("recorderplus"), "RECORDER Plus", V::None },
        { { BOARD_ROUTER_PANEL }, "mRouterPanelWidget", "RouterPanelUi", F::Router, 0, false,
            PICTURE("routerpanel"), "ROUTER CP", V::None },
        { { BOARD_ROUTER_PANEL_2 }, "mRouterPanel2Widget", "RouterPanel2Ui", F::Router, 0, false,
            PICTURE("routerpanel2"), "ROUTER CP2", V::None },
        { { BOARD_ROUTER_16X4 }, "mRouter16x4Widget", "Router16x4Ui", F::Router, 0, false,
            PICTURE("router16x4"), "ROUTER 16x4", V::None },
        { { BOARD_ROUTER_16X16 }, "mRouter16x16Widget", "Router16x16Ui", F::Router, 0, false,
            PICTURE("router16x16"), "ROUTER 16x16", V::None },
        { { BOARD_ROUTER_32X32 }, "mRouter32x32Widget", "Router32x32Ui", F::Router, 0, false,
            PICTURE("router32x32"), "ROUTER 32x32", V::None },
        { { BOARD_ROUTER_64X64 }, "mRouter64x64Widget", "Router64x64Ui", F::Router, 0, false,
            PICTURE("router64x64"), "ROUTER 64x64", V::None },
        { { BOARD_ROUTER_16X16_12G }, "mRouter16x16_12gWidget", "Router16x16_12gUi", F::Router, 0,
            false, PICTURE("router16x16_12g"), "ROUTER 16x16-12G", V::None },
        { { BOARD_ROUTER_32X32_12G }, "mRouter32x32_12gWidget", "Router32x32_12gUi", F::Router, 0,
            false, PICTURE("router32x32_12g"), "ROUTER 32x32-12G", V::None },
        // Two hardware revisions share this page.
        { { BOARD_ROUTER_64X64_12G, BOARD_ROUTER_64X64_12G_1 }, "mRouter64x64_12gWidget",
            "Router64x64_12gUi", F::Router, 0, false, PICTURE("router64x64_12g"),
            "ROUTER 64x64-12G", V::None },
        { { BOARD_RX_1G_HDMI }, "mRx1gHdmiWidget", "Rx1gHdmiUi", F::OneMediaLan, 1, true,
            PICTURE("rx1ghdmi"), "RX-1G-HDMI", V::Hdmi },
        { { BOARD_RX_1G_SDI }, "mRx1gSdiWidget", "Rx1gSdiUi", F::OneMediaLan, 1, true,
            PICTURE("rx1gsdi"), "RX-1G-SDI", V::Sdi },
        { { BOARD_TX_1G_HDMI }, "mTx1gHdmiWidget", "Tx1gHdmiUi", F::OneMediaLan, 1, true,
            PICTURE("tx1ghdmi"), "TX-1G-HDMI", V::Hdmi },
        { { BOARD_TX_1G_SDI }, "mTx1gSdiWidget", "Tx1gSdiUi", F::OneMediaLan, 1, true,
            PICTURE("tx1gsdi"), "TX-1G-SDI", V::Sdi },
        { { BOARD_RX_10G_HDMI }, "mRx10gHdmiWidget", "Rx10gHdmiUi", F::OneMediaLan, 1, true,
            PICTURE("rx10ghdmi"), "RX-10G-HDMI", V::Hdmi },
        { { BOARD_RX_10G2_HDMI }, "mRx10g2HdmiWidget", "Rx10g2HdmiUi", F::TwoMediaLans, 2, true,
            PICTURE("rx10g2hdmi"), "RX-10G2-HDMI", V::Hdmi },
        { { BOARD_RX_10G2_SDI }, "mRx10g2SdiWidget", "Rx10g2SdiUi", F::TwoMediaLans, 2, true,
            PICTURE("rx10g2sdi"), "RX-10G2-SDI", V::Sdi },
        { { BOARD_TX_10G2_HDMI }, "mTx10g2HdmiWidget", "Tx10g2HdmiUi", F::TwoMediaLans, 2, true,
            PICTURE("tx10g2hdmi"), "TX-10G2-HDMI", V::Hdmi },
        { { BOARD_TX_10G2_SDI }, "mTx10g2SdiWidget", "Tx10g2SdiUi", F::TwoMediaLans, 2, true,
            PICTURE("tx10g2sdi"), "TX-10G2-SDI", V::Sdi },
        { { BOARD_COLOR_PROC }, "mColorProcWidget", "ColorProcUi", F::ColorProc, 0, false,
            PICTURE("colorproc"), "ColorProc", V::None },
        { { BOARD_AUDIO_NET }, "mAudioNetWidget", "AudioNetUi", F::AudioNet, 1, false,
            PICTURE("audionet"), "AudioNet", V::None },
        { { BOARD_RX_25G }, "mRx25gWidget", "Rx25gUi", F::Rx25g, 2, false, PICTURE("rx25g"),
            "RX-25G", V::None },
    };
    return table;
}

#undef PICTURE

const PageSpec *FindPageSpec(uint32_t boardId)
{
    for (const PageSpec &spec : PageTable()) {
        if (spec.boardIds.contains(boardId))
            return &spec;
    }
    return nullptr;
}
