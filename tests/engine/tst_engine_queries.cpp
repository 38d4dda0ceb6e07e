#include "engine_fixture.h"

#include <QLoggingCategory>
#include <QtTest>
#include <functional>

using M = ModuleSim;
using E = CCmdEngine;

namespace {

constexpr uint32_t kNumericBoard = BOARD_RX_10G2_HDMI;
constexpr uint32_t kNameBoard = BOARD_ROUTER_32X32;
const E::eNetIf_t kBadNetIf = E::eNetIf_t(5);

QString flag(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

using NetIf = E::eNetIf_t;

Operation readText(eResult_t (E::*get)(QString &))
{
    return textOut([get](E &e, QString &t) { return (e.*get)(t); });
}

Operation readNetText(eResult_t (E::*get)(NetIf, QString &), NetIf n)
{
    return textOut([=](E &e, QString &t) { return (e.*get)(n, t); });
}

Operation readAddress(eResult_t (E::*get)(NetIf, QString &, bool), NetIf n, bool dhcpSet)
{
    return textOut([=](E &e, QString &t) { return (e.*get)(n, t, dhcpSet); });
}

Operation readNetBool(eResult_t (E::*get)(NetIf, bool &), NetIf n)
{
    return boolOut([=](E &e, bool &v) { return (e.*get)(n, v); });
}

// Loads a module's parameters: keys "0x..." are IDs, others names; a value "!n" is status n.
void load(ModuleSim &sim, const QVariantMap &params)
{
    for (auto it = params.begin(); it != params.end(); ++it) {
        const QString v = it.value().toString();
        const bool status = it.value().typeId() == QMetaType::QString && v.startsWith('!');
        if (it.key().startsWith("0x")) {
            const uint32_t id = it.key().toUInt(nullptr, 16);
            if (status)
                sim.idStatus[id] = v.mid(1).toUInt();
            else
                sim.byID[id] = it.value();
        } else if (status) {
            sim.nameStatus[it.key()] = v.mid(1).toUInt();
        } else {
            sim.byName[it.key()] = it.value();
        }
    }
}

} // namespace

class TestEngineQueries : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typedOperation_data();
    void typedOperation();
    void dhcpProgress_data();
    void dhcpProgress();
    void networkConfiguration_data();
    void networkConfiguration();
};

void TestEngineQueries::initTestCase()
{
    QLoggingCategory::setFilterRules("trivo.engine=true");
}

