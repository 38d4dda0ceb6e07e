#include "page_families.h"

#include <QtGlobal>

namespace {

using R = PictureRole;
using S = ConnectorShape;
using V = ModelVideo;

// Items most pages share.
const PictureItem kUsbConfig { "mImageUSBConfigLabel", QT_TRANSLATE_NOOP("DevicePage", "USB"),
    R::Connector, S::UsbB };
const PictureItem kLan { "mImageLanLabel", QT_TRANSLATE_NOOP("DevicePage", "LAN"), R::Connector,
    S::Rj45 };
const PictureItem kLanStatus { "mImageLanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Connected"),
    R::Status, S::Rj45, V::None, QT_TRANSLATE_NOOP("DevicePage", "LAN:") };
const PictureItem kUsbStatus { "mUsbHubImageUSBStatusLabel",
    QT_TRANSLATE_NOOP("DevicePage", "Connected"), R::Status, S::UsbB, V::None,
    QT_TRANSLATE_NOOP("DevicePage", "USB:") };
const PictureItem kAudio { "mImageAudioLabel", QT_TRANSLATE_NOOP("DevicePage", "Audio"),
    R::Connector, S::Audio };
const PictureItem kPower { "mImagePowerStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Power"),
    R::Led, S::Rj45, V::None, "mImagePowerStatusLED" };

PictureItem connector(
    const char *name, const char *text, ConnectorShape shape, ModelVideo only = V::None)
{
    return { name, text, R::Connector, shape, only };
}

PictureItem status(const char *name, const char *caption)
{
    return { name, QT_TRANSLATE_NOOP("DevicePage", "Connected"), R::Status, S::Rj45, V::None,
        caption };
}

PictureItem plain(const char *name, const char *text)
{
    return { name, text, R::Plain };
}

