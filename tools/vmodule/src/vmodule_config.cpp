#include "vmodule_config.h"

#include <QFile>
#include <QHostAddress>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>
#include <functional>
#include <limits>

namespace {

// Sets one field of a configuration (VmConfig) or of one interface (VmInterface) from text.
template <typename O> using SetterOf = std::function<bool(O &, const QString &)>;
using Setter = SetterOf<VmConfig>;

struct KeyDef
{
    QString key;
    QString help;
    Setter set;
};

bool parseBool(const QString &v, bool &out)
{
    const QString s = v.trimmed().toLower();
    if (s == "1" || s == "on" || s == "yes" || s == "true") {
        out = true;
        return true;
    }
    if (s == "0" || s == "off" || s == "no" || s == "false") {
        out = false;
        return true;
    }
    return false;
}

template <typename T> bool parseInt(const QString &v, T &out)
{
    bool ok = false;
    const qlonglong n = v.trimmed().toLongLong(&ok, 0);
    if (ok)
        out = T(n);
    return ok;
}

bool parseAddress(const QString &v, QString &out)
{
    // Four dotted parts only: the resolver's short forms ("1.2.3") are not addresses here.
    static const QRegularExpression dotted("^\\d{1,3}(\\.\\d{1,3}){3}$");
    QHostAddress a;
    if (!dotted.match(v.trimmed()).hasMatch() || !a.setAddress(v.trimmed())
        || a.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    out = a.toString();
    return true;
}

template <typename E> bool parseEnum(const QString &v, const QMap<QString, E> &words, E &out)
{
    const auto it = words.find(v.trimmed().toLower());
    if (it == words.end())
        return false;
    out = *it;
    return true;
}

template <typename O> SetterOf<O> text(QString O::*m)
{
    return [m](O &o, const QString &v) {
        o.*m = v;
        return true;
    };
}
template <typename O, typename T>
SetterOf<O> number(T O::*m, qlonglong min = std::numeric_limits<qlonglong>::min(),
    qlonglong max = std::numeric_limits<qlonglong>::max())
{
    return [m, min, max](O &o, const QString &v) {
        qlonglong n = 0;
        if (!parseInt(v, n) || n < min || n > max)
            return false;
        o.*m = T(n);
        return true;
    };
}
template <typename O> SetterOf<O> flag(bool O::*m)
{
    return [m](O &o, const QString &v) { return parseBool(v, o.*m); };
}
template <typename O> SetterOf<O> address(QString O::*m)
{
    return [m](O &o, const QString &v) { return parseAddress(v, o.*m); };
}
template <typename T> Setter fault(T VmFaults::*m)
{
    return [set = number(m)](VmConfig &c, const QString &v) { return set(c.faults, v); };
}
Setter kermitChar(char VmConfig::*m, const QString &allowed)
{
    return [m, allowed](VmConfig &c, const QString &v) {
        if (v.size() != 1 || (!allowed.isEmpty() && !allowed.contains(v)))
            return false;
        c.*m = v.at(0).toLatin1();
        return true;
    };
}

const QList<KeyDef> &keyTable()
{
    static const QList<KeyDef> table = [] {
        QList<KeyDef> t = {
            { "name", "link name in the link directory", text(&VmConfig::name) },
            { "product", "product ID the module reports (\"DECODER10G2\", \"ROUTER-16X16\", ...)",
                text(&VmConfig::productId) },
            { "protocol", "protocol version, 1 or 2", number(&VmConfig::protocolVersion, 1, 2) },
            { "sysname", "system name", text(&VmConfig::sysName) },
            { "serial", "serial number", text(&VmConfig::serialNumber) },
            { "sw", "software version (beginning \"NFS\": running from a network root)",
                text(&VmConfig::swVersion) },
            { "safeboot-version", "safeboot version", text(&VmConfig::safebootVersion) },
            { "bootloader", "bootloader version", text(&VmConfig::bootloaderVersion) },
            { "pcb", "PCB revision", number(&VmConfig::pcbRevision) },
            { "safeboot-mode", "safeboot mode value", number(&VmConfig::safebootMode) },
            { "auth", "web authentication on (1) or off (0)", flag(&VmConfig::authentication) },
            { "password", "web password", text(&VmConfig::password) },
            { "lans", "number of network interfaces, 1 to 3 (default: by model)",
                number(&VmConfig::lanCount, 1, kVmInterfaceCount) },
            { "record-state", "recorder record state", number(&VmConfig::recordState) },
            { "stream-state", "recorder stream state", number(&VmConfig::streamState) },
            { "dhcp", "DHCP outcome: bound, never, disabled, none",
                [](VmConfig &c, const QString &v) {
                    static const QMap<QString, VmDhcpOutcome> w
                        = { { "bound", VmDhcpOutcome::Bound }, { "never", VmDhcpOutcome::Never },
                              { "disabled", VmDhcpOutcome::Disabled },
                              { "none", VmDhcpOutcome::None } };
                    return parseEnum(v, w, c.dhcpOutcome);
                } },
            { "dhcp-delay-ms", "time until a DHCP negotiation is bound",
                number(&VmConfig::dhcpDelayMs) },
            { "update-lock", "update lock at start-up, as another program may leave it",
                number(&VmConfig::updateLock) },
            { "upload-location", "upload location text (parameter 0x20F)",
                text(&VmConfig::uploadLocation) },
            { "upload-empty-ms", "upload location stays empty this long after start-up",
                number(&VmConfig::uploadEmptyMs) },
            { "verify",
                "verification verdict: verified, other-product, too-large, checksum, signature, "
                "never",
                [](VmConfig &c, const QString &v) {
                    static const QMap<QString, VmVerifyVerdict> w
                        = { { "verified", VmVerifyVerdict::Verified },
                              { "other-product", VmVerifyVerdict::OtherProduct },
                              { "too-large", VmVerifyVerdict::TooLarge },
                              { "checksum", VmVerifyVerdict::Checksum },
                              { "signature", VmVerifyVerdict::Signature },
                              { "never", VmVerifyVerdict::Never } };
                    return parseEnum(v, w, c.verifyVerdict);
                } },
            { "verify-delay-ms", "time the verification takes", number(&VmConfig::verifyDelayMs) },
            { "commit-ms", "time the commit takes from 0 to 100 percent",
                number(&VmConfig::commitMs) },
            { "commit-fail-percent", "the commit fails on reaching this percentage (-1: never)",
                number(&VmConfig::commitFailPercent) },
            { "commit-idle", "take a commit request but never start the commit (1/0)",
                flag(&VmConfig::commitIdle) },
            { "reboot-delay-ms", "time from the reboot request to the unplug",
                number(&VmConfig::rebootDelayMs) },
            { "return-delay-ms", "time from the unplug until the module is back",
                number(&VmConfig::returnDelayMs) },
            { "new-sw", "software version after a committed update",
                text(&VmConfig::newSwVersion) },
            { "kermit-chkt", "block check offered: 1, 2, 3, or 5 (type 3 on every packet)",
                kermitChar(&VmConfig::kermitChkt, "1235") },
            { "kermit-long", "offer long packets (1/0)", flag(&VmConfig::kermitLongPackets) },
            { "kermit-maxlen", "longest packet accepted (long packets), 10 to 9024",
                number(&VmConfig::kermitMaxLen, 10, 9024) },
            { "kermit-window",
                "window size offered, 1 to 31 (packets are still acknowledged one at a time)",
                number(&VmConfig::kermitWindow, 1, 31) },
            { "kermit-attributes", "offer attribute packets (1/0)",
                flag(&VmConfig::kermitAttributes) },
            { "kermit-qbin", "8th-bit prefix offered: Y (willing), N (refuse) or the prefix",
                kermitChar(&VmConfig::kermitQbin, QString()) },
            { "kermit-rept", "repeat prefix offered (a blank: none)",
                kermitChar(&VmConfig::kermitRept, QString()) },
            { "kermit-timeout-ms", "silence before the receiver sends a NAK",
                number(&VmConfig::kermitTimeoutMs) },
            { "store-dir", "directory the received files are written to",
                text(&VmConfig::storeDir) },
            { "fault-noise", "garbage bytes before every reply", fault(&VmFaults::noiseBytes) },
            { "fault-bad-crc-every", "corrupt the CRC of every k-th reply",
                fault(&VmFaults::badCrcEvery) },
            { "fault-drop-every", "drop every k-th reply", fault(&VmFaults::dropEvery) },
            { "fault-slow-ms", "delay every reply", fault(&VmFaults::slowReplyMs) },
            { "fault-stall-after-bytes",
                "send only the first N bytes of every reply; the rest never comes",
                fault(&VmFaults::stallAfterBytes) },
            { "fault-nack", "answer \"NACK\" with this reason (up to 8 characters)",
                [](VmConfig &c, const QString &v) {
                    c.faults.nackReason = v.toLatin1().left(8);
                    return true;
                } },
            { "fault-nack-type", "... only for this request type (e.g. EDTM)",
                [](VmConfig &c, const QString &v) {
                    c.faults.nackType = v.toLatin1();
                    return v.isEmpty() || v.size() == 4;
                } },
            { "fault-nack-param", "... only for requests naming this parameter ID (e.g. 0x20C)",
                fault(&VmFaults::nackParam) },
            { "fault-silence-after", "answer nothing after this many requests",
                fault(&VmFaults::silenceAfter) },
            { "fault-reboot-unanswered", "restart on a reboot request without answering it (1/0)",
                fault(&VmFaults::rebootUnanswered) },
            { "fault-unplug-after-bytes", "unplug after this many bytes of a file transfer",
                fault(&VmFaults::unplugAfterBytes) },
            { "fault-unplug-return-ms", "come back this long after that unplug (-1: never)",
                fault(&VmFaults::unplugReturnMs) },
            { "fault-kermit-nak-every", "NAK every k-th Kermit data packet",
                fault(&VmFaults::kermitNakEvery) },
            { "fault-kermit-prev-seq",
                "acknowledge the next n Kermit data packets with the previous sequence number",
                fault(&VmFaults::kermitPrevSeq) },
        };
        struct LanKey
        {
            const char *suffix;
            const char *help;
            SetterOf<VmInterface> set;
        };
        const QList<LanKey> lanKeys = {
            { "mode", "dhcp or static",
                [](VmInterface &l, const QString &v) {
                    static const QMap<QString, uint32_t> w
                        = { { "dhcp", 1 }, { "1", 1 }, { "static", 2 }, { "2", 2 } };
                    return parseEnum(v, w, l.ipConfig);
                } },
            { "ip", "static address", address(&VmInterface::ip) },
            { "mask", "static subnet mask", address(&VmInterface::mask) },
            { "gateway", "static gateway", address(&VmInterface::gateway) },
            { "dhcp-ip", "address a DHCP server offers", address(&VmInterface::dhcpIp) },
            { "dhcp-mask", "mask a DHCP server offers", address(&VmInterface::dhcpMask) },
            { "dhcp-gateway", "gateway a DHCP server offers", address(&VmInterface::dhcpGateway) },
            { "mac", "MAC address", text(&VmInterface::mac) },
            { "link", "link up (1) or down (0)", flag(&VmInterface::linkUp) },
            { "speed", "link speed setting", text(&VmInterface::speedSetting) },
            { "speed-actual", "negotiated link speed", text(&VmInterface::speedActual) },
            { "upnp", "UPnP on (1) or off (0)", flag(&VmInterface::upnp) },
        };
        for (int i = 0; i < kVmInterfaceCount; ++i) {
            for (const LanKey &k : lanKeys) {
                auto set = k.set;
                t.append({ QString("lan%1.%2").arg(i).arg(k.suffix),
                    QString("interface %1 (0 control, 1 media, 2 media 2): %2").arg(i).arg(k.help),
                    [i, set](VmConfig &c, const QString &v) { return set(c.lan[i], v); } });
            }
        }
        return t;
    }();
    return table;
}

} // namespace

QList<VmConfigKey> vmConfigKeys()
{
    QList<VmConfigKey> keys;
    for (const KeyDef &k : keyTable())
        keys.append({ k.key, k.help });
    return keys;
}

bool vmApplyConfigValue(VmConfig &config, const QString &key, const QString &value, QString *error)
{
    for (const KeyDef &k : keyTable()) {
        if (k.key != key)
            continue;
        if (k.set(config, value))
            return true;
        if (error)
            *error = QString("bad value \"%1\" for %2").arg(value, key);
        return false;
    }
    if (error)
        *error = QString("unknown key \"%1\"").arg(key);
    return false;
}

bool vmParseModuleSettings(const QString &settings, VmConfig &config, QString *error)
{
    for (const QString &pair : settings.split(',', Qt::SkipEmptyParts)) {
        const int eq = pair.indexOf('=');
        if (eq <= 0) {
            if (error)
                *error = QString("expected key=value, got \"%1\"").arg(pair);
            return false;
        }
        if (!vmApplyConfigValue(config, pair.left(eq).trimmed(), pair.mid(eq + 1), error))
            return false;
    }
    return true;
}

bool vmLoadConfigFile(const QString &path, QList<VmConfig> &configs, QString *error)
{
    if (!QFile::exists(path)) {
        if (error)
            *error = QString("no such file: %1").arg(path);
        return false;
    }
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        if (error)
            *error = QString("cannot read %1").arg(path);
        return false;
    }
    for (const QString &group : ini.childGroups()) {
        VmConfig config;
        config.name = group;
        ini.beginGroup(group);
        for (const QString &key : ini.childKeys()) {
            // QSettings splits unquoted commas into lists; join them back.
            const QVariant v = ini.value(key);
            const QString value
                = v.typeId() == QMetaType::QStringList ? v.toStringList().join(',') : v.toString();
            if (!vmApplyConfigValue(config, key, value, error)) {
                ini.endGroup();
                if (error)
                    *error = QString("[%1] %2").arg(group, *error);
                return false;
            }
        }
        ini.endGroup();
        configs.append(config);
    }
    return true;
}