// Which requests each operation sends, on which board kind, and what it returns.
void TestEngineQueries::typedOperation_data()
{
    QTest::addColumn<uint>("board");
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QVariantMap>("params");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("log");

    const uint num = kNumericBoard;
    const uint nam = kNameBoard;

    // Name and serial number fall back from one form to the other.
    QTest::newRow("name by ID") << num << readText(&E::GetModuleName)
                                << QVariantMap { { "0x108", "Studio" } } << int(eResultOK)
                                << "Studio" << QStringList { "PGID 0x108" } << QStringList {};
    QTest::newRow("name, no such ID")
        << num << readText(&E::GetModuleName)
        << QVariantMap { { "0x108", "!1" }, { "eParamID_SysName", "Hall" } } << int(eResultOK)
        << "Hall" << QStringList { "PGID 0x108", "PGNM eParamID_SysName" } << QStringList {};
    QTest::newRow("name, empty by ID, fallback fails")
        << num << readText(&E::GetModuleName)
        << QVariantMap { { "0x108", "" }, { "eParamID_SysName", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID) << ""
        << QStringList { "PGID 0x108", "PGNM eParamID_SysName" } << QStringList {};
    QTest::newRow("serial") << num << readText(&E::GetModuleSerialNumber)
                            << QVariantMap { { "eParamID_FormattedSerialNumber", "1T0001" } }
                            << int(eResultOK) << "1T0001"
                            << QStringList { "PGNM eParamID_FormattedSerialNumber" }
                            << QStringList {};
    QTest::newRow("serial not set")
        << num << readText(&E::GetModuleSerialNumber)
        << QVariantMap { { "eParamID_FormattedSerialNumber", "0" }, { "0x2000002", "RAW42" } }
        << int(eResultOK) << "RAW42"
        << QStringList { "PGNM eParamID_FormattedSerialNumber", "PGID 0x2000002" }
        << QStringList {};
    QTest::newRow("serial, no such name, fallback fails")
        << nam << readText(&E::GetModuleSerialNumber)
        << QVariantMap { { "eParamID_FormattedSerialNumber", "!1" }, { "0x2000002", "!2" } }
        << int(eResultGetSetCmdWrongType) << "unchanged"
        << QStringList { "PGNM eParamID_FormattedSerialNumber", "PGID 0x2000002" }
        << QStringList {};

    const Operation rename = textOut([](E &e, QString &t) { return e.SetModuleName("New", t); });
    const Operation renameEmpty = textOut([](E &e, QString &t) { return e.SetModuleName("", t); });
    QTest::newRow("rename by ID") << num << rename << QVariantMap { { "0x108", "Old" } }
                                  << int(eResultOK) << "New" << QStringList { "PSID 0x108" }
                                  << QStringList {};
    QTest::newRow("rename, wrong type")
        << nam << rename << QVariantMap { { "0x108", "!2" }, { "eParamID_SysName", "Old" } }
        << int(eResultOK) << "New" << QStringList { "PSID 0x108", "PSNM eParamID_SysName" }
        << QStringList {};
    QTest::newRow("rename to empty writes both")
        << num << renameEmpty << QVariantMap { { "0x108", "Old" }, { "eParamID_SysName", "Old" } }
        << int(eResultOK) << "" << QStringList { "PSID 0x108", "PSNM eParamID_SysName" }
        << QStringList {};

    // Versions and plain values.
    QTest::newRow("software version, numeric")
        << num << readText(&E::GetModuleSWVersion) << QVariantMap { { "0x201", "5.1.0" } }
        << int(eResultOK) << "5.1.0" << QStringList { "PGID 0x201" } << QStringList {};
    QTest::newRow("software version, by name")
        << nam << readText(&E::GetModuleSWVersion)
        << QVariantMap { { "eParamID_SWVersion", "2.0" } } << int(eResultOK) << "2.0"
        << QStringList { "PGNM eParamID_SWVersion" } << QStringList {};
    // Idle: only the recorders can be busy; a failure leaves the flag alone.
    const Operation idle = boolOut([](E &e, bool &v) { return e.GetModuleIdle(v); });
    QTest::newRow("idle, not a recorder")
        << nam << idle << QVariantMap { { "product", "DECODER" } } << int(eResultOK) << "true"
        << QStringList { "HURU" } << QStringList {};
    QTest::newRow("idle, recorder 3/1")
        << num << idle
        << QVariantMap { { "product", "RECORDER-PLUS" }, { "0x7d011e0a", 3u },
               { "0x7d011f0a", 1u } }
        << int(eResultOK) << "true" << QStringList { "HURU", "PGID 0x7d011e0a", "PGID 0x7d011f0a" }
        << QStringList {};
    QTest::newRow("idle, recording")
        << num << idle
        << QVariantMap { { "product", "RECORDER" }, { "0x7d011e0a", 2u }, { "0x7d011f0a", 1u } }
        << int(eResultOK) << "false" << QStringList { "HURU", "PGID 0x7d011e0a", "PGID 0x7d011f0a" }
        << QStringList {};
    QTest::newRow("idle, stream state missing")
        << num << idle
        << QVariantMap { { "product", "RECORDER" }, { "0x7d011e0a", 1u }, { "0x7d011f0a", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID) << "true"
        << QStringList { "HURU", "PGID 0x7d011e0a", "PGID 0x7d011f0a" }
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID, "0x7d011f0a",
                             "CCmdEngine::GetIntParamByID"),
               errorLinePattern(eResultGetSetCmdNoSuchParamID,
                   "CommonConfig::eParamID_ReplicatorStreamState", "CCmdEngine::GetModuleIdle") };
    QTest::newRow("idle, product ID fails")
        << num << idle << QVariantMap { { "product", "!UNSUPCMD" } } << int(eResultUnsupportedCmd)
        << "true" << QStringList { "HURU" }
        << QStringList { errorLinePattern(
               eResultUnsupportedCmd, "GetModuleProductID()", "CCmdEngine::GetModuleIdle") };

    // Boolean reads become false on failure.
    const Operation auth
        = boolOut([](E &e, bool &v) { return e.GetModuleAuthenticationEnabled(v); });
    QTest::newRow("authentication on")
        << nam << auth << QVariantMap { { "eParamID_Authentication", 7u } } << int(eResultOK)
        << "true" << QStringList { "PGNM eParamID_Authentication" } << QStringList {};
    QTest::newRow("authentication unknown")
        << num << auth << QVariantMap { { "eParamID_Authentication", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID) << "false"
        << QStringList { "PGNM eParamID_Authentication" }
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Authentication",
                             "CCmdEngine::GetIntParamByName"),
               errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Authentication",
                   "CCmdEngine::GetModuleAuthenticationEnabled") };
    QTest::newRow("media link up")
        << num << readNetBool(&E::GetModuleNetworkConnected, E::eNetIfMedia)
        << QVariantMap { { "eParamID_MediaNetworkConnected", 1u } } << int(eResultOK) << "true"
        << QStringList { "PGNM eParamID_MediaNetworkConnected" } << QStringList {};
    QTest::newRow("media 2 link unknown")
        << nam << readNetBool(&E::GetModuleNetworkConnected, E::eNetIfMedia2)
        << QVariantMap { { "eParamID_Media2NetworkConnected", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID) << "false"
        << QStringList { "PGNM eParamID_Media2NetworkConnected" }
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID,
                             "eParamID_Media2NetworkConnected", "CCmdEngine::GetIntParamByName"),
               errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Media2NetworkConnected",
                   "CCmdEngine::GetModuleNetworkConnected") };
    QTest::newRow("control UPnP") << num << readNetBool(&E::GetModuleUPnPEnabled, E::eNetIfControl)
                                  << QVariantMap { { "0x10d", 1u } } << int(eResultOK) << "true"
                                  << QStringList { "PGID 0x10d" } << QStringList {};
    QTest::newRow("control UPnP missing is logged")
        << num << readNetBool(&E::GetModuleUPnPEnabled, E::eNetIfControl) << QVariantMap {}
        << int(eResultGetSetCmdNoSuchParamID) << "false" << QStringList { "PGID 0x10d" }
        << QStringList { errorLinePattern(
               eResultGetSetCmdNoSuchParamID, "0x0000010d", "CCmdEngine::GetIntParamByID") };
    QTest::newRow("media UPnP missing is silent")
        << nam << readNetBool(&E::GetModuleUPnPEnabled, E::eNetIfMedia) << QVariantMap {}
        << int(eResultGetSetCmdNoSuchParamID) << "false" << QStringList { "PGID 0x3d" }
        << QStringList {};
    // Writes.
    QTest::newRow("UPnP off reports its failure")
        << num << noOut([](E &e) { return e.SetModuleUPnPEnabled(E::eNetIfMedia2, false); })
        << QVariantMap { { "0x97", "!1" } } << int(eResultGetSetCmdNoSuchParamID) << ""
        << QStringList { "PSID 0x97" } << QStringList {};
    QTest::newRow("password reset")
        << num << noOut([](E &e) { return e.ResetModulePassword(); })
        << QVariantMap { { "eParamID_SystemPassword", "secret" } } << int(eResultOK) << ""
        << QStringList { "PSNM eParamID_SystemPassword" } << QStringList {};
    // Per-interface reads: the numeric board by ID, the name-based board by name.
    const QVariantMap addresses { { "0x2b", "10.1.0.2" }, { "0x105", "10.0.0.5" },
        { "0x89", "10.2.0.5" }, { "0x8a", "255.255.0.0" }, { "0x2e", "10.1.0.1" },
        { "0x107", "10.0.0.1" }, { "eParamID_IPAddress_3", 0xC0A80003u },
        { "eParamID_IPAddress_2", 0xC0A80002u }, { "eParamID_SubnetMask_2", 0xFFFFFF00u },
        { "eParamID_DefaultGateway_3", 0xC0A800FEu } };
    QTest::newRow("address, media, static, numeric")
        << num << readAddress(&E::GetModuleIpAddress, E::eNetIfMedia, false) << addresses
        << int(eResultOK) << "10.1.0.2" << QStringList { "PGID 0x2b" } << QStringList {};
    QTest::newRow("address, media 2, DHCP, numeric")
        << num << readAddress(&E::GetModuleIpAddress, E::eNetIfMedia2, true) << addresses
        << int(eResultOK) << "10.2.0.5" << QStringList { "PGID 0x89" } << QStringList {};
    QTest::newRow("address, media, static, by name")
        << nam << readAddress(&E::GetModuleIpAddress, E::eNetIfMedia, false) << addresses
        << int(eResultOK) << "192.168.0.3" << QStringList { "PGNM eParamID_IPAddress_3" }
        << QStringList {};
    QTest::newRow("address, control, DHCP, by name")
        << nam << readAddress(&E::GetModuleIpAddress, E::eNetIfControl, true) << addresses
        << int(eResultOK) << "192.168.0.2" << QStringList { "PGNM eParamID_IPAddress_2" }
        << QStringList {};
    QTest::newRow("mask, media 2, DHCP, numeric")
        << num << readAddress(&E::GetModuleSubnetMask, E::eNetIfMedia2, true) << addresses
        << int(eResultOK) << "255.255.0.0" << QStringList { "PGID 0x8a" } << QStringList {};
    QTest::newRow("mask, DHCP, by name")
        << nam << readAddress(&E::GetModuleSubnetMask, E::eNetIfMedia2, true) << addresses
        << int(eResultOK) << "255.255.255.0" << QStringList { "PGNM eParamID_SubnetMask_2" }
        << QStringList {};
    QTest::newRow("mask, unsupported interface")
        << num << readAddress(&E::GetModuleSubnetMask, kBadNetIf, false) << addresses
        << int(eResultGetSetCmdNoSuchParamID) << "unchanged" << QStringList { "PGID 0xdeadbeef" }
        << QStringList { "^Unsupported netIf 5 in CCmdEngine::GetModuleSubnetMask$" };
    QTest::newRow("gateway, media, DHCP, numeric")
        << num << readAddress(&E::GetModuleGateway, E::eNetIfMedia, true) << addresses
        << int(eResultOK) << "10.1.0.1" << QStringList { "PGID 0x2e" } << QStringList {};
    QTest::newRow("gateway, control, DHCP, numeric")
        << num << readAddress(&E::GetModuleGateway, E::eNetIfControl, true) << addresses
        << int(eResultOK) << "10.0.0.1" << QStringList { "PGID 0x107" } << QStringList {};
    QTest::newRow("gateway, static, by name")
        << nam << readAddress(&E::GetModuleGateway, E::eNetIfControl, false) << addresses
        << int(eResultOK) << "192.168.0.254" << QStringList { "PGNM eParamID_DefaultGateway_3" }
        << QStringList {};
    QTest::newRow("address, unsupported interface")
        << num << readAddress(&E::GetModuleIpAddress, kBadNetIf, true) << addresses
        << int(eResultGetSetCmdNoSuchParamID) << "unchanged" << QStringList { "PGID 0xdeadbeef" }
        << QStringList {};

    QTest::newRow("MAC, media 2") << nam << readNetText(&E::GetModuleMACAddress, E::eNetIfMedia2)
                                  << QVariantMap { { "eParamID_Media2MACAddress",
                                         "00:11:22:33:44:55" } }
                                  << int(eResultOK) << "00:11:22:33:44:55"
                                  << QStringList { "PGNM eParamID_Media2MACAddress" }
                                  << QStringList {};
    QTest::newRow("speed, media") << num << readNetText(&E::GetModuleSpeedActual, E::eNetIfMedia)
                                  << QVariantMap { { "eParamID_MediaSpeed_Actual", "10G" } }
                                  << int(eResultOK) << "10G"
                                  << QStringList { "PGNM eParamID_MediaSpeed_Actual" }
                                  << QStringList {};
    QTest::newRow("speed, control asks with an empty name")
        << num << readNetText(&E::GetModuleSpeedActual, E::eNetIfControl) << QVariantMap {}
        << int(eResultGetSetCmdNoSuchParamID) << "unchanged" << QStringList { "PGNM " }
        << QStringList {};

    // Addresses in use: name-based boards read the mode first (1 DHCP set "_2", otherwise the
    // static set "_3"); numeric boards report them under the DHCP IDs.
    const QVariantMap active { { "eParamID_IPAddress_3", 0xC0A80103u },
        { "eParamID_IPAddress_2", 0xC0A80102u }, { "eParamID_SubnetMask_3", 0xFFFFFF03u },
        { "eParamID_DefaultGateway_2", 0xC0A80166u }, { "0x2f", "text 0x2f" },
        { "0x106", "text 0x106" }, { "0x88", "text 0x88" } };
    const auto withMode = [&active](const char *name, uint mode) {
        QVariantMap m = active;
        m[name] = mode;
        return m;
    };
    const auto activeRow = [](const char *name, uint board,
                               eResult_t (E::*get)(NetIf, QString &), int netIf,
                               const QVariantMap &params, eResult_t result, const QString &out,
                               const QStringList &requests, const QStringList &log = {}) {
        QTest::newRow(name) << board << readNetText(get, NetIf(netIf)) << params << int(result)
                            << out << requests << log;
    };
    const auto ip = &E::GetModuleIpAddressActive;
    const auto mask = &E::GetModuleSubnetMaskActive;
    const auto gateway = &E::GetModuleGatewayActive;
    activeRow("active, by name, DHCP mode", nam, ip, 1, withMode("eParamID_MediaIPConfig", 1),
        eResultOK, "192.168.1.2", { "PGNM eParamID_MediaIPConfig", "PGNM eParamID_IPAddress_2" });
    activeRow("active, by name, static mode", nam, ip, 1, withMode("eParamID_MediaIPConfig", 2),
        eResultOK, "192.168.1.3", { "PGNM eParamID_MediaIPConfig", "PGNM eParamID_IPAddress_3" });
    activeRow("active, by name, mode 0 counts as static", nam, mask, 0,
        withMode("eParamID_IPConfig", 0), eResultOK, "255.255.255.3",
        { "PGNM eParamID_IPConfig", "PGNM eParamID_SubnetMask_3" });
    activeRow("active, by name, gateway, DHCP", nam, gateway, 2,
        withMode("eParamID_Media2IPConfig", 1), eResultOK, "192.168.1.102",
        { "PGNM eParamID_Media2IPConfig", "PGNM eParamID_DefaultGateway_2" });
    activeRow("active, by name, mode unreadable", nam, gateway, 0, active,
        eResultGetSetCmdNoSuchParamID, "unchanged", { "PGNM eParamID_IPConfig" },
        { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_IPConfig",
              "CCmdEngine::GetIntParamByName"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID, "GetModuleIpState()",
                "CCmdEngine::GetModuleGatewayActive") });
    activeRow("active, numeric, media", num, ip, 1, active, eResultOK, "text 0x2f", { "PGID 0x2f" });
    activeRow("active, numeric, control mask", num, mask, 0, active, eResultOK, "text 0x106",
        { "PGID 0x106" });
    activeRow("active, numeric, media 2 gateway", num, gateway, 2, active, eResultOK, "text 0x88",
        { "PGID 0x88" });
    const QStringList badID { "PGID 0xdeadbeef" };
    activeRow("active, numeric, bad interface, address", num, ip, 9, active,
        eResultGetSetCmdNoSuchParamID, "unchanged", badID,
        { "^Unsupported netIf 9 in CCmdEngine::GetModuleIpAddressActive$" });
    activeRow("active, numeric, bad interface, mask", num, mask, 9, active,
        eResultGetSetCmdNoSuchParamID, "unchanged", badID,
        { "^Unsupported netIf 9 in CCmdEngine::GetModuleSubnetMaskActive$" });
    activeRow("active, numeric, bad interface, gateway is quiet", num, gateway, 9, active,
        eResultGetSetCmdNoSuchParamID, "unchanged", badID);
}

