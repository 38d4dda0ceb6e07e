#include "engine_fixture.h"

#include <QLoggingCategory>
#include <QMetaType>
#include <QtTest>
#include <functional>

using Replies = QList<QByteArray>;
Q_DECLARE_METATYPE(Replies)

namespace {

using E = CCmdEngine;

const QMap<QString, Operation> &primitives()
{
    // clang-format off
    static const QMap<QString, Operation> table = {
        {"GetIntParamByID 0x108", intOut([](E &e, uint32_t &v) { return e.GetIntParamByID(0x108, v); })},
        {"GetIntParamByID 0x3D", intOut([](E &e, uint32_t &v) { return e.GetIntParamByID(0x3D, v); })},
        {"GetIntParamByID 0x97", intOut([](E &e, uint32_t &v) { return e.GetIntParamByID(0x97, v); })},
        {"GetIntParamByID 0x3E", intOut([](E &e, uint32_t &v) { return e.GetIntParamByID(0x3E, v); })},
        {"GetIntParamByName", intOut([](E &e, uint32_t &v) { return e.GetIntParamByName("eParamID_PCB_Revision", v); })},
        {"GetStringParamByID", textOut([](E &e, QString &t) { return e.GetStringParamByID(0x108, t); })},
        {"GetStringParamByName", textOut([](E &e, QString &t) { return e.GetStringParamByName("eParamID_SysName", t); })},
        {"GetStringParam", textOut([](E &e, QString &t) { return e.GetStringParam(0x20F, t); })},
        {"GetNetworkDottedIPParamByName", textOut([](E &e, QString &t) { return e.GetNetworkDottedIPParamByName("eParamID_IPAddress_3", t); })},
        {"SetIntParamByID", noOut([](E &e) { return e.SetIntParamByID(0x206, 5); })},
        {"SetIntParamByName", noOut([](E &e) { return e.SetIntParamByName("eParamID_Authentication", -1); })},
        {"SetStringParamByID", textOut([](E &e, QString &t) { return e.SetStringParamByID(0x108, "Studio B", &t); })},
        {"SetStringParamByName", textOut([](E &e, QString &t) { return e.SetStringParamByName("eParamID_SysName", "Studio C", t); })},
    };
    // clang-format on
    return table;
}

using M = ModuleSim;

uint32_t deadBeefLookup(const QString &)
{
    return kBoardIdUninitialised;
}

} // namespace

// Destruction of the serial interface proves the engine owns it.
class OwnedSerial : public FakeSerialIF
{
public:
    explicit OwnedSerial(bool *destroyed)
        : mDestroyed(destroyed)
    { }
    ~OwnedSerial() override { *mDestroyed = true; }

private:
    bool *mDestroyed;
};

class TestCmdEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void construction();
    void negotiation_data();
    void negotiation();
    void productID_data();
    void productID();
    void connectModule_data();
    void connectModule();
    void isModuleWhenConnected();
    void primitiveExchange_data();
    void primitiveExchange();
    void failureLogging_data();
    void failureLogging();
    void payloadLimit_data();
    void payloadLimit();
};

void TestCmdEngine::initTestCase()
{
    QLoggingCategory::setFilterRules("trivo.engine=true");
}

void TestCmdEngine::construction()
{
    bool destroyed = false;
    AppSpy app;
    {
        auto *serial = new OwnedSerial(&destroyed);
        CCmdEngine engine(serial, nullptr, &app, kBoardIdUnknown);
        QCOMPARE(app.calls, QStringList { "type" });
        QCOMPARE(engine.GetBoardID(), uint32_t(kBoardIdUnknown));
        QVERIFY(!engine.IsConnected());
        QCOMPARE(engine.GetCommProtocol().getProtocolVersion(), 2u);
        // The protocol reports upload progress into the engine.
        QCOMPARE(engine.GetCommProtocol().progressSink(), static_cast<CProgressIF *>(&engine));
        engine.GetCommProtocol().progressSink()->SetProgress(0.25f);
        QCOMPARE(engine.GetProgress(), 0.25f);
        QVERIFY(QMetaType::fromName("CCmdEngine::eNetIf_t").isValid());
        QVERIFY(!destroyed);
    }
    QVERIFY(destroyed);
    // A tool without a platform interface.
    CCmdEngine bare(new FakeSerialIF, nullptr, nullptr, kBoardIdUnknown);
    QVERIFY(!bare.IsConnected());
}

