#include "module_model.h"

#include "comm_protocol.h"

#include <QHostAddress>
#include <QtEndian>
#include <algorithm>

namespace {

enum : unsigned
{
    kOnNumeric = 1,
    kOnNamed = 2,
    kOnAll = 3
};

// Reply status words.
constexpr uint32_t kStatusOK = 0;
constexpr uint32_t kStatusNoSuchParam = 1;
constexpr uint32_t kStatusWrongType = 2;

// Values of the update parameters.
constexpr uint32_t kVerifyRunning = 1;
constexpr uint32_t kVerifyPassed = 3;
constexpr uint32_t kCommitIdle = 0;
constexpr uint32_t kCommitRunning = 1;
constexpr uint32_t kCommitFailed = 2;
constexpr uint32_t kCommitDone = 3;
constexpr uint32_t kRebootRequest = 1;
constexpr uint32_t kFactoryResetRequest = 2;
constexpr uint32_t kNetworkApplyCommand = 2;
constexpr uint32_t kIpConfigDhcp = 1;
constexpr uint32_t kIpConfigStatic = 2;

// Network state values of name-based boards.
constexpr uint32_t kNetNegotiating = 1;
constexpr uint32_t kNetBound = 3;
constexpr uint32_t kNetIdle = 5;

const char *const kLanPrefix[kVmInterfaceCount] = { "", "Media", "Media2" };

uint32_t ipv4(const QString &dotted)
{
    return QHostAddress(dotted).toIPv4Address();
}

QByteArray word(uint32_t v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

uint32_t wordAt(const QByteArray &b, int offset)
{
    return qFromBigEndian<uint32_t>(b.constData() + offset);
}

QString idText(uint32_t id)
{
    return QString("0x%1").arg(id, 8, 16, QChar('0'));
}

} // namespace

ModuleModel::ModuleModel(const VmConfig &config)
    : mConfig(config)
{
    mNumeric = vmModelTraits(config.productId).numericIds;
    mSwVersion = config.swVersion;
    buildRows();
    resetValues();
}

void ModuleModel::buildRows()
{
    using C = const VmConfig &;
    const auto text = [](QString (*f)(C)) {
        return [f](C c) { return Value { 0, f(c).toUtf8() }; };
    };
    const auto num = [](uint32_t (*f)(C)) { return [f](C c) { return Value { f(c), {} }; }; };
    const auto zero = [](C) { return Value {}; };

    auto add = [this](Row r) { mRows.push_back(std::move(r)); };

    add({ "eParamID_SysName", 0x108, kOnNumeric, kOnAll, Form::Text, Role::Plain, -1, 0,
        text([](C c) { return c.sysName; }) });
    add({ "eParamID_SWVersion", 0x201, kOnNumeric, kOnAll, Form::Text, Role::SwVersion, -1, 0,
        zero });
    add({ "eParamID_FormattedSerialNumber", 0, 0, kOnAll, Form::Text, Role::ReadOnly, -1, 0,
        text([](C c) { return c.serialNumber; }) });
    add({ "", 0x2000002, kOnAll, 0, Form::Text, Role::ReadOnly, -1, 0,
        text([](C c) { return c.serialNumber; }) });
    add({ "", 0x204, kOnAll, 0, Form::Text, Role::ReadOnly, -1, 0,
        text([](C c) { return c.safebootVersion; }) });
    add({ "", 0x205, kOnAll, 0, Form::Text, Role::ReadOnly, -1, 0,
        text([](C c) { return c.bootloaderVersion; }) });
    add({ "eParamID_PCB_Revision", 0, 0, kOnAll, Form::Int, Role::ReadOnly, -1, 0,
        num([](C c) { return c.pcbRevision; }) });
    add({ "eParamID_SafebootMode", 0, 0, kOnAll, Form::Int, Role::ReadOnly, -1, 0,
        num([](C c) { return c.safebootMode; }) });
    add({ "eParamID_Authentication", 0, 0, kOnAll, Form::Int, Role::Plain, -1, 0,
        num([](C c) { return uint32_t(c.authentication ? 1 : 0); }) });
    add({ "eParamID_SystemPassword", 0, 0, kOnAll, Form::Text, Role::Plain, -1, 0,
        text([](C c) { return c.password; }) });
    add({ "", 0x7D011E0A, kOnAll, 0, Form::Int, Role::Plain, -1, 0,
        num([](C c) { return c.recordState; }) });
    add({ "", 0x7D011F0A, kOnAll, 0, Form::Int, Role::Plain, -1, 0,
        num([](C c) { return c.streamState; }) });

    // Per-interface parameters.
    static const uint32_t kStaticIds[3][3]
        = { { 0x102, 0x103, 0x104 }, { 0x2B, 0x2C, 0x2D }, { 0x85, 0x86, 0x87 } };
    static const uint32_t kDhcpIds[3][3]
        = { { 0x105, 0x106, 0x107 }, { 0x2F, 0x30, 0x2E }, { 0x89, 0x8A, 0x88 } };
    static const uint32_t kSpeedIds[3] = { 0, 0x3E, 0x98 };
    static const uint32_t kCounterIds[3] = { 0x10B, 0x33, 0x8D };
    static const uint32_t kUpnpIds[3] = { 0x10D, 0x3D, 0x97 };
    for (int lan = 0; lan < kVmInterfaceCount; ++lan) {
        const QByteArray p = QByteArray("eParamID_") + kLanPrefix[lan];
        add({ p + "IPConfig", 0, 0, kOnAll, Form::Int, Role::IpConfig, lan, 0, [lan](C c) {
                 return Value { c.lan[lan].ipConfig, {} };
             } });
        for (int which = 0; which < 3; ++which) {
            add({ "", kStaticIds[lan][which], kOnNumeric, 0, Form::Text, Role::Plain, lan, which,
                [lan, which](C c) {
                    const VmInterface &l = c.lan[lan];
                    const QString &v = which == 0 ? l.ip : which == 1 ? l.mask : l.gateway;
                    return Value { 0, v.toUtf8() };
                } });
            add({ "", kDhcpIds[lan][which], kOnNumeric, 0, Form::Text, Role::NumActive, lan, which,
                zero });
        }
        if (kSpeedIds[lan])
            add({ "", kSpeedIds[lan], kOnNumeric, 0, Form::Text, Role::Plain, lan, 0, [lan](C c) {
                     return Value { 0, c.lan[lan].speedSetting.toUtf8() };
                 } });
        add({ "", kCounterIds[lan], kOnNumeric, 0, Form::Int, Role::NetCounter, lan, 0, zero });
        add({ "", kUpnpIds[lan], kOnAll, 0, Form::Int, Role::Plain, lan, 0, [lan](C c) {
                 return Value { c.lan[lan].upnp ? 1u : 0u, {} };
             } });
        add({ p + "MACAddress", 0, 0, kOnAll, Form::Text, Role::ReadOnly, lan, 0, [lan](C c) {
                 return Value { 0, c.lan[lan].mac.toUtf8() };
             } });
        add({ p + "NetworkConnected", 0, 0, kOnAll, Form::Int, Role::ReadOnly, lan, 0, [lan](C c) {
                 return Value { c.lan[lan].linkUp ? 1u : 0u, {} };
             } });
        if (lan > 0)
            add({ p + "Speed_Actual", 0, 0, kOnAll, Form::Text, Role::ReadOnly, lan, 0, [lan](C c) {
                     return Value { 0, c.lan[lan].speedActual.toUtf8() };
                 } });
        add({ p + "DHCPState", 0, 0, kOnNumeric, Form::Text, Role::DhcpState, lan, 0, zero });
    }

    // Name-based boards: one static and one DHCP set, whatever the interface.
    static const char *const kSetNames[3]
        = { "eParamID_IPAddress", "eParamID_SubnetMask", "eParamID_DefaultGateway" };
    for (int which = 0; which < 3; ++which) {
        add({ QByteArray(kSetNames[which]) + "_3", 0, 0, kOnNamed, Form::Int, Role::Plain, -1,
            which, [which](C c) {
                const VmInterface &l = c.lan[0];
                return Value { ipv4(which == 0 ? l.ip : which == 1 ? l.mask : l.gateway), {} };
            } });
        add({ QByteArray(kSetNames[which]) + "_2", 0, 0, kOnNamed, Form::Int, Role::NamedLease, -1,
            which, zero });
    }
    add({ "eParamID_NetworkState", 0, 0, kOnNamed, Form::Int, Role::NetworkState, -1, 0, zero });
    add({ "eParamID_NetworkCommand", 0, 0, kOnNamed, Form::Int, Role::NetworkCommand, -1, 0,
        zero });

    // Update and maintenance, on every board.
    add({ "", 0x206, kOnAll, 0, Form::Int, Role::Plain, -1, 0, zero });
    add({ "", 0x208, kOnAll, 0, Form::Int, Role::VerifyState, -1, 0, zero });
    add({ "", 0x209, kOnAll, 0, Form::Int, Role::Commit, -1, 0, zero });
    add({ "", 0x20A, kOnAll, 0, Form::Int, Role::CommitState, -1, 0, zero });
    add({ "", 0x20B, kOnAll, 0, Form::Int, Role::CommitProgress, -1, 0, zero });
    add({ "", 0x20C, kOnAll, 0, Form::Int, Role::Reboot, -1, 0, zero });
    add({ "", 0x20D, kOnAll, 0, Form::Text, Role::VerifyRequest, -1, 0, zero });
    add({ "", 0x20E, kOnAll, 0, Form::Int, Role::Plain, -1, 0, [](C c) {
             return Value { c.updateLock, {} };
         } });
    add({ "", 0x20F, kOnAll, 0, Form::Text, Role::UploadLocation, -1, 0, zero });
    add({ "", 0x63010000, kOnAll, 0, Form::Int, Role::FactoryReset, -1, 0, zero });

    for (int i = 0; i < int(mRows.size()); ++i) {
        if (mRows[i].id)
            mById.insert(mRows[i].id, i);
        if (!mRows[i].name.isEmpty())
            mByName.insert(mRows[i].name, i);
    }
}

void ModuleModel::resetValues()
{
    mValues.clear();
    for (const Row &r : mRows)
        mValues.push_back(r.init(mConfig));
    for (int lan = 0; lan < kVmInterfaceCount; ++lan) {
        const VmInterface &l = mConfig.lan[lan];
        mDhcp[lan] = Dhcp();
        mInForce[lan] = l.ipConfig == kIpConfigDhcp ? Addr { l.dhcpIp, l.dhcpMask, l.dhcpGateway }
                                                    : Addr { l.ip, l.mask, l.gateway };
    }
    const VmInterface &l0 = mConfig.lan[0];
    mNamedLease = l0.ipConfig == kIpConfigDhcp ? Addr { l0.dhcpIp, l0.dhcpMask, l0.dhcpGateway }
                                               : Addr { "0.0.0.0", "0.0.0.0", "0.0.0.0" };
    mLastDhcpLan = -1;
    forgetUpdate();
}

void ModuleModel::forgetUpdate()
{
    mHaveUpload = false;
    mUpload = KermitReceivedFile();
    mVerifyStartMs = -1;
    mCommitStartMs = -1;
    mCommitVerified = false;
}

void ModuleModel::boot(qint64 nowMs)
{
    mBootMs = nowMs;
}

void ModuleModel::factoryReset()
{
    resetValues();
}

void ModuleModel::storeUpload(const KermitReceivedFile &file)
{
    mUpload = file;
    mHaveUpload = true;
    mVerifyStartMs = -1;
    mCommitStartMs = -1;
}

void ModuleModel::applyReboot(qint64 nowMs)
{
    if (commitState(nowMs) == kCommitDone && !mConfig.newSwVersion.isEmpty())
        mSwVersion = mConfig.newSwVersion;
    for (Row &r : mRows) {
        // Update state and lock do not survive a reboot.
        if (r.id == 0x206 || r.id == 0x20E)
            mValues[&r - mRows.data()] = Value();
    }
    for (Dhcp &d : mDhcp)
        d = Dhcp();
    forgetUpdate();
}

int ModuleModel::rowById(uint32_t id) const
{
    const int row = mById.value(id, -1);
    return row >= 0 && available(mRows[row], true) ? row : -1;
}

int ModuleModel::rowByName(const QByteArray &name) const
{
    const int row = mByName.value(name, -1);
    return row >= 0 && available(mRows[row], false) ? row : -1;
}

bool ModuleModel::available(const Row &row, bool byId) const
{
    const unsigned kind = mNumeric ? kOnNumeric : kOnNamed;
    if (!((byId ? row.idAvail : row.nameAvail) & kind))
        return false;
    return row.lan < mConfig.lanCount;
}

void ModuleModel::tick(qint64 nowMs)
{
    for (int lan = 0; lan < kVmInterfaceCount; ++lan) {
        Dhcp &d = mDhcp[lan];
        if (!d.active || d.bound || mConfig.dhcpOutcome != VmDhcpOutcome::Bound)
            continue;
        if (nowMs - d.startMs < mConfig.dhcpDelayMs)
            continue;
        d.bound = true;
        const VmInterface &l = mConfig.lan[lan];
        mInForce[lan] = Addr { l.dhcpIp, l.dhcpMask, l.dhcpGateway };
        mNamedLease = mInForce[lan];
    }
}

void ModuleModel::startDhcp(int lan, qint64 nowMs)
{
    mDhcp[lan] = Dhcp { true, nowMs, false };
    mLastDhcpLan = lan;
    tick(nowMs);
}

void ModuleModel::applyNetwork(int lan, qint64 nowMs)
{
    uint32_t mode = 0;
    for (size_t i = 0; i < mRows.size(); ++i) {
        if (mRows[i].role == Role::IpConfig && mRows[i].lan == lan)
            mode = mValues[i].i;
    }
    if (mode == kIpConfigDhcp) {
        startDhcp(lan, nowMs);
        return;
    }
    Addr a;
    for (size_t i = 0; i < mRows.size(); ++i) {
        const Row &r = mRows[i];
        if (r.lan != lan || r.role != Role::Plain || r.form != Form::Text || r.name.size())
            continue;
        // The static set rows are the plain text rows of the interface with an address ID.
        static const uint32_t kStatic[]
            = { 0x102, 0x103, 0x104, 0x2B, 0x2C, 0x2D, 0x85, 0x86, 0x87 };
        if (std::find(std::begin(kStatic), std::end(kStatic), r.id) == std::end(kStatic))
            continue;
        const QString v = QString::fromUtf8(mValues[i].t);
        (r.which == 0 ? a.ip : r.which == 1 ? a.mask : a.gateway) = v;
    }
    mInForce[lan] = a;
    mDhcp[lan] = Dhcp();
}

QByteArray ModuleModel::dhcpWord(int lan, qint64 nowMs)
{
    tick(nowMs);
    const Dhcp &d = mDhcp[lan];
    if (!d.active) {
        for (size_t i = 0; i < mRows.size(); ++i) {
            if (mRows[i].role == Role::IpConfig && mRows[i].lan == lan)
                return mValues[i].i == kIpConfigDhcp ? "bound" : "disabled";
        }
        return "disabled";
    }
    switch (mConfig.dhcpOutcome) {
    case VmDhcpOutcome::Bound:
        if (d.bound)
            return "bound";
        return nowMs - d.startMs < mConfig.dhcpDelayMs / 2 ? "discover" : "request";
    case VmDhcpOutcome::Never:
        return "request";
    case VmDhcpOutcome::Disabled:
        return "disabled";
    case VmDhcpOutcome::None:
        return "none";
    }
    return "disabled";
}

uint32_t ModuleModel::networkState(qint64 nowMs)
{
    tick(nowMs);
    if (mLastDhcpLan < 0 || !mDhcp[mLastDhcpLan].active)
        return kNetIdle;
    switch (mConfig.dhcpOutcome) {
    case VmDhcpOutcome::Bound:
        return mDhcp[mLastDhcpLan].bound ? kNetBound : kNetNegotiating;
    case VmDhcpOutcome::Never:
        return kNetNegotiating;
    case VmDhcpOutcome::Disabled:
    case VmDhcpOutcome::None:
        return kNetIdle;
    }
    return kNetIdle;
}

uint32_t ModuleModel::verifyState(qint64 nowMs) const
{
    if (mVerifyStartMs < 0)
        return 0;
    // Nothing uploaded: the check never finds an image to finish with.
    if (!mHaveUpload || mConfig.verifyVerdict == VmVerifyVerdict::Never)
        return kVerifyRunning;
    if (nowMs - mVerifyStartMs < mConfig.verifyDelayMs)
        return kVerifyRunning;
    switch (mConfig.verifyVerdict) {
    case VmVerifyVerdict::Verified:
        return kVerifyPassed;
    case VmVerifyVerdict::OtherProduct:
        return 2;
    case VmVerifyVerdict::TooLarge:
        return 4;
    case VmVerifyVerdict::Checksum:
        return 5;
    case VmVerifyVerdict::Signature:
        return 6;
    case VmVerifyVerdict::Never:
        break;
    }
    return kVerifyRunning;
}

uint32_t ModuleModel::commitRaw(qint64 nowMs) const
{
    if (mCommitStartMs < 0 || !mCommitVerified)
        return 0;
    if (mConfig.commitMs <= 0)
        return 100;
    return uint32_t(std::min<qint64>(100, (nowMs - mCommitStartMs) * 100 / mConfig.commitMs));
}

uint32_t ModuleModel::commitState(qint64 nowMs) const
{
    if (mCommitStartMs < 0)
        return kCommitIdle;
    if (!mCommitVerified)
        return kCommitFailed;
    const uint32_t p = commitRaw(nowMs);
    if (mConfig.commitFailPercent >= 0 && p >= uint32_t(mConfig.commitFailPercent))
        return kCommitFailed;
    return p >= 100 ? kCommitDone : kCommitRunning;
}

ModuleModel::Value ModuleModel::get(int row, qint64 nowMs)
{
    const Row &r = mRows[row];
    switch (r.role) {
    case Role::SwVersion:
        return Value { 0, mSwVersion.toUtf8() };
    case Role::NumActive:
        tick(nowMs);
        return Value { 0, mInForce[r.lan].at(r.which).toUtf8() };
    case Role::NamedLease:
        tick(nowMs);
        return Value { ipv4(mNamedLease.at(r.which)), {} };
    case Role::DhcpState:
        return Value { 0, dhcpWord(r.lan, nowMs) };
    case Role::NetworkState:
        return Value { networkState(nowMs), {} };
    case Role::VerifyState:
        return Value { verifyState(nowMs), {} };
    case Role::CommitState:
        return Value { commitState(nowMs), {} };
    case Role::CommitProgress: {
        uint32_t p = commitRaw(nowMs);
        if (mConfig.commitFailPercent >= 0)
            p = std::min(p, uint32_t(mConfig.commitFailPercent));
        return Value { p, {} };
    }
    case Role::UploadLocation:
        return Value { 0,
            nowMs - mBootMs < mConfig.uploadEmptyMs ? QByteArray()
                                                    : mConfig.uploadLocation.toUtf8() };
    default:
        return mValues[row];
    }
}

uint32_t ModuleModel::set(
    int row, bool isText, uint32_t i, const QByteArray &t, qint64 nowMs, After &after)
{
    const Row &r = mRows[row];
    if (isText != (r.form == Form::Text))
        return kStatusWrongType;
    switch (r.role) {
    case Role::ReadOnly:
    case Role::SwVersion:
    case Role::NumActive:
    case Role::NamedLease:
    case Role::DhcpState:
    case Role::NetworkState:
    case Role::VerifyState:
    case Role::CommitState:
    case Role::CommitProgress:
    case Role::UploadLocation:
        // Read-only: the module refuses the write.
        return kStatusWrongType;
    case Role::IpConfig:
        mValues[row].i = i;
        if (i == kIpConfigDhcp)
            startDhcp(r.lan, nowMs);
        else
            mDhcp[r.lan] = Dhcp();
        return kStatusOK;
    case Role::NetCounter:
        if (i != mValues[row].i)
            applyNetwork(r.lan, nowMs);
        mValues[row].i = i;
        return kStatusOK;
    case Role::NetworkCommand:
        mValues[row].i = i;
        if (i == kNetworkApplyCommand) {
            // Name-based boards read their sets directly; applying re-evaluates DHCP only.
            for (int lan = 0; lan < mConfig.lanCount; ++lan) {
                const int cfg = rowByName(QByteArray("eParamID_") + kLanPrefix[lan] + "IPConfig");
                if (cfg >= 0 && mValues[cfg].i == kIpConfigStatic)
                    mDhcp[lan] = Dhcp();
            }
        }
        return kStatusOK;
    case Role::Commit:
        mValues[row].i = i;
        if (i == 1 && !mConfig.commitIdle) {
            mCommitStartMs = nowMs;
            mCommitVerified = verifyState(nowMs) == kVerifyPassed;
        }
        return kStatusOK;
    case Role::Reboot:
        if (i == kRebootRequest)
            after = After::Reboot;
        return kStatusOK;
    case Role::VerifyRequest:
        mValues[row].t = t;
        mVerifyStartMs = nowMs;
        mCommitStartMs = -1;
        return kStatusOK;
    case Role::FactoryReset:
        if (i == kFactoryResetRequest)
            factoryReset();
        return kStatusOK;
    case Role::Plain:
        break;
    }
    if (isText)
        mValues[row].t = t;
    else
        mValues[row].i = i;
    return kStatusOK;
}

ModuleModel::Reply ModuleModel::paramReply(
    uint32_t replyType, uint32_t id, int row, uint32_t status, qint64 nowMs)
{
    Reply reply;
    reply.type = replyType;
    reply.payload = word(id) + word(status);
    const bool pstc = replyType == PktType("PSTC");
    if (status != kStatusOK || row < 0) {
        if (!pstc)
            reply.payload += word(0);
        return reply;
    }
    const Value v = get(row, nowMs);
    if (pstc) {
        reply.payload += v.t + '\0';
    } else if (mRows[row].form == Form::Text) {
        reply.payload += word(1) + v.t + '\0';
    } else {
        reply.payload += word(0) + word(v.i);
    }
    return reply;
}

ModuleModel::Reply ModuleModel::handle(
    uint32_t type, const QByteArray &payload, qint64 nowMs, VmRequest &log)
{
    log.type = CCommProtocol::typeToString(type);
    const auto unsupported = [] {
        Reply r;
        r.type = PktType("NACK");
        r.payload = QByteArray("UNSUPCMD", 8);
        return r;
    };
    // A value after an ID or a name: one 32-bit word, or NUL-terminated text.
    const auto splitValue = [](const QByteArray &rest, bool &isText, uint32_t &i, QByteArray &t) {
        const bool looksText = !rest.isEmpty() && rest.indexOf('\0') == rest.size() - 1;
        if (rest.size() == 4 && !looksText) {
            isText = false;
            i = wordAt(rest, 0);
            return true;
        }
        if (looksText) {
            isText = true;
            t = rest.left(rest.size() - 1);
            return true;
        }
        return false;
    };

    if (type == PktType("HWDY")) {
        const uint32_t offered = wordAt(payload, 0);
        log.value = QString::number(offered);
        Reply r;
        r.type = PktType("HIYA");
        r.payload = word(std::min(offered, mConfig.protocolVersion));
        return r;
    }
    if (type == PktType("HURU")) {
        // The first protocol version had no product query.
        if (mConfig.protocolVersion < 2)
            return unsupported();
        Reply r;
        r.type = PktType("IAMA");
        r.payload = mConfig.productId.toUtf8() + '\0';
        return r;
    }
    if (type == PktType("EDTM")) {
        log.value = QString::number(wordAt(payload, 0));
        Reply r;
        r.type = PktType("DTMI");
        r.payload = word(0);
        r.after = After::EnterTransfer;
        return r;
    }
    if (type == PktType("PGID") || type == PktType("PGST")) {
        const uint32_t id = wordAt(payload, 0);
        log.param = idText(id);
        const int row = rowById(id);
        const bool pgst = type == PktType("PGST");
        uint32_t status = row < 0 ? kStatusNoSuchParam : kStatusOK;
        if (pgst && row >= 0 && mRows[row].form != Form::Text)
            status = kStatusWrongType;
        return paramReply(pgst ? PktType("PSTC") : PktType("PIDC"), id, row, status, nowMs);
    }
    if (type == PktType("PGNM")) {
        const QByteArray name = payload.left(payload.indexOf('\0'));
        log.param = QString::fromUtf8(name);
        const int row = rowByName(name);
        return paramReply(PktType("PIDC"), row >= 0 ? mRows[row].id : 0, row,
            row < 0 ? kStatusNoSuchParam : kStatusOK, nowMs);
    }
    if (type == PktType("PSID") || type == PktType("PSNM")) {
        const bool byId = type == PktType("PSID");
        uint32_t id = 0;
        QByteArray rest;
        int row = -1;
        if (byId) {
            id = wordAt(payload, 0);
            log.param = idText(id);
            rest = payload.mid(4);
            row = rowById(id);
        } else {
            const int nul = payload.indexOf('\0');
            const QByteArray name = nul < 0 ? payload : payload.left(nul);
            log.param = QString::fromUtf8(name);
            rest = nul < 0 ? QByteArray() : payload.mid(nul + 1);
            row = rowByName(name);
            if (row >= 0)
                id = mRows[row].id;
        }
        bool isText = false;
        uint32_t i = 0;
        QByteArray t;
        const bool parsed = splitValue(rest, isText, i, t);
        log.value = !parsed ? QString("?") : isText ? QString::fromUtf8(t) : QString::number(i);
        if (row < 0)
            return paramReply(PktType("PIDC"), id, -1, kStatusNoSuchParam, nowMs);
        After after = After::Nothing;
        const uint32_t status = parsed ? set(row, isText, i, t, nowMs, after) : kStatusWrongType;
        Reply r = paramReply(PktType("PIDC"), id, row, status, nowMs);
        r.after = after;
        return r;
    }
    return unsupported();
}

bool ModuleModel::peek(const QString &key, qint64 nowMs, QString &value)
{
    int row = -1;
    bool ok = false;
    const uint32_t id = key.toUInt(&ok, 0);
    row = ok ? rowById(id) : rowByName(key.toUtf8());
    if (row < 0)
        return false;
    const Value v = get(row, nowMs);
    value = mRows[row].form == Form::Text ? QString::fromUtf8(v.t) : QString::number(v.i);
    return true;
}