VmModelTraits vmModelTraits(const QString &productId)
{
    // Routers and their panels: one LAN, parameters by name.
    if (productId.startsWith(QLatin1String("ROUTER-")))
        return { 1, false };
    static const QMap<QString, int> numericLans { { "RECORDER", 1 }, { "RECORDER-PLUS", 1 },
        { "RECORDER-X1", 1 }, { "RECORDER-X2", 1 }, { "USBHUB", 1 }, { "PRISM", 1 },
        { "DECODER", 2 }, { "DECODER-SDI", 2 }, { "ENCODER-HDMI", 2 }, { "ENCODER-SDI", 2 },
        { "DECODER10G", 2 }, { "CONDOR", 2 }, { "DECODER10G2", 3 }, { "DECODER10G2-P", 3 },
        { "DECODER10G2-SDI", 3 }, { "DECODER10G2-SDI-P", 3 }, { "ENCODER10G2-HDMI", 3 },
        { "ENCODER10G2-HDMI-P", 3 }, { "ENCODER10G2-SDI", 3 }, { "ENCODER10G2-SDI-P", 3 },
        { "QUASAR", 3 } };
    const auto it = numericLans.constFind(productId);
    if (it != numericLans.constEnd())
        return { it.value(), true };
    return {}; // a product nobody knows
}