QList<FamilyTraits> buildTraits()
{
    return {
        { PageFamily::Unknown,
            { connector("mImageUSBLabel", QT_TRANSLATE_NOOP("DevicePage", "USB"), S::UsbB), kLan,
                status("mImageUSBStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "USB:")), kLanStatus,
                plain("mImageUnknownNameLabel", QT_TRANSLATE_NOOP("DevicePage", "Unknown")),
                // The unknown page shows its own USB status label instead.
                { kUsbStatus.name, kUsbStatus.text, R::Hidden } },
            nullptr, false },
        { PageFamily::UsbHub,
            { kUsbConfig, kLan,
                connector("mImageUSB1Label", QT_TRANSLATE_NOOP("DevicePage", "USB 1"), S::UsbA),
                connector("mImageUSB2Label", QT_TRANSLATE_NOOP("DevicePage", "USB 2"), S::UsbA),
                connector("mImageUSB3Label", QT_TRANSLATE_NOOP("DevicePage", "USB 3"), S::UsbA),
                connector("mImageUSB4Label", QT_TRANSLATE_NOOP("DevicePage", "USB 4"), S::UsbA),
                kLanStatus, kUsbStatus,
                plain("mImagePort1Label", QT_TRANSLATE_NOOP("DevicePage", "Port 1")),
                plain("mImagePort2Label", QT_TRANSLATE_NOOP("DevicePage", "Port 2")),
                plain("mImagePort3Label", QT_TRANSLATE_NOOP("DevicePage", "Port 3")),
                plain("mImagePort4Label", QT_TRANSLATE_NOOP("DevicePage", "Port 4")),
                plain("mImageReadyLabel", QT_TRANSLATE_NOOP("DevicePage", "Ready")) },
            nullptr, true },
        { PageFamily::Recorder,
            { kUsbConfig, kLan,
                connector("mImageHDMILabel", QT_TRANSLATE_NOOP("DevicePage", "HDMI"), S::Hdmi),
                connector("mImageSDILabel", QT_TRANSLATE_NOOP("DevicePage", "SDI"), S::Bnc), kAudio,
                connector("mImageUSBStorageLabel", QT_TRANSLATE_NOOP("DevicePage", "USB Storage"),
                    S::UsbA),
                connector(
                    "mImageSDCardLabel", QT_TRANSLATE_NOOP("DevicePage", "SD Card"), S::SdCard),
                kLanStatus, kUsbStatus, kPower },
            kLedGreenDownPicture, true },
        { PageFamily::Router, { kUsbConfig, kLan, kLanStatus, kUsbStatus }, nullptr, true },
        { PageFamily::ColorProc,
            { kUsbConfig, kLan,
                connector("mImageSdiInLabel", QT_TRANSLATE_NOOP("DevicePage", "SDI In"), S::Bnc),
                connector(
                    "mImageSdiLoopLabel", QT_TRANSLATE_NOOP("DevicePage", "SDI Loop"), S::Bnc),
                connector("mImageSdiOutLabel", QT_TRANSLATE_NOOP("DevicePage", "SDI Out"), S::Bnc),
                connector(
                    "mImageHdmiOutLabel", QT_TRANSLATE_NOOP("DevicePage", "HDMI Out"), S::Hdmi),
                kLanStatus, kUsbStatus },
            nullptr, true },
        { PageFamily::OneMediaLan,
            { kUsbConfig, kLan,
                connector(
                    "mImageMediaLanLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN"), S::Sfp),
                connector(
                    "mImageHDMILabel", QT_TRANSLATE_NOOP("DevicePage", "HDMI"), S::Hdmi, V::Hdmi),
                connector("mImageSDILabel", QT_TRANSLATE_NOOP("DevicePage", "SDI"), S::Bnc, V::Sdi),
                kAudio, kLanStatus,
                status("mImageMediaLanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN:")),
                kUsbStatus, kPower },
            kLedGreenPicture, true },
        { PageFamily::AudioNet,
            { kUsbConfig,
                connector("mImageEth1Label", QT_TRANSLATE_NOOP("DevicePage", "ETH 1"), S::Rj45),
                connector("mImageEth2Label", QT_TRANSLATE_NOOP("DevicePage", "ETH 2"), S::Rj45),
                status("mImageLanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "ETH 1:")),
                status("mImageMediaLanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "ETH 2:")),
                kUsbStatus },
            nullptr, true },
        { PageFamily::TwoMediaLans,
            { kUsbConfig, kLan,
                connector(
                    "mImageMediaLanLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN 1"), S::Sfp),
                connector(
                    "mImageMedia2LanLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN 2"), S::Sfp),
                connector(
                    "mImageHDMILabel", QT_TRANSLATE_NOOP("DevicePage", "HDMI 1"), S::Hdmi, V::Hdmi),
                connector("mImageHDMI2Label", QT_TRANSLATE_NOOP("DevicePage", "HDMI 2"), S::Hdmi,
                    V::Hdmi),
                connector(
                    "mImageSDILabel", QT_TRANSLATE_NOOP("DevicePage", "SDI 1"), S::Bnc, V::Sdi),
                connector(
                    "mImageSDI2Label", QT_TRANSLATE_NOOP("DevicePage", "SDI 2"), S::Bnc, V::Sdi),
                connector("mImageRef_In_Label", QT_TRANSLATE_NOOP("DevicePage", "Ref In"), S::Bnc,
                    V::Sdi),
                kAudio, kLanStatus,
                status(
                    "mImageMediaLanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN 1:")),
                status(
                    "mImageMedia2LanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN 2:")),
                kUsbStatus, kPower },
            kLedGreenPicture, true },
        { PageFamily::Rx25g,
            { connector("mImageUsbPortLabel", QT_TRANSLATE_NOOP("DevicePage", "USB"), S::UsbB),
                connector("mImageControlLanLabel", QT_TRANSLATE_NOOP("DevicePage", "LAN"), S::Rj45),
                connector("mImageQsfp1Label", QT_TRANSLATE_NOOP("DevicePage", "QSFP 1"), S::Sfp),
                connector("mImageQsfp2Label", QT_TRANSLATE_NOOP("DevicePage", "QSFP 2"), S::Sfp),
                connector("mImageSdi1Label", QT_TRANSLATE_NOOP("DevicePage", "SDI 1"), S::Bnc),
                connector("mImageSdi2Label", QT_TRANSLATE_NOOP("DevicePage", "SDI 2"), S::Bnc),
                connector("mImageSdi3Label", QT_TRANSLATE_NOOP("DevicePage", "SDI 3"), S::Bnc),
                connector("mImageSdi4Label", QT_TRANSLATE_NOOP("DevicePage", "SDI 4"), S::Bnc),
                connector(
                    "mImageHdmiMonitorLabel", QT_TRANSLATE_NOOP("DevicePage", "HDMI"), S::Hdmi),
                connector("mImageRefInLabel", QT_TRANSLATE_NOOP("DevicePage", "Ref In"), S::Bnc),
                kAudio, kLanStatus,
                status(
                    "mImageMediaLanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN 1:")),
                status(
                    "mImageMedia2LanStatusLabel", QT_TRANSLATE_NOOP("DevicePage", "Media LAN 2:")),
                kUsbStatus },
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
    for (const PictureItem &item : TraitsFor(row.family()).picture) {
        if (item.only == ModelVideo::None || item.only == row.model->video)
            items.append(item);
    }
    return items;
}