void TestEngineQueries::typedOperation()
{
    QFETCH(uint, board);
    QFETCH(Operation, op);
    QFETCH(QVariantMap, params);
    QFETCH(int, result);
    QFETCH(QString, out);
    QFETCH(QStringList, requests);
    QFETCH(QStringList, log);

    EngineRig rig(board);
    const QString product = params.take("product").toString();
    if (product.startsWith('!'))
        rig.sim.scripted["HURU"] = { M::nack(qPrintable(product.mid(1))) };
    else if (!product.isEmpty())
        rig.sim.productID = product;
    load(rig.sim, params);

    LogCapture capture;
    QString got;
    QCOMPARE(int(op(rig.engine, got)), result);
    QCOMPARE(got, out);
    QCOMPARE(rig.sim.subjects(), requests);
    COMPARE_LOG_LINES(capture.lines(), log);
}

void TestEngineQueries::dhcpProgress_data()
{
    QTest::addColumn<uint>("board");
    QTest::addColumn<int>("netIf");
    QTest::addColumn<QVariant>("state");
    QTest::addColumn<QString>("swVersion");
    QTest::addColumn<QString>("flags"); // running, bound, warning after a call with true, true
    QTest::addColumn<QStringList>("log");

    const uint num = kNumericBoard;
    const QString op = "CCmdEngine::GetModuleDHCPNegotiationRunning";
    QTest::newRow("request") << num << 0 << QVariant("request") << ""
                             << "true false false" << QStringList {};
    QTest::newRow("Discover") << num << 1 << QVariant("Discover") << ""
                              << "true false false" << QStringList {};
    QTest::newRow("DISABLED") << num << 2 << QVariant("DISABLED") << ""
                              << "false false false" << QStringList {};
    QTest::newRow("BOUND") << num << 1 << QVariant("BOUND") << ""
                           << "false true false" << QStringList {};
    QTest::newRow("none") << num << 0 << QVariant("none") << "4.0"
                          << "false false false"
                          << QStringList { "^\\*\\* Warning: got enetd DHCPState none in " + op
                                 + "$" };
    QTest::newRow("None on a network root")
        << num << 0 << QVariant("None") << "NFS-4.0"
        << "false false true"
        << QStringList { "^\\*\\* Warning: got enetd DHCPState None in " + op + "$",
               "^\\*\\* Are you trying to configure DHCP on a device with an NFS-mounted "
               "rootfs\\?$" };
    QTest::newRow("unknown word") << num << 2 << QVariant("renewing") << ""
                                  << "true true false"
                                  << QStringList { "^Unknown enetd DHCPState renewing received in "
                                         + op + "$" };

    const QString sketchy = "^Received sketchy value for networkd NetworkState %1 in " + op + "$";
    const QString unknown = "^Unknown value for networkd NetworkState %1 received in " + op + "$";
    const QString expected[] = { "false false false", "true false false", "false false false",
        "false true false", "false false false", "false false false", "false false false",
        "false false false", "false true false", "false true false" };
    for (uint v = 0; v <= 9; ++v) {
        const bool known = v == 1 || v == 3 || v == 5;
        const QStringList log = known ? QStringList {}
            : v >= 8                  ? QStringList { unknown.arg(v) }
                                      : QStringList { sketchy.arg(v) };
        QTest::addRow("network state %u", v)
            << uint(kNameBoard) << int(v % 3) << QVariant(v) << "" << expected[v] << log;
    }
}

