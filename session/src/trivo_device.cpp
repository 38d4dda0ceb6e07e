#include "trivo_device.h"

#include "cmd_engine.h"

#include <QElapsedTimer>
#include <algorithm>

CTrivo::CTrivo(CCmdEngine *cmdEngine, int mediaLanCount)
    : CDeviceIF(cmdEngine)
    , mInterfaceCount(1 + std::clamp(mediaLanCount, 0, 2))
    , mInterfaces(static_cast<size_t>(mInterfaceCount))
{ }

CTrivo::~CTrivo() = default;

namespace {
// Reads per interface, in order: IP, mask, gateway, MAC, speed, address type, link, UPnP.
constexpr int kInterfaceReads = 8;
} // namespace

int CTrivo::StatusReadCount() const
{
    return 1 + kInterfaceReads * mInterfaceCount + 1;
}

StatusReadResult CTrivo::ReadStatus(const StatusReadOptions &options)
{
    StatusReadResult result;
    QElapsedTimer clock;
    clock.start();
    if (mNextRead >= StatusReadCount())
        mNextRead = 0;
    for (;;) {
        if (!readOne(mNextRead, options, result)) {
            mNextRead = 0; // the next pass starts afresh
            return result;
        }
        if (++mNextRead == StatusReadCount()) {
            mNextRead = 0;
            result.complete = true;
            return result;
        }
        if (options.budgetMs >= 0 && clock.elapsed() >= options.budgetMs)
            return result;
    }
}

bool CTrivo::readOne(int step, const StatusReadOptions &options, StatusReadResult &result)
{
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
    QString text;
    if (step == 0)
        return take(engine.GetModuleName(text), mSystemName, text, 1);
    if (step == StatusReadCount() - 1) {
        bool auth = false;
        return take(engine.GetModuleAuthenticationEnabled(auth), mAuthenticationEnabled, auth, 99);
    }
    const int i = (step - 1) / kInterfaceReads;
    const int k = (step - 1) % kInterfaceReads;
    const auto netIf = static_cast<CCmdEngine::eNetIf_t>(i);
    TrivoInterface &rec = mInterfaces[static_cast<size_t>(i)];
    const int where = 10 * (i + 1) + k + 1;
    uint32_t mode = 0;
    bool flag = false;
    switch (k) {
    case 0:
        return take(engine.GetModuleIpAddressActive(netIf, text), rec.ipAddress, text, where);
    case 1:
        return take(engine.GetModuleSubnetMaskActive(netIf, text), rec.subnetMask, text, where);
    case 2:
        return take(engine.GetModuleGatewayActive(netIf, text), rec.gateway, text, where);
    case 3:
        return take(engine.GetModuleMACAddress(netIf, text), rec.macAddress, text, where);
    case 4:
        return i == 0 || !options.speed[i]
            || take(engine.GetModuleSpeedActual(netIf, text), rec.speedActual, text, where);
    case 5:
        return take(engine.GetModuleIpState(netIf, mode), rec.addressType, mode, where);
    case 6:
        return take(
            engine.GetModuleNetworkConnected(netIf, flag), rec.networkConnected, flag, where);
    default:
        return !options.upnp
            || take(engine.GetModuleUPnPEnabled(netIf, flag), rec.upnpEnabled, flag, where);
    }
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
