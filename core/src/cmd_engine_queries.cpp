#include "cmd_engine.h"

#include "engine_logging.h"

#include <QHostAddress>
#include <algorithm>

namespace {

// Stands for "no such parameter": sent for interfaces the module does not have, so the
// module's own answer (normally status 1) becomes the result.
constexpr uint32_t kNoSuchParamID = 0xDEADBEEF;

constexpr uint32_t kParamSysName = 0x108;
constexpr uint32_t kParamSWVersion = 0x201;
constexpr uint32_t kParamSafebootVersion = 0x204;
constexpr uint32_t kParamBootloaderVersion = 0x205;
constexpr uint32_t kParamSerialNumber = 0x2000002;
constexpr uint32_t kParamRecordState = 0x7D011E0A;
constexpr uint32_t kParamStreamState = 0x7D011F0A;

constexpr uint32_t kIpConfigDhcp = 1;
constexpr uint32_t kIpConfigStatic = 2;
constexpr uint32_t kNetworkCommandApply = 2;
// Writing the network command counter applies the settings; the module expects it to
// move on by two.
constexpr uint32_t kNetworkCounterStep = 2;

const char *const kDefaultPassword = "qumvrtle";

enum AddrKind
{
    kAddrIp = 0,
    kAddrMask = 1,
    kAddrGateway = 2,
};

// Every parameter of one network interface, by ID (numeric-ID boards) and by name.
struct NetIfParams
{
    const char *ipConfig;
    const char *macAddress;
    const char *networkConnected;
    const char *speedActual;
    const char *dhcpState;
    uint32_t staticAddr[3]; // by AddrKind
    uint32_t dhcpAddr[3]; // by AddrKind
    uint32_t speed;
    uint32_t commandCounter;
    uint32_t upnp;
};

const NetIfParams kNetIfParams[] = {
    { "eParamID_IPConfig", "eParamID_MACAddress", "eParamID_NetworkConnected", "",
        "eParamID_DHCPState", { 0x102, 0x103, 0x104 }, { 0x105, 0x106, 0x107 }, kNoSuchParamID,
        0x10B, 0x10D },
    { "eParamID_MediaIPConfig", "eParamID_MediaMACAddress", "eParamID_MediaNetworkConnected",
        "eParamID_MediaSpeed_Actual", "eParamID_MediaDHCPState", { 0x2B, 0x2C, 0x2D },
        { 0x2F, 0x30, 0x2E }, 0x3E, 0x33, 0x3D },
    { "eParamID_Media2IPConfig", "eParamID_Media2MACAddress", "eParamID_Media2NetworkConnected",
        "eParamID_Media2Speed_Actual", "eParamID_Media2DHCPState", { 0x85, 0x86, 0x87 },
        { 0x89, 0x8A, 0x88 }, 0x98, 0x8D, 0x97 },
};

const NetIfParams kUnknownNetIf = {
    "",
    "",
    "",
    "",
    "",
    { kNoSuchParamID, kNoSuchParamID, kNoSuchParamID },
    { kNoSuchParamID, kNoSuchParamID, kNoSuchParamID },
    kNoSuchParamID,
    kNoSuchParamID,
    kNoSuchParamID,
};

bool isKnownNetIf(CCmdEngine::eNetIf_t netIf)
{
    return int(netIf) >= 0 && size_t(netIf) < std::size(kNetIfParams);
}

const NetIfParams &netIfParams(CCmdEngine::eNetIf_t netIf)
{
    return isKnownNetIf(netIf) ? kNetIfParams[netIf] : kUnknownNetIf;
}

// Name-based boards keep one static ("_3") and one DHCP ("_2") set, shared by all
// interfaces. The operation names and flags reproduce each operation's own messages.
struct AddrKindInfo
{
    const char *staticName;
    const char *dhcpName;
    const char *getOperation;
    bool getLogsUnsupported;
    const char *activeOperation;
    bool activeLogsUnsupported;
    const char *setStep;
    const char *setOperation;
    bool setLogsUnsupported;
};

const AddrKindInfo kAddrKinds[] = {
    { "eParamID_IPAddress_3", "eParamID_IPAddress_2", "CCmdEngine::GetModuleIpAddress", false,
        "CCmdEngine::GetModuleIpAddressActive", true, "SetModuleIpAddress()",
        "CCmdEngine::SetModuleIpAddress", false },
    { "eParamID_SubnetMask_3", "eParamID_SubnetMask_2", "CCmdEngine::GetModuleSubnetMask", true,
        "CCmdEngine::GetModuleSubnetMaskActive", true, "SetModuleSubnetMask()",
        "CCmdEngine::SetModuleSubnetMask", true },
    { "eParamID_DefaultGateway_3", "eParamID_DefaultGateway_2", "CCmdEngine::GetModuleGateway",
        false, "CCmdEngine::GetModuleGatewayActive", false, "SetModuleGateway()",
        "CCmdEngine::SetModuleGateway", false },
};

void logUnsupportedNetIf(CCmdEngine::eNetIf_t netIf, const char *operation)
{
    qCDebug(lcEngine).noquote() << "Unsupported netIf" << int(netIf) << "in" << operation;
}

// Dotted text to the integer a name-based board stores; 0 when the text is no address.
int32_t ipv4Value(const QString &text)
{
    QHostAddress address;
    if (!address.setAddress(text) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return 0;
    return int32_t(address.toIPv4Address());
}

bool isNoSuchOrWrongType(eResult_t rc)
{
    return rc == eResultGetSetCmdNoSuchParamID || rc == eResultGetSetCmdWrongType;
}

// A module that did not answer at all (or went away) gets no second request in another
// form: it would only wait out a second time-out.
bool unanswered(eResult_t rc)
{
    return rc == eResultTimeout || rc == eResultDisconnected;
}

// A switch read by name; false when it cannot be read, and the failure is logged.
eResult_t readFlag(CCmdEngine &engine, const QString &name, bool &flag, const char *operation)
{
    uint32_t value = 0;
    const eResult_t rc = engine.GetIntParamByName(name, value);
    flag = rc == eResultOK && value != 0;
    if (rc != eResultOK)
        ENGINE_LOG_ERROR(rc, name, operation);
    return rc;
}

// DHCP client states reported by numeric-ID boards.
struct DhcpWord
{
    const char *word;
    bool running;
    bool bound;
};

const DhcpWord kDhcpWords[] = {
    { "request", true, false },
    { "discover", true, false },
    { "disabled", false, false },
    { "bound", false, true },
    { "none", false, false },
};

// Network service states reported by name-based boards; values 8 and up are unknown.
struct NetworkState
{
    bool running;
    bool bound;
    bool expected; // false: accepted, but neither negotiating nor bound
};

const NetworkState kNetworkStates[] = {
    { false, false, false },
    { true, false, true },
    { false, false, false },
    { false, true, true },
    { false, false, false },
    { false, false, true },
    { false, false, false },
    { false, false, false },
};

} // namespace

eResult_t CCmdEngine::GetModuleName(QString &name)
{
    eResult_t rc = GetStringParamByID(kParamSysName, name);
    if (!unanswered(rc) && (name.isEmpty() || isNoSuchOrWrongType(rc)))
        rc = GetStringParamByName(QLatin1String("eParamID_SysName"), name);
    return rc;
}

eResult_t CCmdEngine::SetModuleName(const QString &name, QString &answer)
{
    eResult_t rc = SetStringParamByID(kParamSysName, name, &answer);
    if (name.isEmpty() || isNoSuchOrWrongType(rc))
        rc = SetStringParamByName(QLatin1String("eParamID_SysName"), name, answer);
    return rc;
}

eResult_t CCmdEngine::GetModuleSerialNumber(QString &serial)
{
    eResult_t rc = GetStringParamByName(QLatin1String("eParamID_FormattedSerialNumber"), serial);
    if (serial == QLatin1String("0") || isNoSuchOrWrongType(rc))
        rc = GetStringParamByID(kParamSerialNumber, serial);
    return rc;
}

eResult_t CCmdEngine::GetModuleSWVersion(QString &version)
{
    if (CProductFeatures::UsesNumericParameterIDs(mBoardID))
        return GetStringParamByID(kParamSWVersion, version);
    return GetStringParamByName(QLatin1String("eParamID_SWVersion"), version);
}

eResult_t CCmdEngine::GetModuleSafebootVersion(QString &version)
{
    return GetStringParamByID(kParamSafebootVersion, version);
}

eResult_t CCmdEngine::GetModuleBootloaderVersion(QString &version)
{
    return GetStringParamByID(kParamBootloaderVersion, version);
}

eResult_t CCmdEngine::GetModulePCBRevision(uint32_t &revision)
{
    return GetIntParamByName(QLatin1String("eParamID_PCB_Revision"), revision);
}

eResult_t CCmdEngine::GetModuleSafebootMode(uint32_t &mode)
{
    return GetIntParamByName(QLatin1String("eParamID_SafebootMode"), mode);
}

eResult_t CCmdEngine::GetModuleIdle(bool &idle)
{
    QString productID;
    eResult_t rc = GetModuleProductID(productID);
    if (rc != eResultOK) {
        ENGINE_LOG_ERROR(rc, QStringLiteral("GetModuleProductID()"), "CCmdEngine::GetModuleIdle");
        return rc;
    }
    // Only the recorders can be busy (recording or streaming).
    if (productID != QLatin1String("RECORDER") && productID != QLatin1String("RECORDER-PLUS")) {
        idle = true;
        return eResultOK;
    }

    const struct
    {
        uint32_t id;
        const char *subject;
    } kStates[] = {
        { kParamRecordState, "CommonConfig::eParamID_ReplicatorRecordState" },
        { kParamStreamState, "CommonConfig::eParamID_ReplicatorStreamState" },
    };
    bool allIdle = true;
    for (const auto &state : kStates) {
        uint32_t value = 0;
        rc = GetIntParamByID(state.id, value);
        if (rc != eResultOK) {
            ENGINE_LOG_ERROR(rc, QLatin1String(state.subject), "CCmdEngine::GetModuleIdle");
            return rc;
        }
        allIdle = allIdle && (value == 1 || value == 3);
    }
    idle = allIdle;
    return eResultOK;
}

eResult_t CCmdEngine::GetModuleAuthenticationEnabled(bool &enabled)
{
    return readFlag(*this, QStringLiteral("eParamID_Authentication"), enabled,
        "CCmdEngine::GetModuleAuthenticationEnabled");
}

eResult_t CCmdEngine::SetModuleAuthenticationEnabled(bool enabled)
{
    return SetIntParamByName(QStringLiteral("eParamID_Authentication"), enabled ? 1 : 0);
}

eResult_t CCmdEngine::ResetModulePassword()
{
    QString answer;
    return SetStringParamByName(
        QStringLiteral("eParamID_SystemPassword"), QLatin1String(kDefaultPassword), answer);
}

eResult_t CCmdEngine::GetModuleIpState(eNetIf_t netIf, uint32_t &mode)
{
    return GetIntParamByName(QLatin1String(netIfParams(netIf).ipConfig), mode);
}

eResult_t CCmdEngine::SetModuleIpState(eNetIf_t netIf, uint32_t mode)
{
    return SetIntParamByName(QLatin1String(netIfParams(netIf).ipConfig), int32_t(mode));
}

eResult_t CCmdEngine::GetModuleAddress(int kind, eNetIf_t netIf, QString &text, bool dhcpSet)
{
    const AddrKindInfo &info = kAddrKinds[kind];
    if (CProductFeatures::UsesNumericParameterIDs(mBoardID)) {
        if (info.getLogsUnsupported && !isKnownNetIf(netIf))
            logUnsupportedNetIf(netIf, info.getOperation);
        const NetIfParams &p = netIfParams(netIf);
        return GetStringParamByID(dhcpSet ? p.dhcpAddr[kind] : p.staticAddr[kind], text);
    }
    return GetNetworkDottedIPParamByName(
        QLatin1String(dhcpSet ? info.dhcpName : info.staticName), text);
}

eResult_t CCmdEngine::GetModuleIpAddress(eNetIf_t netIf, QString &text, bool dhcpSet)
{
    return GetModuleAddress(kAddrIp, netIf, text, dhcpSet);
}

eResult_t CCmdEngine::GetModuleSubnetMask(eNetIf_t netIf, QString &text, bool dhcpSet)
{
    return GetModuleAddress(kAddrMask, netIf, text, dhcpSet);
}

eResult_t CCmdEngine::GetModuleGateway(eNetIf_t netIf, QString &text, bool dhcpSet)
{
    return GetModuleAddress(kAddrGateway, netIf, text, dhcpSet);
}

eResult_t CCmdEngine::GetModuleAddressActive(int kind, eNetIf_t netIf, QString &text)
{
    const AddrKindInfo &info = kAddrKinds[kind];
    if (CProductFeatures::UsesNumericParameterIDs(mBoardID)) {
        // These boards report the address in use under the DHCP IDs, whatever the mode.
        if (info.activeLogsUnsupported && !isKnownNetIf(netIf))
            logUnsupportedNetIf(netIf, info.activeOperation);
        return GetStringParamByID(netIfParams(netIf).dhcpAddr[kind], text);
    }
    uint32_t mode = 0;
    const eResult_t rc = GetIntParamByName(QLatin1String(netIfParams(netIf).ipConfig), mode);
    if (rc != eResultOK) {
        ENGINE_LOG_ERROR(rc, QStringLiteral("GetModuleIpState()"), info.activeOperation);
        return rc;
    }
    return GetNetworkDottedIPParamByName(
        QLatin1String(mode == kIpConfigDhcp ? info.dhcpName : info.staticName), text);
}

eResult_t CCmdEngine::GetModuleIpAddressActive(eNetIf_t netIf, QString &text)
{
    return GetModuleAddressActive(kAddrIp, netIf, text);
}

eResult_t CCmdEngine::GetModuleSubnetMaskActive(eNetIf_t netIf, QString &text)
{
    return GetModuleAddressActive(kAddrMask, netIf, text);
}

eResult_t CCmdEngine::GetModuleGatewayActive(eNetIf_t netIf, QString &text)
{
    return GetModuleAddressActive(kAddrGateway, netIf, text);
}

eResult_t CCmdEngine::GetModuleMACAddress(eNetIf_t netIf, QString &text)
{
    return GetStringParamByName(QLatin1String(netIfParams(netIf).macAddress), text);
}

eResult_t CCmdEngine::GetModuleSpeedActual(eNetIf_t netIf, QString &text)
{
    return GetStringParamByName(QLatin1String(netIfParams(netIf).speedActual), text);
}

eResult_t CCmdEngine::GetModuleNetworkConnected(eNetIf_t netIf, bool &connected)
{
    return readFlag(*this, QLatin1String(netIfParams(netIf).networkConnected), connected,
        "CCmdEngine::GetModuleNetworkConnected");
}

eResult_t CCmdEngine::GetModuleUPnPEnabled(eNetIf_t netIf, bool &enabled)
{
    uint32_t value = 0;
    const eResult_t rc = GetIntParamByID(netIfParams(netIf).upnp, value);
    enabled = rc == eResultOK && value != 0;
    return rc;
}

eResult_t CCmdEngine::SetModuleUPnPEnabled(eNetIf_t netIf, bool enabled)
{
    // The caller learns whether the module took the change.
    return SetIntParamByID(netIfParams(netIf).upnp, enabled ? 1 : 0);
}

eResult_t CCmdEngine::GetModuleDHCPNegotiationRunning(
    eNetIf_t netIf, bool &running, bool &bound, bool &networkRootWarning)
{
    static const char *const kOperation = "CCmdEngine::GetModuleDHCPNegotiationRunning";
    networkRootWarning = false;

    if (CProductFeatures::UsesNumericParameterIDs(mBoardID)) {
        const QString name = QLatin1String(netIfParams(netIf).dhcpState);
        QString state;
        const eResult_t rc = GetStringParamByName(name, state);
        if (rc != eResultOK) {
            ENGINE_LOG_ERROR(rc, name, kOperation);
            return rc;
        }
        const QString word = state.toLower();
        const auto it = std::find_if(std::begin(kDhcpWords), std::end(kDhcpWords),
            [&](const DhcpWord &w) { return word == QLatin1String(w.word); });
        if (it == std::end(kDhcpWords)) {
            qCDebug(lcEngine).noquote()
                << "Unknown enetd DHCPState" << state << "received in" << kOperation;
            return eResultOK;
        }
        running = it->running;
        bound = it->bound;
        if (word == QLatin1String("none")) {
            // A module whose root file system is mounted over the network has no DHCP client.
            qCDebug(lcEngine).noquote()
                << "** Warning: got enetd DHCPState" << state << "in" << kOperation;
            QString version;
            if (GetStringParamByID(kParamSWVersion, version) == eResultOK
                && version.startsWith(QLatin1String("NFS"))) {
                networkRootWarning = true;
                qCDebug(lcEngine).noquote() << "** Are you trying to configure DHCP on a device "
                                               "with an NFS-mounted rootfs?";
            }
        }
        return eResultOK;
    }

    const QString name = QStringLiteral("eParamID_NetworkState");
    uint32_t value = 0;
    const eResult_t rc = GetIntParamByName(name, value);
    if (rc != eResultOK) {
        ENGINE_LOG_ERROR(rc, name, kOperation);
        return rc;
    }
    if (value >= std::size(kNetworkStates)) {
        qCDebug(lcEngine).noquote()
            << "Unknown value for networkd NetworkState" << value << "received in" << kOperation;
        running = false;
        return eResultOK;
    }
    const NetworkState &s = kNetworkStates[value];
    if (!s.expected)
        qCDebug(lcEngine).noquote()
            << "Received sketchy value for networkd NetworkState" << value << "in" << kOperation;
    running = s.running;
    bound = s.bound;
    return eResultOK;
}

eResult_t CCmdEngine::SetModuleAddress(int kind, eNetIf_t netIf, const QString &text)
{
    const AddrKindInfo &info = kAddrKinds[kind];
    if (CProductFeatures::UsesNumericParameterIDs(mBoardID)) {
        if (info.setLogsUnsupported && !isKnownNetIf(netIf))
            logUnsupportedNetIf(netIf, info.setOperation);
        return SetStringParamByID(netIfParams(netIf).staticAddr[kind], text);
    }
    return SetIntParamByName(QLatin1String(info.staticName), ipv4Value(text));
}

eResult_t CCmdEngine::SetModuleNetworkConfiguration(
    eNetIf_t netIf, QString ip, QString mask, QString gateway, QString speed)
{
    static const char *const kOperation = "CCmdEngine::SetModuleNetworkConfiguration";
    const bool numeric = CProductFeatures::UsesNumericParameterIDs(mBoardID);
    const NetIfParams &p = netIfParams(netIf);
    const auto failed = [](eResult_t rc, const char *step) {
        ENGINE_LOG_ERROR(rc, QLatin1String(step), kOperation);
        return rc;
    };

    eResult_t rc = SetModuleAddress(kAddrIp, netIf, ip);
    if (rc != eResultOK)
        return failed(rc, kAddrKinds[kAddrIp].setStep);
    rc = SetModuleAddress(kAddrMask, netIf, mask);
    if (rc != eResultOK)
        return failed(rc, kAddrKinds[kAddrMask].setStep);
    if (!speed.isEmpty()) {
        // Only numeric-ID boards have a writable link speed.
        rc = numeric ? SetStringParamByID(p.speed, speed) : eResultUnknownError;
        if (rc != eResultOK)
            return failed(rc, "SetModuleSpeed()");
    }
    rc = SetModuleAddress(kAddrGateway, netIf, gateway);
    if (rc != eResultOK)
        return failed(rc, kAddrKinds[kAddrGateway].setStep);

    rc = SetIntParamByName(QLatin1String(p.ipConfig), int32_t(kIpConfigStatic));
    if (rc != eResultOK) {
        qCDebug(lcEngine).noquote() << "Network configuration failed";
        return rc;
    }

    if (numeric) {
        // A failed read leaves 0, so the write still moves the counter on.
        uint32_t counter = 0;
        GetIntParamByID(p.commandCounter, counter);
        rc = SetIntParamByID(p.commandCounter, counter + kNetworkCounterStep);
    } else {
        rc = SetIntParamByName(
            QStringLiteral("eParamID_NetworkCommand"), int32_t(kNetworkCommandApply));
    }
    if (rc != eResultOK)
        return failed(rc, "SetModuleGateway()");
    return eResultOK;
}
