#include "page_families.h"

#include <QtGlobal>

#define TXT(text) QT_TRANSLATE_NOOP("DevicePage", text)

namespace {

using R = PictureRole;
using S = ConnectorShape;
using V = PageVideo;

// Items most pages share.
const PictureItem kUsbConfig { "mImageUSBConfigLabel", TXT("USB"), R::Connector, S::UsbB };
const PictureItem kLan { "mImageLanLabel", TXT("LAN"), R::Connector, S::Rj45 };
const PictureItem kLanStatus { "mImageLanStatusLabel", TXT("Connected"), R::Status, S::Rj45,
    V::None, TXT("LAN:") };
const PictureItem kUsbStatus { "mUsbHubImageUSBStatusLabel", TXT("Connected"), R::Status, S::UsbB,
    V::None, TXT("USB:") };
const PictureItem kAudio { "mImageAudioLabel", TXT("Audio"), R::Connector, S::Audio };
const PictureItem kPower { "mImagePowerStatusLabel", TXT("Power"), R::Led, S::Rj45, V::None,
    "mImagePowerStatusLED" };

PictureItem connector(
    const char *name, const char *text, ConnectorShape shape, PageVideo only = V::None)
{
    return { name, text, R::Connector, shape, only };
}

PictureItem status(const char *name, const char *caption)
{
    return { name, TXT("Connected"), R::Status, S::Rj45, V::None, caption };
}

PictureItem plain(const char *name, const char *text)
{
    return { name, text, R::Plain };
}

QList<FamilyTraits> buildTraits()
{
    const QList<const char *> single { TXT("Network") };
    const QList<const char *> threeLans { TXT("Control LAN"), TXT("Media LAN 1"),
        TXT("Media LAN 2") };

    return {
        { PageFamily::Unknown, single,
            { connector("mImageUSBLabel", TXT("USB"), S::UsbB), kLan,
                status("mImageUSBStatusLabel", TXT("USB:")), kLanStatus,
                plain("mImageUnknownNameLabel", TXT("Unknown")),
                // The unknown page shows its own USB status label instead.
                { kUsbStatus.name, kUsbStatus.text, R::Hidden } },
            nullptr, false },
        { PageFamily::UsbHub, single,
            { kUsbConfig, kLan, connector("mImageUSB1Label", TXT("USB 1"), S::UsbA),
                connector("mImageUSB2Label", TXT("USB 2"), S::UsbA),
                connector("mImageUSB3Label", TXT("USB 3"), S::UsbA),
                connector("mImageUSB4Label", TXT("USB 4"), S::UsbA), kLanStatus, kUsbStatus,
                plain("mImagePort1Label", TXT("Port 1")), plain("mImagePort2Label", TXT("Port 2")),
                plain("mImagePort3Label", TXT("Port 3")), plain("mImagePort4Label", TXT("Port 4")),
                plain("mImageReadyLabel", TXT("Ready")) },
            nullptr, true },
        { PageFamily::Recorder, single,
            { kUsbConfig, kLan, connector("mImageHDMILabel", TXT("HDMI"), S::Hdmi),
                connector("mImageSDILabel", TXT("SDI"), S::Bnc), kAudio,
                connector("mImageUSBStorageLabel", TXT("USB Storage"), S::UsbA),
                connector("mImageSDCardLabel", TXT("SD Card"), S::SdCard), kLanStatus, kUsbStatus,
                kPower },
            kLedGreenDownPicture, true },
        { PageFamily::Router, single, { kUsbConfig, kLan, kLanStatus, kUsbStatus }, nullptr, true },
        { PageFamily::ColorProc, single,
            { kUsbConfig, kLan, connector("mImageSdiInLabel", TXT("SDI In"), S::Bnc),
                connector("mImageSdiLoopLabel", TXT("SDI Loop"), S::Bnc),
                connector("mImageSdiOutLabel", TXT("SDI Out"), S::Bnc),
                connector("mImageHdmiOutLabel", TXT("HDMI Out"), S::Hdmi), kLanStatus, kUsbStatus },
            nullptr, true },
        { PageFamily::OneMediaLan, { TXT("Control Network"), TXT("Media Network") },
            { kUsbConfig, kLan, connector("mImageMediaLanLabel", TXT("Media LAN"), S::Sfp),
                connector("mImageHDMILabel", TXT("HDMI"), S::Hdmi, V::Hdmi),
                connector("mImageSDILabel", TXT("SDI"), S::Bnc, V::Sdi), kAudio, kLanStatus,
                status("mImageMediaLanStatusLabel", TXT("Media LAN:")), kUsbStatus, kPower },
            kLedGreenPicture, true },
        { PageFamily::AudioNet, { TXT("Primary Network"), TXT("Secondary Network") },
            { kUsbConfig, connector("mImageEth1Label", TXT("ETH 1"), S::Rj45),
                connector("mImageEth2Label", TXT("ETH 2"), S::Rj45),
                status("mImageLanStatusLabel", TXT("ETH 1:")),
                status("mImageMediaLanStatusLabel", TXT("ETH 2:")), kUsbStatus },
            nullptr, true },
        { PageFamily::TwoMediaLans, threeLans,
            { kUsbConfig, kLan, connector("mImageMediaLanLabel", TXT("Media LAN 1"), S::Sfp),
                connector("mImageMedia2LanLabel", TXT("Media LAN 2"), S::Sfp),
                connector("mImageHDMILabel", TXT("HDMI 1"), S::Hdmi, V::Hdmi),
                connector("mImageHDMI2Label", TXT("HDMI 2"), S::Hdmi, V::Hdmi),
                connector("mImageSDILabel", TXT("SDI 1"), S::Bnc, V::Sdi),
                connector("mImageSDI2Label", TXT("SDI 2"), S::Bnc, V::Sdi),
                connector("mImageRef_In_Label", TXT("Ref In"), S::Bnc, V::Sdi), kAudio, kLanStatus,
                status("mImageMediaLanStatusLabel", TXT("Media LAN 1:")),
                status("mImageMedia2LanStatusLabel", TXT("Media LAN 2:")), kUsbStatus, kPower },
            kLedGreenPicture, true },
        { PageFamily::Rx25g, threeLans,
            { connector("mImageUsbPortLabel", TXT("USB"), S::UsbB),
                connector("mImageControlLanLabel", TXT("LAN"), S::Rj45),
                connector("mImageQsfp1Label", TXT("QSFP 1"), S::Sfp),
                connector("mImageQsfp2Label", TXT("QSFP 2"), S::Sfp),
                connector("mImageSdi1Label", TXT("SDI 1"), S::Bnc),
                connector("mImageSdi2Label", TXT("SDI 2"), S::Bnc),
                connector("mImageSdi3Label", TXT("SDI 3"), S::Bnc),
                connector("mImageSdi4Label", TXT("SDI 4"), S::Bnc),
                connector("mImageHdmiMonitorLabel", TXT("HDMI"), S::Hdmi),
                connector("mImageRefInLabel", TXT("Ref In"), S::Bnc), kAudio, kLanStatus,
                status("mImageMediaLanStatusLabel", TXT("Media LAN 1:")),
                status("mImageMedia2LanStatusLabel", TXT("Media LAN 2:")), kUsbStatus },
            nullptr, true },
    };
}

} // namespace

const FamilyTraits &TraitsFor(PageFamily family)
{
    static const QList<FamilyTraits> traits = buildTraits();
    for (const FamilyTraits &t : traits) {
        if (t.family == family)
            return t;
    }
    Q_ASSERT_X(false, "TraitsFor", "family without traits");
    return traits.first();
}

QList<PictureItem> PictureItemsFor(const PageRow &row)
{
    QList<PictureItem> items;
    for (const PictureItem &item : TraitsFor(row.family).picture) {
        if (item.only == PageVideo::None || item.only == row.video)
            items.append(item);
    }
    return items;
}