void TestEngineQueries::dhcpProgress()
{
    QFETCH(uint, board);
    QFETCH(int, netIf);
    QFETCH(QVariant, state);
    QFETCH(QString, swVersion);
    QFETCH(QString, flags);
    QFETCH(QStringList, log);

    EngineRig rig(board);
    const char *stateNames[]
        = { "eParamID_DHCPState", "eParamID_MediaDHCPState", "eParamID_Media2DHCPState" };
    const bool numeric = board == kNumericBoard;
    rig.sim.byName[numeric ? stateNames[netIf] : "eParamID_NetworkState"] = state;
    if (!swVersion.isEmpty())
        rig.sim.byID[0x201] = swVersion;

    LogCapture capture;
    bool running = true;
    bool bound = true;
    bool warning = true;
    QCOMPARE(
        rig.engine.GetModuleDHCPNegotiationRunning(E::eNetIf_t(netIf), running, bound, warning),
        eResultOK);
    QCOMPARE(flag(running) + ' ' + flag(bound) + ' ' + flag(warning), flags);
    COMPARE_LOG_LINES(capture.lines(), log);
    QCOMPARE(rig.sim.requests.first().name,
        QString(numeric ? stateNames[netIf] : "eParamID_NetworkState"));
}

void TestEngineQueries::networkConfiguration_data()
{
    QTest::addColumn<uint>("board");
    QTest::addColumn<int>("netIf");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QVariantMap>("params");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QVariantMap>("written"); // values the module holds afterwards
    QTest::addColumn<QStringList>("log");

    const QString op = "CCmdEngine::SetModuleNetworkConfiguration";
    const uint num = kNumericBoard;
    const uint nam = kNameBoard;
    QTest::newRow("numeric, media, counter 7 becomes 9")
        << num << 1 << "1000" << QVariantMap { { "0x33", 7u } } << int(eResultOK)
        << QStringList { "PSID 0x2b", "PSID 0x2c", "PSID 0x3e", "PSID 0x2d",
               "PSNM eParamID_MediaIPConfig", "PGID 0x33", "PSID 0x33" }
        << QVariantMap { { "0x2b", "10.1.2.3" }, { "0x2c", "255.255.0.0" }, { "0x3e", "1000" },
               { "0x2d", "10.1.0.1" }, { "eParamID_MediaIPConfig", 2u }, { "0x33", 9u } }
        << QStringList {};
    QTest::newRow("numeric, control, no speed")
        << num << 0 << "" << QVariantMap { { "0x10b", 0xFFFFFFFFu } } << int(eResultOK)
        << QStringList { "PSID 0x102", "PSID 0x103", "PSID 0x104", "PSNM eParamID_IPConfig",
               "PGID 0x10b", "PSID 0x10b" }
        << QVariantMap { { "0x102", "10.1.2.3" }, { "0x10b", 1u } } << QStringList {};
    QTest::newRow("numeric, control has no speed setting")
        << num << 0 << "100" << QVariantMap { { "0xdeadbeef", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID)
        << QStringList { "PSID 0x102", "PSID 0x103", "PSID 0xdeadbeef" } << QVariantMap {}
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID, "SetModuleSpeed()", op) };
    QTest::newRow("numeric, bad interface")
        << num << 4 << "" << QVariantMap {} << int(eResultOK)
        << QStringList { "PSID 0xdeadbeef", "PSID 0xdeadbeef", "PSID 0xdeadbeef", "PSNM ",
               "PGID 0xdeadbeef", "PSID 0xdeadbeef" }
        << QVariantMap {}
        << QStringList { "^Unsupported netIf 4 in CCmdEngine::SetModuleSubnetMask$" };
    QTest::newRow("numeric, media 2, counter unreadable")
        << num << 2 << "" << QVariantMap { { "0x8d", "!1" } } << int(eResultGetSetCmdNoSuchParamID)
        << QStringList { "PSID 0x85", "PSID 0x86", "PSID 0x87", "PSNM eParamID_Media2IPConfig",
               "PGID 0x8d", "PSID 0x8d" }
        << QVariantMap {}
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID, "0x0000008d",
                             "CCmdEngine::GetIntParamByID"),
               errorLinePattern(eResultGetSetCmdNoSuchParamID, "SetModuleGateway()", op) };
    QTest::newRow("by name") << nam << 2 << "" << QVariantMap {} << int(eResultOK)
                             << QStringList { "PSNM eParamID_IPAddress_3",
                                    "PSNM eParamID_SubnetMask_3", "PSNM eParamID_DefaultGateway_3",
                                    "PSNM eParamID_Media2IPConfig", "PSNM eParamID_NetworkCommand" }
                             << QVariantMap { { "eParamID_IPAddress_3", 0x0A010203u },
                                    { "eParamID_SubnetMask_3", 0xFFFF0000u },
                                    { "eParamID_DefaultGateway_3", 0x0A010001u },
                                    { "eParamID_Media2IPConfig", 2u },
                                    { "eParamID_NetworkCommand", 2u } }
                             << QStringList {};
    QTest::newRow("by name, speed cannot be set")
        << nam << 1 << "1000" << QVariantMap {} << int(eResultUnknownError)
        << QStringList { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3" }
        << QVariantMap { { "eParamID_IPAddress_3", 0x0A010203u } }
        << QStringList { errorLinePattern(eResultUnknownError, "SetModuleSpeed()", op) };
    QTest::newRow("by name, mask refused")
        << nam << 0 << "" << QVariantMap { { "eParamID_SubnetMask_3", "!2" } }
        << int(eResultGetSetCmdWrongType)
        << QStringList { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3" }
        << QVariantMap {}
        << QStringList { errorLinePattern(eResultGetSetCmdWrongType, "eParamID_SubnetMask_3",
                             "CCmdEngine::SetIntParamByName"),
               errorLinePattern(eResultGetSetCmdWrongType, "SetModuleSubnetMask()", op) };
    QTest::newRow("by name, mode refused")
        << nam << 0 << "" << QVariantMap { { "eParamID_IPConfig", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID)
        << QStringList { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3",
               "PSNM eParamID_DefaultGateway_3", "PSNM eParamID_IPConfig" }
        << QVariantMap {}
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_IPConfig",
                             "CCmdEngine::SetIntParamByName"),
               "^Network configuration failed$" };
    QTest::newRow("by name, apply refused")
        << nam << 0 << "" << QVariantMap { { "eParamID_NetworkCommand", "!1" } }
        << int(eResultGetSetCmdNoSuchParamID)
        << QStringList { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3",
               "PSNM eParamID_DefaultGateway_3", "PSNM eParamID_IPConfig",
               "PSNM eParamID_NetworkCommand" }
        << QVariantMap {}
        << QStringList { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_NetworkCommand",
                             "CCmdEngine::SetIntParamByName"),
               errorLinePattern(eResultGetSetCmdNoSuchParamID, "SetModuleGateway()", op) };
}

void TestEngineQueries::networkConfiguration()
{
    QFETCH(uint, board);
    QFETCH(int, netIf);
    QFETCH(QString, speed);
    QFETCH(QVariantMap, params);
    QFETCH(int, result);
    QFETCH(QStringList, requests);
    QFETCH(QVariantMap, written);
    QFETCH(QStringList, log);

    EngineRig rig(board);
    load(rig.sim, params);
    LogCapture capture;
    QCOMPARE(int(rig.engine.SetModuleNetworkConfiguration(
                 E::eNetIf_t(netIf), "10.1.2.3", "255.255.0.0", "10.1.0.1", speed)),
        result);
    QCOMPARE(rig.sim.subjects(), requests);
    COMPARE_LOG_LINES(capture.lines(), log);
    for (auto it = written.begin(); it != written.end(); ++it) {
        const QVariant held = it.key().startsWith("0x")
            ? rig.sim.byID.value(it.key().toUInt(nullptr, 16))
            : rig.sim.byName.value(it.key());
        QCOMPARE(held.toString(), it.value().toString());
    }
}

QTEST_GUILESS_MAIN(TestEngineQueries)
#include "tst_engine_queries.moc"
