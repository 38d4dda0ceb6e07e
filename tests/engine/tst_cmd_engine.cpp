#include "engine_fixture.h"

#include <QLoggingCategory>
#include <QMetaType>
#include <QtTest>
#include <functional>

using Replies = QList<QByteArray>;
Q_DECLARE_METATYPE(Replies)

namespace {

using E = CCmdEngine;
using M = ModuleSim;
using wire::be32;
using wire::frame;
using wire::withNul;

uint32_t deadBeefLookup(const QString &)
{
    return kBoardIdUninitialised;
}

// The engine's failure line for a parameter request.
QStringList failed(eResult_t code, const QString &subject, const char *operation)
{
    return { errorLinePattern(code, subject, QLatin1String("CCmdEngine::") + operation) };
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
    void connectModule_data();
    void connectModule();
    void isModuleWhenConnected();
    void exchange_data();
    void exchange();
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
    const auto row = [](const char *name, const Replies &hwdyReplies, uint moduleVersion,
                         int result, uint version, const QStringList &log = {}) {
        QTest::newRow(name) << hwdyReplies << moduleVersion << result << version << log;
    };

    const QString retry = "^CCmdEngine::NegotiateProtocolVersion \\d+ retry %1$";
    const QString op = "CCmdEngine::NegotiateProtocolVersion";
    const QString subject = "_commProtocol.recvPkt()";
    row("first attempt", Replies {}, 2u, eResultOK, 2u);
    row("newer module runs at 2", Replies {}, 5u, eResultOK, 2u);
    row("version 1", Replies {}, 1u, eResultOK, 1u);
    row("two time-outs then success", Replies { M::nack("TIMEDOUT"), M::nack("TIMEDOUT") }, 2u,
        eResultOK, 2u,
        { errorLinePattern(eResultTimeout, subject, op), retry.arg(1),
            errorLinePattern(eResultTimeout, subject, op), retry.arg(2) });
    row("silent port once", Replies { QByteArray() }, 2u, eResultOK, 2u,
        { errorLinePattern(eResultTimeout, subject, op), retry.arg(1) });
    row("three failures return the last code",
        Replies { M::nack("TIMEDOUT"), M::nack("UNSUPCMD"), M::nack("INVLDCRC") }, 2u,
        eResultInvalidChecksum, 2u,
        { errorLinePattern(eResultTimeout, subject, op), retry.arg(1),
            errorLinePattern(eResultUnsupportedCmd, subject, op), retry.arg(2),
            errorLinePattern(eResultInvalidChecksum, subject, op) });
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
    for (const QByteArray &w : rig.serial->writes)
        QCOMPARE(w, hwdy);
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
    const auto row
        = [](const char *name, const QString &productID, bool deadBeef, const Replies &hwdy,
              const Replies &huru, const QVariantMap &names, int result, uint boardID,
              bool connected, const QStringList &subjects, const QStringList &log) {
              QTest::newRow(name) << productID << deadBeef << hwdy << huru << names << result
                                  << boardID << connected << subjects << log;
          };

    const QString isModuleOK = "^CCmdEngine::IsModule \\d+ NegotiateProtocolVersion\\(\\) "
                               "succeeded, returning true$";
    const QString isModuleFailed = "^CCmdEngine::IsModule \\d+ NegotiateProtocolVersion\\(\\) "
                                   "failed, returning false$";
    const QString negotiateFailed = errorLinePattern(
        eResultTimeout, "_commProtocol.recvPkt()", "CCmdEngine::NegotiateProtocolVersion");
    const QString retry = "^CCmdEngine::NegotiateProtocolVersion \\d+ retry \\d$";
    const QVariantMap named { { "0x108", "Studio A" } };
    const QStringList fullConnect { "HWDY", "HURU", "PGID 0x108" };

    row("known product", "RECORDER-PLUS", false, Replies {}, Replies {}, named, eConnectOK,
        uint(BOARD_RECORDER_PLUS), true, fullConnect, { isModuleOK });
    row("unknown product", "MYSTERY-BOX", false, Replies {}, Replies {}, named, eConnectOK,
        uint(kBoardIdUnknown), true, fullConnect,
        { isModuleOK, "^0xffffffff is not known, setting to undefined product\\.$" });
    row("in the tables but no page", "RECORDER-X1", false, Replies {}, Replies {}, named,
        eConnectOK, uint(kBoardIdUnknown), true, fullConnect,
        { isModuleOK, "^0x00000103 is not known, setting to undefined product\\.$" });
    row("uninitialised table entry", "RECORDER", true, Replies {}, Replies {}, named,
        eConnectUnsupportedModule, uint(kBoardIdUninitialised), false, { "HWDY", "HURU" },
        { isModuleOK,
            "^Module type  0xdeadbeef indicates unitialized data\\. Check source code of "
            "CProductID for missing support\\.$" });
    // The name fallbacks themselves are rows of the typed-operation test (GetModuleName).
    row("no name at all", "RECORDER", false, Replies {}, Replies {}, {}, eConnectOK,
        uint(BOARD_RECORDER), true, { "HWDY", "HURU", "PGID 0x108", "PGNM eParamID_SysName" },
        { isModuleOK, "^Could not get name from module$" });
    row("negotiation fails", "RECORDER", false,
        Replies { M::nack("TIMEDOUT"), M::nack("TIMEDOUT"), M::nack("TIMEDOUT") }, Replies {},
        named, eConnectError, 0x12345678u, false, { "HWDY", "HWDY", "HWDY" },
        { negotiateFailed, retry, negotiateFailed, retry, negotiateFailed, isModuleFailed });
    row("product ID fails", "RECORDER", false, Replies {}, Replies { M::nack("UNSUPCMD") }, named,
        eConnectError, 0x12345678u, false, { "HWDY", "HURU" }, { isModuleOK });
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
    load(rig.sim, names);
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
    QCOMPARE(rig.sim.subjects(), QStringList({ "HURU", "PGID 0x108", "PGNM eParamID_SysName" }));
}

// Every single-exchange operation: the request's bytes, the reply, the result, the
// caller's out-value and the log.
void TestCmdEngine::exchange_data()
{
    QTest::addColumn<Operation>("op");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("log");
    const auto row = [](const char *name, const Operation &op, const QByteArray &request,
                         const QByteArray &reply, eResult_t result, const QString &out,
                         const QStringList &log = {}) {
        QTest::newRow(name) << op << request << reply << int(result) << out << log;
    };

    const Operation int108 = intOut([](E &e, uint32_t &v) { return e.GetIntParamByID(0x108, v); });
    const QByteArray pgid108 = frame("PGID", be32(0x108));
    row("int by ID", int108, pgid108, M::pidcInt(0x108, 0, 42), eResultOK, "42");
    row("int by ID, largest", int108, pgid108, M::pidcInt(0x108, 0, 0xFFFFFFFFu), eResultOK,
        "4294967295");
    row("int by ID, text is not a number", int108, pgid108, M::pidcText(0x108, 0, "abc"), eResultOK,
        "0");
    row("int by ID, reply for another ID", int108, pgid108, M::pidcInt(0x109, 0, 42),
        eResultUnknownError, "4711", failed(eResultUnknownError, "0x00000108", "GetIntParamByID"));
    row("int by ID, no such parameter", int108, pgid108, M::pidcInt(0x108, 1, 42),
        eResultGetSetCmdNoSuchParamID, "4711",
        failed(eResultGetSetCmdNoSuchParamID, "0x00000108", "GetIntParamByID"));
    // The media LANs' UPnP switches are missing on some products: no log for them.
    for (uint32_t id : { 0x3Du, 0x97u })
        QTest::addRow("int by ID 0x%x, missing, silent", id)
            << intOut([id](E &e, uint32_t &v) { return e.GetIntParamByID(id, v); })
            << frame("PGID", be32(id)) << M::pidcInt(id, 1, 0) << int(eResultGetSetCmdNoSuchParamID)
            << "4711" << QStringList {};

    const Operation intName
        = intOut([](E &e, uint32_t &v) { return e.GetIntParamByName("eParamID_PCB_Revision", v); });
    const QByteArray pgnmRev = frame("PGNM", withNul("eParamID_PCB_Revision"));
    row("int by name takes any ID", intName, pgnmRev, M::pidcInt(0x555, 0, 3), eResultOK, "3");
    row("int by name, wrong type", intName, pgnmRev, M::pidcInt(0x555, 2, 3),
        eResultGetSetCmdWrongType, "4711",
        failed(eResultGetSetCmdWrongType, "eParamID_PCB_Revision", "GetIntParamByName"));

    const Operation text108
        = textOut([](E &e, QString &t) { return e.GetStringParamByID(0x108, t); });
    row("text by ID", text108, pgid108, M::pidcText(0x108, 0, "Studio A"), eResultOK, "Studio A");
    row("text by ID, integer value", text108, pgid108, M::pidcInt(0x108, 0, 17), eResultOK, "17");
    row("text by ID, reply for another ID", text108, pgid108, M::pidcText(0x7F7F7F7F, 0, "x"),
        eResultUnknownError, "unchanged");
    const Operation textName
        = textOut([](E &e, QString &t) { return e.GetStringParamByName("eParamID_SysName", t); });
    const QByteArray pgnmName = frame("PGNM", withNul("eParamID_SysName"));
    row("text by name", textName, pgnmName, M::pidcText(0x999, 0, "Grüße"), eResultOK, "Grüße");
    row("text by name, missing", textName, pgnmName, M::pidcInt(0x999, 1, 0),
        eResultGetSetCmdNoSuchParamID, "unchanged");
    const Operation pgst = textOut([](E &e, QString &t) { return e.GetStringParam(0x20F, t); });
    row("text by PGST", pgst, frame("PGST", be32(0x20F)), M::pstc(0x20F, 0, "/upload"), eResultOK,
        "/upload");
    row("text by PGST, no wildcard", pgst, frame("PGST", be32(0x20F)), M::pstc(0x7F7F7F7F, 0, "/x"),
        eResultUnknownError, "unchanged",
        failed(eResultUnknownError, "0x0000020f", "GetStringParam"));
    const Operation dotted = textOut([](E &e, QString &t) {
        return e.GetNetworkDottedIPParamByName("eParamID_IPAddress_3", t);
    });
    const QByteArray pgnmIp = frame("PGNM", withNul("eParamID_IPAddress_3"));
    row("dotted address", dotted, pgnmIp, M::pidcInt(1, 0, 0xC0A80001u), eResultOK, "192.168.0.1");
    row("dotted zero", dotted, pgnmIp, M::pidcInt(1, 0, 0), eResultOK, "0.0.0.0");
    row("dotted, failure", dotted, pgnmIp, M::nack("TIMEDOUT"), eResultTimeout, "unchanged",
        failed(eResultTimeout, "eParamID_IPAddress_3", "GetIntParamByName")
            + failed(eResultTimeout, "eParamID_IPAddress_3", "GetNetworkDottedIPParamByName"));

    const Operation setInt = noOut([](E &e) { return e.SetIntParamByID(0x206, 5); });
    const QByteArray psid206 = frame("PSID", be32(0x206) + be32(5));
    row("set int by ID", setInt, psid206, M::pidcInt(0x206, 0, 5), eResultOK, "");
    row("set int by ID, reply for another ID", setInt, psid206, M::pidcInt(0x207, 0, 5),
        eResultUnknownError, "");
    const Operation setIntName
        = noOut([](E &e) { return e.SetIntParamByName("eParamID_Authentication", -1); });
    const QByteArray psnmAuth = frame("PSNM", withNul("eParamID_Authentication") + be32(~0u));
    row("set int by name, negative", setIntName, psnmAuth, M::pidcInt(0x31, 0, 0), eResultOK, "");
    row("set int by name, refused", setIntName, psnmAuth, M::pidcInt(0x31, 1, 0),
        eResultGetSetCmdNoSuchParamID, "",
        failed(eResultGetSetCmdNoSuchParamID, "eParamID_Authentication", "SetIntParamByName"));
    const Operation setText
        = textOut([](E &e, QString &t) { return e.SetStringParamByID(0x108, "Studio B", &t); });
    const QByteArray psid108 = frame("PSID", be32(0x108) + withNul("Studio B"));
    row("set text by ID", setText, psid108, M::pidcText(0x108, 0, "Studio B"), eResultOK,
        "Studio B");
    row("set text by ID, refused", setText, psid108, M::pidcText(0x108, 2, ""),
        eResultGetSetCmdWrongType, "unchanged");
    const Operation setTextName = textOut(
        [](E &e, QString &t) { return e.SetStringParamByName("eParamID_SysName", "Studio C", t); });
    const QByteArray psnmName = frame("PSNM", withNul("eParamID_SysName") + withNul("Studio C"));
    row("set text by name", setTextName, psnmName, M::pidcText(0x4242, 0, "Studio C!"), eResultOK,
        "Studio C!");
    row("set text by name, refused", setTextName, psnmName, M::pidcInt(0x4242, 1, 0),
        eResultGetSetCmdNoSuchParamID, "unchanged",
        failed(eResultGetSetCmdNoSuchParamID, "eParamID_SysName", "SetStringParamByName"));

    // The update commands' IDs are checked against the virtual module (tst_update_sequence).
    const QString fw = "/home/u/fw/Trivo 5.1.vlts";
    row("request verification", noOut([fw](E &e) { return e.RequestFileVerification(fw); }),
        frame("PSID", be32(0x20D) + withNul(fw)), M::pidcText(0x20D, 0, "ok"), eResultOK, "");
    const Operation location = textOut([](E &e, QString &t) { return e.GetUploadLocation(t); });
    row("upload location", location, frame("PGST", be32(0x20F)), M::pstc(0x20F, 0, "/tmp/upload"),
        eResultOK, "/tmp/upload");
    row("upload location for another ID", location, frame("PGST", be32(0x20F)),
        M::pstc(0x20E, 0, "/tmp/upload"), eResultUnknownError, "unchanged",
        failed(eResultUnknownError, "0x0000020f", "GetStringParam"));
}

void TestCmdEngine::exchange()
{
    QFETCH(Operation, op);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(int, result);
    QFETCH(QString, out);
    QFETCH(QStringList, log);

    EngineRig rig;
    rig.sim.scripted[request.left(4)] = { reply };
    LogCapture capture;
    QString got;
    QCOMPARE(int(op(rig.engine, got)), result);
    QCOMPARE(got, out);
    QCOMPARE(rig.serial->writes, QList<QByteArray> { request });
    // Stale input is dropped before every request.
    QCOMPARE(rig.serial->flushCalls, 1);
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
