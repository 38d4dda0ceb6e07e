#include "trivo_device.h"

#include "cmd_engine.h"

#include <algorithm>

CTrivo::CTrivo(CCmdEngine *cmdEngine, int mediaLanCount)
    : CDeviceIF(cmdEngine)
    , mInterfaceCount(1 + std::clamp(mediaLanCount, 0, 2))
    , mInterfaces(static_cast<size_t>(mInterfaceCount))
{ }

CTrivo::~CTrivo() = default;

StatusReadResult CTrivo::ReadStatus(const StatusReadOptions &options)
{
    StatusReadResult result;
    // Stores a value read successfully when it differs. A vanished module ends the pass, and
    // so does a silent one: every further read would wait out its own time-out.
    auto take = [&](eResult_t code, auto &field, const auto &value, int where) {
        if (code == eResultDisconnected || code == eResultTimeout) {
            result.stopResult = code;
            result.stopPoint = where;
            return false;
        }
        if (code == eResultOK && !(field == value)) {
            field = value;
            result.changed = true;
        }
        return true;
    };

    CCmdEngine &engine = *mCmdEngine;
    QString name;
    if (!take(engine.GetModuleName(name), mSystemName, name, 1))
        return result;
    for (int i = 0; i < mInterfaceCount; ++i) {
        const auto netIf = static_cast<CCmdEngine::eNetIf_t>(i);
        TrivoInterface &rec = mInterfaces[static_cast<size_t>(i)];
        const int base = 10 * (i + 1);
        QString text;
        uint32_t mode = 0;
        bool flag = false;
        if (!take(engine.GetModuleIpAddressActive(netIf, text), rec.ipAddress, text, base + 1)
            || !take(engine.GetModuleSubnetMaskActive(netIf, text), rec.subnetMask, text, base + 2)
            || !take(engine.GetModuleGatewayActive(netIf, text), rec.gateway, text, base + 3)
            || !take(engine.GetModuleMACAddress(netIf, text), rec.macAddress, text, base + 4))
            return result;
        if (i > 0 && options.speed[i]
            && !take(engine.GetModuleSpeedActual(netIf, text), rec.speedActual, text, base + 5))
            return result;
        if (!take(engine.GetModuleIpState(netIf, mode), rec.addressType, mode, base + 6)
            || !take(engine.GetModuleNetworkConnected(netIf, flag), rec.networkConnected, flag,
                base + 7))
            return result;
        if (options.upnp
            && !take(engine.GetModuleUPnPEnabled(netIf, flag), rec.upnpEnabled, flag, base + 8))
            return result;
    }
    bool auth = false;
    take(engine.GetModuleAuthenticationEnabled(auth), mAuthenticationEnabled, auth, 99);
    return result;
}

bool CTrivo::Save(QSettings &settings)
{
    (void)settings;
    return true;
}

bool CTrivo::Load(QSettings &settings)
{
    (void)settings;
    return true;
}
