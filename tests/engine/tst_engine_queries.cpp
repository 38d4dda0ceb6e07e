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
    const auto row = [](const char *name, uint board, const Operation &op,
                         const QVariantMap &params, int result, const QString &out,
                         const QStringList &requests, const QStringList &log = {}) {
        QTest::newRow(name) << board << op << params << result << out << requests << log;
    };

    const uint num = kNumericBoard;
    const uint nam = kNameBoard;

    // Name and serial number fall back from one form to the other.
    row("name, no such ID", num, readText(&E::GetModuleName),
        { { "0x108", "!1" }, { "eParamID_SysName", "Hall" } }, eResultOK, "Hall",
        { "PGID 0x108", "PGNM eParamID_SysName" });
    row("name, empty by ID, fallback fails", num, readText(&E::GetModuleName),
        { { "0x108", "" }, { "eParamID_SysName", "!1" } }, eResultGetSetCmdNoSuchParamID, "",
        { "PGID 0x108", "PGNM eParamID_SysName" });
    row("serial not set", num, readText(&E::GetModuleSerialNumber),
        { { "eParamID_FormattedSerialNumber", "0" }, { "0x2000002", "RAW42" } }, eResultOK, "RAW42",
        { "PGNM eParamID_FormattedSerialNumber", "PGID 0x2000002" });
    row("serial, no such name, fallback fails", nam, readText(&E::GetModuleSerialNumber),
        { { "eParamID_FormattedSerialNumber", "!1" }, { "0x2000002", "!2" } },
        eResultGetSetCmdWrongType, "unchanged",
        { "PGNM eParamID_FormattedSerialNumber", "PGID 0x2000002" });

    const Operation rename = textOut([](E &e, QString &t) { return e.SetModuleName("New", t); });
    const Operation renameEmpty = textOut([](E &e, QString &t) { return e.SetModuleName("", t); });
    row("rename by ID", num, rename, { { "0x108", "Old" } }, eResultOK, "New", { "PSID 0x108" });
    row("rename, wrong type", nam, rename, { { "0x108", "!2" }, { "eParamID_SysName", "Old" } },
        eResultOK, "New", { "PSID 0x108", "PSNM eParamID_SysName" });
    row("rename to empty writes both", num, renameEmpty,
        { { "0x108", "Old" }, { "eParamID_SysName", "Old" } }, eResultOK, "",
        { "PSID 0x108", "PSNM eParamID_SysName" });

    // Plain reads of every interface are checked against the virtual module by tst_ctl's
    // info test; the rows here keep the fallbacks, failures and logs.
    // Idle: only the recorders can be busy; a failure leaves the flag alone.
    const Operation idle = boolOut([](E &e, bool &v) { return e.GetModuleIdle(v); });
    row("idle, not a recorder", nam, idle, { { "product", "DECODER" } }, eResultOK, "true",
        { "HURU" });
    row("idle, recorder 3/1", num, idle,
        { { "product", "RECORDER-PLUS" }, { "0x7d011e0a", 3u }, { "0x7d011f0a", 1u } }, eResultOK,
        "true", { "HURU", "PGID 0x7d011e0a", "PGID 0x7d011f0a" });
    row("idle, stream state missing", num, idle,
        { { "product", "RECORDER" }, { "0x7d011e0a", 1u }, { "0x7d011f0a", "!1" } },
        eResultGetSetCmdNoSuchParamID, "true", { "HURU", "PGID 0x7d011e0a", "PGID 0x7d011f0a" },
        { errorLinePattern(
              eResultGetSetCmdNoSuchParamID, "0x7d011f0a", "CCmdEngine::GetIntParamByID"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID,
                "CommonConfig::eParamID_ReplicatorStreamState", "CCmdEngine::GetModuleIdle") });
    row("idle, product ID fails", num, idle, { { "product", "!UNSUPCMD" } }, eResultUnsupportedCmd,
        "true", { "HURU" },
        { errorLinePattern(
            eResultUnsupportedCmd, "GetModuleProductID()", "CCmdEngine::GetModuleIdle") });

    // Boolean reads become false on failure.
    const Operation auth
        = boolOut([](E &e, bool &v) { return e.GetModuleAuthenticationEnabled(v); });
    row("authentication on", nam, auth, { { "eParamID_Authentication", 7u } }, eResultOK, "true",
        { "PGNM eParamID_Authentication" });
    row("authentication unknown", num, auth, { { "eParamID_Authentication", "!1" } },
        eResultGetSetCmdNoSuchParamID, "false", { "PGNM eParamID_Authentication" },
        { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Authentication",
              "CCmdEngine::GetIntParamByName"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Authentication",
                "CCmdEngine::GetModuleAuthenticationEnabled") });
    row("media 2 link unknown", nam, readNetBool(&E::GetModuleNetworkConnected, E::eNetIfMedia2),
        { { "eParamID_Media2NetworkConnected", "!1" } }, eResultGetSetCmdNoSuchParamID, "false",
        { "PGNM eParamID_Media2NetworkConnected" },
        { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Media2NetworkConnected",
              "CCmdEngine::GetIntParamByName"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_Media2NetworkConnected",
                "CCmdEngine::GetModuleNetworkConnected") });
    row("media UPnP missing is silent", nam, readNetBool(&E::GetModuleUPnPEnabled, E::eNetIfMedia),
        {}, eResultGetSetCmdNoSuchParamID, "false", { "PGID 0x3d" });
    // Writes.
    row("UPnP off reports its failure", num,
        noOut([](E &e) { return e.SetModuleUPnPEnabled(E::eNetIfMedia2, false); }),
        { { "0x97", "!1" } }, eResultGetSetCmdNoSuchParamID, "", { "PSID 0x97" });
    row("password reset", num, noOut([](E &e) { return e.ResetModulePassword(); }),
        { { "eParamID_SystemPassword", "secret" } }, eResultOK, "",
        { "PSNM eParamID_SystemPassword" });
    // Per-interface reads: the numeric board by ID, the name-based board by name.
    const QVariantMap addresses { { "0x2b", "10.1.0.2" }, { "0x105", "10.0.0.5" },
        { "0x89", "10.2.0.5" }, { "0x8a", "255.255.0.0" }, { "0x2e", "10.1.0.1" },
        { "0x107", "10.0.0.1" }, { "eParamID_IPAddress_3", 0xC0A80003u },
        { "eParamID_IPAddress_2", 0xC0A80002u }, { "eParamID_SubnetMask_2", 0xFFFFFF00u },
        { "eParamID_DefaultGateway_3", 0xC0A800FEu } };
    row("address, media 2, DHCP, numeric", num,
        readAddress(&E::GetModuleIpAddress, E::eNetIfMedia2, true), addresses, eResultOK,
        "10.2.0.5", { "PGID 0x89" });
    row("address, media, static, by name", nam,
        readAddress(&E::GetModuleIpAddress, E::eNetIfMedia, false), addresses, eResultOK,
        "192.168.0.3", { "PGNM eParamID_IPAddress_3" });
    row("address, control, DHCP, by name", nam,
        readAddress(&E::GetModuleIpAddress, E::eNetIfControl, true), addresses, eResultOK,
        "192.168.0.2", { "PGNM eParamID_IPAddress_2" });
    row("mask, media 2, DHCP, numeric", num,
        readAddress(&E::GetModuleSubnetMask, E::eNetIfMedia2, true), addresses, eResultOK,
        "255.255.0.0", { "PGID 0x8a" });
    row("mask, DHCP, by name", nam, readAddress(&E::GetModuleSubnetMask, E::eNetIfMedia2, true),
        addresses, eResultOK, "255.255.255.0", { "PGNM eParamID_SubnetMask_2" });
    row("mask, unsupported interface", num, readAddress(&E::GetModuleSubnetMask, kBadNetIf, false),
        addresses, eResultGetSetCmdNoSuchParamID, "unchanged", { "PGID 0xdeadbeef" },
        { "^Unsupported netIf 5 in CCmdEngine::GetModuleSubnetMask$" });
    row("gateway, media, DHCP, numeric", num,
        readAddress(&E::GetModuleGateway, E::eNetIfMedia, true), addresses, eResultOK, "10.1.0.1",
        { "PGID 0x2e" });
    row("gateway, control, DHCP, numeric", num,
        readAddress(&E::GetModuleGateway, E::eNetIfControl, true), addresses, eResultOK, "10.0.0.1",
        { "PGID 0x107" });
    row("gateway, static, by name", nam, readAddress(&E::GetModuleGateway, E::eNetIfControl, false),
        addresses, eResultOK, "192.168.0.254", { "PGNM eParamID_DefaultGateway_3" });
    row("address, unsupported interface", num, readAddress(&E::GetModuleIpAddress, kBadNetIf, true),
        addresses, eResultGetSetCmdNoSuchParamID, "unchanged", { "PGID 0xdeadbeef" });

    row("MAC, media 2", nam, readNetText(&E::GetModuleMACAddress, E::eNetIfMedia2),
        { { "eParamID_Media2MACAddress", "00:11:22:33:44:55" } }, eResultOK, "00:11:22:33:44:55",
        { "PGNM eParamID_Media2MACAddress" });
    row("speed, control asks with an empty name", num,
        readNetText(&E::GetModuleSpeedActual, E::eNetIfControl), {}, eResultGetSetCmdNoSuchParamID,
        "unchanged", { "PGNM " });

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
    const auto ip = &E::GetModuleIpAddressActive;
    const auto mask = &E::GetModuleSubnetMaskActive;
    const auto gateway = &E::GetModuleGatewayActive;
    row("active, by name, DHCP mode", nam, readNetText(ip, NetIf(1)),
        withMode("eParamID_MediaIPConfig", 1), eResultOK, "192.168.1.2",
        { "PGNM eParamID_MediaIPConfig", "PGNM eParamID_IPAddress_2" });
    row("active, by name, static mode", nam, readNetText(ip, NetIf(1)),
        withMode("eParamID_MediaIPConfig", 2), eResultOK, "192.168.1.3",
        { "PGNM eParamID_MediaIPConfig", "PGNM eParamID_IPAddress_3" });
    row("active, by name, mode 0 counts as static", nam, readNetText(mask, NetIf(0)),
        withMode("eParamID_IPConfig", 0), eResultOK, "255.255.255.3",
        { "PGNM eParamID_IPConfig", "PGNM eParamID_SubnetMask_3" });
    row("active, by name, gateway, DHCP", nam, readNetText(gateway, NetIf(2)),
        withMode("eParamID_Media2IPConfig", 1), eResultOK, "192.168.1.102",
        { "PGNM eParamID_Media2IPConfig", "PGNM eParamID_DefaultGateway_2" });
    row("active, by name, mode unreadable", nam, readNetText(gateway, NetIf(0)), active,
        eResultGetSetCmdNoSuchParamID, "unchanged", { "PGNM eParamID_IPConfig" },
        { errorLinePattern(
              eResultGetSetCmdNoSuchParamID, "eParamID_IPConfig", "CCmdEngine::GetIntParamByName"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID, "GetModuleIpState()",
                "CCmdEngine::GetModuleGatewayActive") });
    const QStringList badID { "PGID 0xdeadbeef" };
    row("active, numeric, bad interface, address", num, readNetText(ip, NetIf(9)), active,
        eResultGetSetCmdNoSuchParamID, "unchanged", badID,
        { "^Unsupported netIf 9 in CCmdEngine::GetModuleIpAddressActive$" });
    row("active, numeric, bad interface, mask", num, readNetText(mask, NetIf(9)), active,
        eResultGetSetCmdNoSuchParamID, "unchanged", badID,
        { "^Unsupported netIf 9 in CCmdEngine::GetModuleSubnetMaskActive$" });
    row("active, numeric, bad interface, gateway is quiet", num, readNetText(gateway, NetIf(9)),
        active, eResultGetSetCmdNoSuchParamID, "unchanged", badID);
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
    const auto row
        = [](const char *name, uint board, int netIf, const QVariant &state,
              const QString &swVersion, const QString &flags, const QStringList &log = {}) {
              QTest::newRow(name) << board << netIf << state << swVersion << flags << log;
          };

    const uint num = kNumericBoard;
    const QString op = "CCmdEngine::GetModuleDHCPNegotiationRunning";
    row("request", num, 0, QVariant("request"), "", "true false false");
    row("Discover", num, 1, QVariant("Discover"), "", "true false false");
    row("DISABLED", num, 2, QVariant("DISABLED"), "", "false false false");
    row("BOUND", num, 1, QVariant("BOUND"), "", "false true false");
    row("none", num, 0, QVariant("none"), "4.0", "false false false",
        { "^\\*\\* Warning: got enetd DHCPState none in " + op + "$" });
    row("None on a network root", num, 0, QVariant("None"), "NFS-4.0", "false false true",
        { "^\\*\\* Warning: got enetd DHCPState None in " + op + "$",
            "^\\*\\* Are you trying to configure DHCP on a device with an NFS-mounted "
            "rootfs\\?$" });
    row("unknown word", num, 2, QVariant("renewing"), "", "true true false",
        { "^Unknown enetd DHCPState renewing received in " + op + "$" });

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
    const auto row = [](const char *name, uint board, int netIf, const QString &speed,
                         const QVariantMap &params, int result, const QStringList &requests,
                         const QVariantMap &written, const QStringList &log = {}) {
        QTest::newRow(name) << board << netIf << speed << params << result << requests << written
                            << log;
    };

    const QString op = "CCmdEngine::SetModuleNetworkConfiguration";
    const uint num = kNumericBoard;
    const uint nam = kNameBoard;
    row("numeric, media, counter 7 becomes 9", num, 1, "1000", { { "0x33", 7u } }, eResultOK,
        { "PSID 0x2b", "PSID 0x2c", "PSID 0x3e", "PSID 0x2d", "PSNM eParamID_MediaIPConfig",
            "PGID 0x33", "PSID 0x33" },
        { { "0x2b", "10.1.2.3" }, { "0x2c", "255.255.0.0" }, { "0x3e", "1000" },
            { "0x2d", "10.1.0.1" }, { "eParamID_MediaIPConfig", 2u }, { "0x33", 9u } });
    row("numeric, control, no speed", num, 0, "", { { "0x10b", 0xFFFFFFFFu } }, eResultOK,
        { "PSID 0x102", "PSID 0x103", "PSID 0x104", "PSNM eParamID_IPConfig", "PGID 0x10b",
            "PSID 0x10b" },
        { { "0x102", "10.1.2.3" }, { "0x10b", 1u } });
    row("numeric, control has no speed setting", num, 0, "100", { { "0xdeadbeef", "!1" } },
        eResultGetSetCmdNoSuchParamID, { "PSID 0x102", "PSID 0x103", "PSID 0xdeadbeef" }, {},
        { errorLinePattern(eResultGetSetCmdNoSuchParamID, "SetModuleSpeed()", op) });
    row("numeric, bad interface", num, 4, "", {}, eResultOK,
        { "PSID 0xdeadbeef", "PSID 0xdeadbeef", "PSID 0xdeadbeef", "PSNM ", "PGID 0xdeadbeef",
            "PSID 0xdeadbeef" },
        {}, { "^Unsupported netIf 4 in CCmdEngine::SetModuleSubnetMask$" });
    row("numeric, media 2, counter unreadable", num, 2, "", { { "0x8d", "!1" } },
        eResultGetSetCmdNoSuchParamID,
        { "PSID 0x85", "PSID 0x86", "PSID 0x87", "PSNM eParamID_Media2IPConfig", "PGID 0x8d",
            "PSID 0x8d" },
        {},
        { errorLinePattern(
              eResultGetSetCmdNoSuchParamID, "0x0000008d", "CCmdEngine::GetIntParamByID"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID, "SetModuleGateway()", op) });
    row("by name", nam, 2, "", {}, eResultOK,
        { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3",
            "PSNM eParamID_DefaultGateway_3", "PSNM eParamID_Media2IPConfig",
            "PSNM eParamID_NetworkCommand" },
        { { "eParamID_IPAddress_3", 0x0A010203u }, { "eParamID_SubnetMask_3", 0xFFFF0000u },
            { "eParamID_DefaultGateway_3", 0x0A010001u }, { "eParamID_Media2IPConfig", 2u },
            { "eParamID_NetworkCommand", 2u } });
    row("by name, speed cannot be set", nam, 1, "1000", {}, eResultUnknownError,
        { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3" },
        { { "eParamID_IPAddress_3", 0x0A010203u } },
        { errorLinePattern(eResultUnknownError, "SetModuleSpeed()", op) });
    row("by name, mask refused", nam, 0, "", { { "eParamID_SubnetMask_3", "!2" } },
        eResultGetSetCmdWrongType, { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3" },
        {},
        { errorLinePattern(
              eResultGetSetCmdWrongType, "eParamID_SubnetMask_3", "CCmdEngine::SetIntParamByName"),
            errorLinePattern(eResultGetSetCmdWrongType, "SetModuleSubnetMask()", op) });
    row("by name, mode refused", nam, 0, "", { { "eParamID_IPConfig", "!1" } },
        eResultGetSetCmdNoSuchParamID,
        { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3",
            "PSNM eParamID_DefaultGateway_3", "PSNM eParamID_IPConfig" },
        {},
        { errorLinePattern(
              eResultGetSetCmdNoSuchParamID, "eParamID_IPConfig", "CCmdEngine::SetIntParamByName"),
            "^Network configuration failed$" });
    row("by name, apply refused", nam, 0, "", { { "eParamID_NetworkCommand", "!1" } },
        eResultGetSetCmdNoSuchParamID,
        { "PSNM eParamID_IPAddress_3", "PSNM eParamID_SubnetMask_3",
            "PSNM eParamID_DefaultGateway_3", "PSNM eParamID_IPConfig",
            "PSNM eParamID_NetworkCommand" },
        {},
        { errorLinePattern(eResultGetSetCmdNoSuchParamID, "eParamID_NetworkCommand",
              "CCmdEngine::SetIntParamByName"),
            errorLinePattern(eResultGetSetCmdNoSuchParamID, "SetModuleGateway()", op) });
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