void TestCmdEngine::negotiation_data()
{
    QTest::addColumn<Replies>("hwdyReplies");
    QTest::addColumn<uint>("moduleVersion");
    QTest::addColumn<int>("result");
    QTest::addColumn<uint>("version");
    QTest::addColumn<QStringList>("log");

    const QString retry = "^CCmdEngine::NegotiateProtocolVersion \\d+ retry %1$";
    const QString op = "CCmdEngine::NegotiateProtocolVersion";
    const QString subject = "_commProtocol.recvPkt()";
    QTest::newRow("first attempt") << Replies {} << 2u << int(eResultOK) << 2u << QStringList {};
    QTest::newRow("newer module runs at 2")
        << Replies {} << 5u << int(eResultOK) << 2u << QStringList {};
    QTest::newRow("version 1") << Replies {} << 1u << int(eResultOK) << 1u << QStringList {};
    QTest::newRow("two time-outs then success")
        << Replies { M::nack("TIMEDOUT"), M::nack("TIMEDOUT") } << 2u << int(eResultOK) << 2u
        << QStringList { errorLinePattern(eResultTimeout, subject, op), retry.arg(1),
               errorLinePattern(eResultTimeout, subject, op), retry.arg(2) };
    QTest::newRow("silent port once")
        << Replies { QByteArray() } << 2u << int(eResultOK) << 2u
        << QStringList { errorLinePattern(eResultTimeout, subject, op), retry.arg(1) };
    QTest::newRow("three failures return the last code")
        << Replies { M::nack("TIMEDOUT"), M::nack("UNSUPCMD"), M::nack("INVLDCRC") } << 2u
        << int(eResultInvalidChecksum) << 2u
        << QStringList { errorLinePattern(eResultTimeout, subject, op), retry.arg(1),
               errorLinePattern(eResultUnsupportedCmd, subject, op), retry.arg(2),
               errorLinePattern(eResultInvalidChecksum, subject, op) };
}

void TestCmdEngine::negotiation()
{
    QFETCH(Replies, hwdyReplies);
    QFETCH(uint, moduleVersion);
    QFETCH(int, result);
    QFETCH(uint, version);
    QFETCH(QStringList, log);

    EngineRig rig;
    rig.sim.version = moduleVersion;
    rig.sim.scripted["HWDY"] = hwdyReplies;
    LogCapture capture;
    QCOMPARE(int(rig.engine.NegotiateProtocolVersion()), result);
    QCOMPARE(rig.engine.GetCommProtocol().getProtocolVersion(), version);
    COMPARE_LOG_LINES(capture.lines(), log);

    const int attempts = result == eResultOK ? hwdyReplies.size() + 1 : 3;
    QCOMPARE(rig.serial->writes.size(), attempts);
    // "HWDY" with the highest version, 2.
    const QByteArray hwdy = QByteArray::fromHex("485744590000000400000002"
                                                "4E1158DD");
    QCOMPARE(M::frame("HWDY", M::be32(2)), hwdy);
    for (const QByteArray &w : rig.serial->writes)
        QCOMPARE(w, hwdy);
}

void TestCmdEngine::productID_data()
{
    QTest::addColumn<uint>("moduleVersion");
    QTest::addColumn<QString>("productID");
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::newRow("version 1 is the hub") << 1u << "USBHUB" << QList<QByteArray> { "HWDY" };
    QTest::newRow("version 2 asks")
        << 2u << "DECODER10G2-P" << QList<QByteArray> { "HWDY", "HURU" };
}

void TestCmdEngine::productID()
{
    QFETCH(uint, moduleVersion);
    QFETCH(QString, productID);
    QFETCH(QList<QByteArray>, requests);

    EngineRig rig;
    rig.sim.version = moduleVersion;
    rig.sim.productID = moduleVersion == 1 ? "SOMETHING-ELSE" : productID;
    QCOMPARE(rig.engine.NegotiateProtocolVersion(), eResultOK);
    QString got;
    QCOMPARE(rig.engine.GetModuleProductID(got), eResultOK);
    QCOMPARE(got, productID);
    QCOMPARE(rig.sim.requestTypes(), requests);
    if (requests.contains("HURU"))
        QCOMPARE(rig.serial->writes.last(), M::frame("HURU"));
}