void vmCompleteConfig(VmConfig &config)
{
    if (config.lanCount < 1)
        config.lanCount = vmModelTraits(config.productId).lanCount;
    // Distinct, stable defaults so that each interface is recognisable in the window.
    static const char *const kDefaultIp[] = { "192.168.1.50", "10.10.1.50", "10.20.1.50" };
    static const char *const kDefaultOffer[] = { "192.168.1.77", "10.10.1.77", "10.20.1.77" };
    const uint serialHash = qHash(config.serialNumber) & 0xFFFF;
    for (int i = 0; i < kVmInterfaceCount; ++i) {
        VmInterface &l = config.lan[i];
        if (l.ip.isEmpty())
            l.ip = kDefaultIp[i];
        if (l.mask.isEmpty())
            l.mask = "255.255.255.0";
        if (l.gateway.isEmpty())
            l.gateway
                = QHostAddress((QHostAddress(l.ip).toIPv4Address() & 0xFFFFFF00) | 1).toString();
        if (l.dhcpIp.isEmpty())
            l.dhcpIp = kDefaultOffer[i];
        if (l.dhcpMask.isEmpty())
            l.dhcpMask = "255.255.255.0";
        if (l.dhcpGateway.isEmpty())
            l.dhcpGateway = QHostAddress((QHostAddress(l.dhcpIp).toIPv4Address() & 0xFFFFFF00) | 1)
                                .toString();
        if (l.mac.isEmpty())
            l.mac = QString("00:0C:17:%1:%2:%3")
                        .arg(serialHash >> 8, 2, 16, QChar('0'))
                        .arg(serialHash & 0xFF, 2, 16, QChar('0'))
                        .arg(i + 1, 2, 16, QChar('0'))
                        .toUpper();
    }
}
