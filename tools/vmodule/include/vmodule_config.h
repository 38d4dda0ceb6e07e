#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>

// Outcome of a DHCP negotiation started by writing IP configuration 1.
enum class VmDhcpOutcome
{
    Bound,
    Never,
    Disabled,
    None
};

// Verdict of the image check requested through parameter 0x20D.
enum class VmVerifyVerdict
{
    Verified,
    OtherProduct,
    TooLarge,
    Checksum,
    Signature,
    Never
};

// Fault switches; every one is off at its default value.
struct VmFaults
{
    int noiseBytes = 0; // garbage bytes written before every reply
    int badCrcEvery = 0; // every k-th reply carries a corrupted CRC
    int dropEvery = 0; // every k-th reply is not sent
    int slowReplyMs = 0; // every reply is delayed by this much
    int stallAfterBytes = -1; // every reply stops after this many bytes; the rest never comes
    QByteArray nackReason; // answer "NACK" with this reason instead of the real reply
    QByteArray nackType; // ... only for this request type (empty: every request)
    uint32_t nackParam = 0; // ... only for requests naming this parameter ID (0: any)
    int silenceAfter = -1; // answer nothing after this many requests
    int rebootUnanswered = 0; // 1: restart on a reboot request without answering it
    qint64 unplugAfterBytes = -1; // unplug once a file transfer has delivered this many bytes
    int unplugReturnMs = -1; // come back this long after such an unplug (-1: stay away)
    int kermitNakEvery = 0; // every k-th data packet gets a NAK instead of its ACK
    int kermitPrevSeq = 0; // the next n data packets are acknowledged with the previous
                           // sequence number
};

// One network interface of a module (0 control LAN, 1 media LAN, 2 media LAN 2).
struct VmInterface
{
    uint32_t ipConfig = 2; // 1 DHCP, 2 static
    QString ip, mask, gateway; // static set
    QString dhcpIp, dhcpMask, dhcpGateway; // what a DHCP server offers
    QString mac;
    bool linkUp = true;
    QString speedSetting = "auto";
    QString speedActual = "1000";
    bool upnp = false;
};

constexpr int kVmInterfaceCount = 3;

struct VmConfig
{
    QString name; // file name of the link in the link directory
    QString productId = "DECODER10G2";
    uint32_t protocolVersion = 2;
    QString sysName = "Virtual Module";
    QString serialNumber = "1VM000001";
    QString swVersion = "3.4.0";
    QString safebootVersion = "1.0.2";
    QString bootloaderVersion = "2013.07";
    uint32_t pcbRevision = 3;
    uint32_t safebootMode = 0;
    bool authentication = true;
    QString password = "secret";
    int lanCount = -1; // -1: by model
    VmInterface lan[kVmInterfaceCount];
    uint32_t recordState = 1;
    uint32_t streamState = 1;

    VmDhcpOutcome dhcpOutcome = VmDhcpOutcome::Bound;
    int dhcpDelayMs = 1500;

    uint32_t updateLock = 0; // the update lock at start-up (1: as another program left it)
    QString uploadLocation = "/tmp/upload";
    int uploadEmptyMs = 0;
    VmVerifyVerdict verifyVerdict = VmVerifyVerdict::Verified;
    int verifyDelayMs = 500;
    int commitMs = 2000;
    int commitFailPercent = -1; // -1: the commit succeeds
    bool commitIdle = false; // a commit request is taken but the commit never starts
    int rebootDelayMs = 200;
    int returnDelayMs = 1500;
    QString newSwVersion; // software version after a committed update ("" keeps the old one)

    // Kermit receiver: our Send-Init offer.
    char kermitChkt = '3'; // '1', '2', '3', or '5' (type 3 on every packet)
    bool kermitLongPackets = true;
    int kermitMaxLen = 2048;
    int kermitWindow = 1;
    bool kermitAttributes = true;
    char kermitQbin = 'Y'; // 'Y' willing, 'N' refuse, or the prefix to use
    char kermitRept = '~'; // ' ' for no repeat counts
    int kermitTimeoutMs = 5000;

    QString storeDir; // where received files are written ("" keeps them in memory only)
    VmFaults faults;
};

// One key of the configuration (command line or INI group).
struct VmConfigKey
{
    QString key;
    QString help;
};

// Every configuration key with its help line, in a stable order.
QList<VmConfigKey> vmConfigKeys();

// Applies key=value to a configuration; false with an error text for an unknown key or a
// value that does not parse.
bool vmApplyConfigValue(VmConfig &config, const QString &key, const QString &value, QString *error);

// The settings of one module on the command line: comma-separated key=value pairs.
bool vmParseModuleSettings(const QString &settings, VmConfig &config, QString *error);

// One module per group of an INI file; the group name is the default link name.
bool vmLoadConfigFile(const QString &path, QList<VmConfig> &configs, QString *error);

// What the hardware of a product ID has: its network interfaces and whether it addresses
// parameters by numeric ID. Written apart from the program's model table, so that a
// wrong row there shows against these modules.
struct VmModelTraits
{
    int lanCount = 2;
    bool numericIds = false;
};
VmModelTraits vmModelTraits(const QString &productId);

// Fills what the model decides (interface count, MACs) when the user left it open.
void vmCompleteConfig(VmConfig &config);