void TestCmdEngine::connectModule_data()
{
    QTest::addColumn<QString>("productID");
    QTest::addColumn<bool>("deadBeef");
    QTest::addColumn<Replies>("hwdyReplies");
    QTest::addColumn<Replies>("huruReplies");
    QTest::addColumn<QVariantMap>("names"); // 0x108 and "eParamID_SysName"; absent = status 1
    QTest::addColumn<int>("result");
    QTest::addColumn<uint>("boardID");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("subjects");
    QTest::addColumn<QStringList>("log");

    const QString isModuleOK = "^CCmdEngine::IsModule \\d+ NegotiateProtocolVersion\\(\\) "
                               "succeeded, returning true$";
    const QString isModuleFailed = "^CCmdEngine::IsModule \\d+ NegotiateProtocolVersion\\(\\) "
                                   "failed, returning false$";
    const QString negotiateFailed = errorLinePattern(
        eResultTimeout, "_commProtocol.recvPkt()", "CCmdEngine::NegotiateProtocolVersion");
    const QString retry = "^CCmdEngine::NegotiateProtocolVersion \\d+ retry \\d$";
    const QVariantMap named { { "0x108", "Studio A" } };
    const QStringList fullConnect { "HWDY", "HURU", "PGID 0x108" };

    QTest::newRow("known product")
        << "RECORDER-PLUS" << false << Replies {} << Replies {} << named << int(eConnectOK)
        << uint(BOARD_RECORDER_PLUS) << true << fullConnect << QStringList { isModuleOK };
    QTest::newRow("variant product ID")
        << "ENCODER10G2-SDI-P" << false << Replies {} << Replies {} << named << int(eConnectOK)
        << uint(BOARD_TX_10G2_SDI) << true << fullConnect << QStringList { isModuleOK };
    QTest::newRow("unknown product")
        << "MYSTERY-BOX" << false << Replies {} << Replies {} << named << int(eConnectOK)
        << uint(kBoardIdUnknown) << true << fullConnect
        << QStringList { isModuleOK, "^0xffffffff is not known, setting to undefined product\\.$" };
    QTest::newRow("in the tables but no page")
        << "RECORDER-X1" << false << Replies {} << Replies {} << named << int(eConnectOK)
        << uint(kBoardIdUnknown) << true << fullConnect
        << QStringList { isModuleOK, "^0x00000103 is not known, setting to undefined product\\.$" };
    QTest::newRow("uninitialised table entry")
        << "RECORDER" << true << Replies {} << Replies {} << named << int(eConnectUnsupportedModule)
        << uint(kBoardIdUninitialised) << false << QStringList { "HWDY", "HURU" }
        << QStringList { isModuleOK,
               "^Module type  0xdeadbeef indicates unitialized data\\. Check source code of "
               "CProductID for missing support\\.$" };
    QTest::newRow("name by parameter name")
        << "RECORDER" << false << Replies {} << Replies {}
        << QVariantMap { { "eParamID_SysName", "Studio B" } } << int(eConnectOK)
        << uint(BOARD_RECORDER) << true
        << QStringList { "HWDY", "HURU", "PGID 0x108", "PGNM eParamID_SysName" }
        << QStringList { isModuleOK };
    QTest::newRow("empty name by ID")
        << "RECORDER" << false << Replies {} << Replies {}
        << QVariantMap { { "0x108", "" }, { "eParamID_SysName", "Studio B" } } << int(eConnectOK)
        << uint(BOARD_RECORDER) << true
        << QStringList { "HWDY", "HURU", "PGID 0x108", "PGNM eParamID_SysName" }
        << QStringList { isModuleOK };
    QTest::newRow("no name at all")
        << "RECORDER" << false << Replies {} << Replies {} << QVariantMap {} << int(eConnectOK)
        << uint(BOARD_RECORDER) << true
        << QStringList { "HWDY", "HURU", "PGID 0x108", "PGNM eParamID_SysName" }
        << QStringList { isModuleOK, "^Could not get name from module$" };
    QTest::newRow("negotiation fails")
        << "RECORDER" << false
        << Replies { M::nack("TIMEDOUT"), M::nack("TIMEDOUT"), M::nack("TIMEDOUT") } << Replies {}
        << named << int(eConnectError) << 0x12345678u << false
        << QStringList { "HWDY", "HWDY", "HWDY" }
        << QStringList { negotiateFailed, retry, negotiateFailed, retry, negotiateFailed,
               isModuleFailed };
    QTest::newRow("product ID fails")
        << "RECORDER" << false << Replies {} << Replies { M::nack("UNSUPCMD") } << named
        << int(eConnectError) << 0x12345678u << false << QStringList { "HWDY", "HURU" }
        << QStringList { isModuleOK };
}

void TestCmdEngine::connectModule()
{
    QFETCH(QString, productID);
    QFETCH(bool, deadBeef);
    QFETCH(Replies, hwdyReplies);
    QFETCH(Replies, huruReplies);
    QFETCH(QVariantMap, names);
    QFETCH(int, result);
    QFETCH(uint, boardID);
    QFETCH(bool, connected);
    QFETCH(QStringList, subjects);
    QFETCH(QStringList, log);

    AppSpy app;
    // A board ID the module cannot give, to see that failures leave it alone.
    EngineRig rig(0x12345678u, &app);
    rig.sim.productID = productID;
    rig.sim.scripted["HWDY"] = hwdyReplies;
    rig.sim.scripted["HURU"] = huruReplies;
    for (auto it = names.begin(); it != names.end(); ++it) {
        if (it.key().startsWith("0x"))
            rig.sim.byID[it.key().toUInt(nullptr, 16)] = it.value();
        else
            rig.sim.byName[it.key()] = it.value();
    }
    if (deadBeef)
        rig.engine.SetProductLookup(&deadBeefLookup);

    LogCapture capture;
    QCOMPARE(int(rig.engine.ConnectModule()), result);
    QCOMPARE(rig.engine.GetBoardID(), uint32_t(boardID));
    QCOMPARE(rig.engine.IsConnected(), connected);
    QCOMPARE(rig.sim.subjects(), subjects);
    COMPARE_LOG_LINES(capture.lines(), log);
    // Construction announces the board once; a connection announces type, then connection.
    const QStringList notified
        = connected ? QStringList { "type", "type", "new" } : QStringList { "type" };
    QCOMPARE(app.calls, notified);
}

void TestCmdEngine::isModuleWhenConnected()
{
    EngineRig rig;
    rig.engine.SetConnected(true);
    LogCapture capture;
    QVERIFY(rig.engine.IsModule());
    QVERIFY(rig.serial->writes.isEmpty());
    COMPARE_LOG_LINES(
        capture.lines(), QStringList { "^CCmdEngine::IsModule \\d+ Connected, returning true$" });

    // A connected engine reconnects without negotiating again.
    QCOMPARE(rig.engine.ConnectModule(), eConnectOK);
    QCOMPARE(rig.sim.requestTypes(), (QList<QByteArray> { "HURU", "PGID", "PGNM" }));
}

void TestCmdEngine::primitiveExchange_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("out");

    const QByteArray pgid108 = M::frame("PGID", M::be32(0x108));
    const QByteArray pgnmRev = M::frame("PGNM", M::withNul("eParamID_PCB_Revision"));
    QTest::newRow("int by ID") << "GetIntParamByID 0x108" << pgid108 << M::pidcInt(0x108, 0, 42)
                               << int(eResultOK) << "42";
    QTest::newRow("int by ID, largest")
        << "GetIntParamByID 0x108" << pgid108 << M::pidcInt(0x108, 0, 0xFFFFFFFFu) << int(eResultOK)
        << "4294967295";
    QTest::newRow("int by ID, text is not a number")
        << "GetIntParamByID 0x108" << pgid108 << M::pidcText(0x108, 0, "abc") << int(eResultOK)
        << "0";
    QTest::newRow("int by ID, reply for another ID")
        << "GetIntParamByID 0x108" << pgid108 << M::pidcInt(0x109, 0, 42)
        << int(eResultUnknownError) << "4711";
    QTest::newRow("int by ID, no such parameter")
        << "GetIntParamByID 0x108" << pgid108 << M::pidcInt(0x108, 1, 42)
        << int(eResultGetSetCmdNoSuchParamID) << "4711";
    QTest::newRow("int by name takes any ID")
        << "GetIntParamByName" << pgnmRev << M::pidcInt(0x555, 0, 3) << int(eResultOK) << "3";
    QTest::newRow("int by name, wrong type")
        << "GetIntParamByName" << pgnmRev << M::pidcInt(0x555, 2, 3)
        << int(eResultGetSetCmdWrongType) << "4711";
    QTest::newRow("text by ID") << "GetStringParamByID" << pgid108
                                << M::pidcText(0x108, 0, "Studio A") << int(eResultOK)
                                << "Studio A";
    QTest::newRow("text by ID, integer value")
        << "GetStringParamByID" << pgid108 << M::pidcInt(0x108, 0, 17) << int(eResultOK) << "17";
    QTest::newRow("text by ID, reply for another ID")
        << "GetStringParamByID" << pgid108 << M::pidcText(0x7F7F7F7F, 0, "x")
        << int(eResultUnknownError) << "unchanged";
    QTest::newRow("text by name") << "GetStringParamByName"
                                  << M::frame("PGNM", M::withNul("eParamID_SysName"))
                                  << M::pidcText(0x999, 0, "Grüße") << int(eResultOK) << "Grüße";
    QTest::newRow("text by PGST") << "GetStringParam" << M::frame("PGST", M::be32(0x20F))
                                  << M::pstc(0x20F, 0, "/upload") << int(eResultOK) << "/upload";
    QTest::newRow("text by PGST, no wildcard")
        << "GetStringParam" << M::frame("PGST", M::be32(0x20F)) << M::pstc(0x7F7F7F7F, 0, "/x")
        << int(eResultUnknownError) << "unchanged";
    QTest::newRow("dotted address")
        << "GetNetworkDottedIPParamByName" << M::frame("PGNM", M::withNul("eParamID_IPAddress_3"))
        << M::pidcInt(1, 0, 0xC0A80001u) << int(eResultOK) << "192.168.0.1";
    QTest::newRow("dotted zero") << "GetNetworkDottedIPParamByName"
                                 << M::frame("PGNM", M::withNul("eParamID_IPAddress_3"))
                                 << M::pidcInt(1, 0, 0) << int(eResultOK) << "0.0.0.0";
    QTest::newRow("dotted, failure")
        << "GetNetworkDottedIPParamByName" << M::frame("PGNM", M::withNul("eParamID_IPAddress_3"))
        << M::nack("TIMEDOUT") << int(eResultTimeout) << "unchanged";
    QTest::newRow("set int by ID")
        << "SetIntParamByID" << M::frame("PSID", M::be32(0x206) + M::be32(5))
        << M::pidcInt(0x206, 0, 5) << int(eResultOK) << "";
    QTest::newRow("set int by ID, reply for another ID")
        << "SetIntParamByID" << M::frame("PSID", M::be32(0x206) + M::be32(5))
        << M::pidcInt(0x207, 0, 5) << int(eResultUnknownError) << "";
    QTest::newRow("set int by name, negative")
        << "SetIntParamByName"
        << M::frame("PSNM", M::withNul("eParamID_Authentication") + M::be32(0xFFFFFFFFu))
        << M::pidcInt(0x31, 0, 0) << int(eResultOK) << "";
    QTest::newRow("set text by ID")
        << "SetStringParamByID" << M::frame("PSID", M::be32(0x108) + M::withNul("Studio B"))
        << M::pidcText(0x108, 0, "Studio B") << int(eResultOK) << "Studio B";
    QTest::newRow("set text by ID, refused")
        << "SetStringParamByID" << M::frame("PSID", M::be32(0x108) + M::withNul("Studio B"))
        << M::pidcText(0x108, 2, "") << int(eResultGetSetCmdWrongType) << "unchanged";
    QTest::newRow("set text by name")
        << "SetStringParamByName"
        << M::frame("PSNM", M::withNul("eParamID_SysName") + M::withNul("Studio C"))
        << M::pidcText(0x4242, 0, "Studio C!") << int(eResultOK) << "Studio C!";
}

void TestCmdEngine::primitiveExchange()
{
    QFETCH(QString, op);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(int, result);
    QFETCH(QString, out);

    EngineRig rig;
    rig.sim.scripted[request.left(4)] = { reply };
    QString got;
    QCOMPARE(int(primitives()[op](rig.engine, got)), result);
    QCOMPARE(got, out);
    QCOMPARE(rig.serial->writes, QList<QByteArray> { request });
    // Stale input is dropped before every request.
    QCOMPARE(rig.serial->flushCalls, 1);
}

void TestCmdEngine::failureLogging_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("log");

    const int code = eResultGetSetCmdNoSuchParamID;
    QTest::newRow("int by ID") << "GetIntParamByID 0x108"
                               << QStringList { errorLinePattern(
                                      code, "0x00000108", "CCmdEngine::GetIntParamByID") };
    QTest::newRow("int by ID 0x3E")
        << "GetIntParamByID 0x3E"
        << QStringList { errorLinePattern(code, "0x0000003e", "CCmdEngine::GetIntParamByID") };
    QTest::newRow("media UPnP is silent") << "GetIntParamByID 0x3D" << QStringList {};
    QTest::newRow("media 2 UPnP is silent") << "GetIntParamByID 0x97" << QStringList {};
    QTest::newRow("int by name") << "GetIntParamByName"
                                 << QStringList { errorLinePattern(code, "eParamID_PCB_Revision",
                                        "CCmdEngine::GetIntParamByName") };
    QTest::newRow("text by ID") << "GetStringParamByID" << QStringList {};
    QTest::newRow("text by name") << "GetStringParamByName" << QStringList {};
    QTest::newRow("text by PGST") << "GetStringParam"
                                  << QStringList { errorLinePattern(
                                         code, "0x0000020f", "CCmdEngine::GetStringParam") };
    QTest::newRow("dotted") << "GetNetworkDottedIPParamByName"
                            << QStringList { errorLinePattern(code, "eParamID_IPAddress_3",
                                                 "CCmdEngine::GetIntParamByName"),
                                   errorLinePattern(code, "eParamID_IPAddress_3",
                                       "CCmdEngine::GetNetworkDottedIPParamByName") };
    QTest::newRow("set int by ID") << "SetIntParamByID" << QStringList {};
    QTest::newRow("set int by name")
        << "SetIntParamByName"
        << QStringList { errorLinePattern(
               code, "eParamID_Authentication", "CCmdEngine::SetIntParamByName") };
    QTest::newRow("set text by ID") << "SetStringParamByID" << QStringList {};
    QTest::newRow("set text by name") << "SetStringParamByName"
                                      << QStringList { errorLinePattern(code, "eParamID_SysName",
                                             "CCmdEngine::SetStringParamByName") };
}

void TestCmdEngine::failureLogging()
{
    QFETCH(QString, op);
    QFETCH(QStringList, log);

    EngineRig rig;
    rig.sim.everyStatus = 1;
    LogCapture capture;
    QString out;
    QCOMPARE(primitives()[op](rig.engine, out), eResultGetSetCmdNoSuchParamID);
    COMPARE_LOG_LINES(capture.lines(), log);
}

void TestCmdEngine::payloadLimit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");

    // Name and text with one NUL each may fill the 16384 bytes of a "PSNM" payload.
    const QString name = "eParamID_Z"; // 10 characters
    QTest::newRow("one byte too many") << name << QString(16373, 'x') << int(eResultPayloadTooLong);
    QTest::newRow("exactly full") << name << QString(16372, 'x') << int(eResultOK);
    // The limit counts UTF-8 bytes, not characters.
    QTest::newRow("two-byte characters, full")
        << name << QString(8186, QChar(0xE9)) << int(eResultOK);
    QTest::newRow("two-byte characters, over")
        << name << QString(8187, QChar(0xE9)) << int(eResultPayloadTooLong);
}

void TestCmdEngine::payloadLimit()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, result);

    EngineRig rig;
    rig.sim.byName[name] = QString();
    LogCapture capture;
    QString answer = "unchanged";
    QCOMPARE(int(rig.engine.SetStringParamByName(name, text, answer)), result);
    if (result == eResultPayloadTooLong) {
        QVERIFY(rig.serial->writes.isEmpty());
        QCOMPARE(answer, QString("unchanged"));
        QVERIFY(capture.lines().isEmpty());
    } else {
        QCOMPARE(rig.serial->writes.size(), 1);
        QCOMPARE(rig.serial->writes[0].size(), 8 + 16384 + 4);
        QCOMPARE(rig.sim.byName[name].toString(), text);
    }
}

QTEST_GUILESS_MAIN(TestCmdEngine)
#include "tst_cmd_engine.moc"
