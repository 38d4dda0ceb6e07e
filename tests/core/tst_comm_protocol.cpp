#include "comm_protocol.h"
#include "fake_serial_if.h"
#include "log_capture.h"
#include "wire_frame.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QtTest>
#include <functional>
#include <thread>

using wire::be32;
using wire::frame;

namespace {

QByteArray pidc(quint32 id, quint32 status, quint32 type, const QByteArray &rest)
{
    return be32(id) + be32(status) + be32(type) + rest;
}

QByteArray paramReply(quint32 id, quint32 status, const QByteArray &rest)
{
    return be32(id) + be32(status) + rest;
}

} // namespace

class TestCommProtocol : public QObject
{
    Q_OBJECT

private:
    FakeSerialIF mPort;
    CCommProtocol *mProto = nullptr;
    QString mStartupStderr;

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("trivo.protocol.debug=true"));
        StderrCapture err;
        mProto = new CCommProtocol(&mPort, nullptr);
        mStartupStderr = err.text();
    }

    void cleanupTestCase() { delete mProto; }

    void init()
    {
        mPort.input.clear();
        mPort.output.clear();
        mPort.writes.clear();
        mPort.setOpen(true);
        mPort.maxReadChunk = 0;
        mPort.disconnectAfterReadBytes = -1;
        mPort.totalRead = 0;
    }

    void builtInTablePassesCheck()
    {
        QVERIFY2(mStartupStderr.isEmpty(), qPrintable(mStartupStderr));
        QVERIFY(CCommProtocol::checkDescriptorTable(CCommProtocol::descriptorTable()));
    }

    void knownFrames_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");

        const auto built = [this](const std::function<void(pkt_t &)> &make) {
            pkt_t p;
            make(p);
            const QByteArray f = CCommProtocol::frame(&p);
            mProto->freePkt(&p);
            return f;
        };
        const QByteArray text("host\0", 5);
        const auto *bytes = reinterpret_cast<const uint8_t *>(text.constData());
        const uint32_t words[] = { 0x109, 0xC0A80001 };
        QTest::newRow("HWDY version 2")
            << built([&](pkt_t &p) { mProto->makePktWord(&p, PktType("HWDY"), 2u); })
            << QByteArray::fromHex("48574459 00000004 00000002 4E1158DD");
        QTest::newRow("HURU has no length field")
            << built([&](pkt_t &p) { mProto->makeEmptyPkt(&p, PktType("HURU")); })
            << QByteArray("HURU") + be32(wire::zcrc(QByteArray("HURU") + QByteArray(4, '\0')));
        QTest::newRow("PSID two words")
            << built([&](pkt_t &p) { mProto->makePktWords(&p, PktType("PSID"), 2, words); })
            << frame("PSID", be32(0x109) + be32(0xC0A80001));
        QTest::newRow("PSID word and text") << built([&](pkt_t &p) {
            mProto->makePktWordAndBytes(&p, PktType("PSID"), 0x10A, 5, bytes);
        }) << frame("PSID", be32(0x10A) + text);
        QTest::newRow("PSNM text then word") << built([&](pkt_t &p) {
            mProto->makePktBytesAndWord(&p, PktType("PSNM"), 5, bytes, 7);
        }) << frame("PSNM", text + be32(7));
        QTest::newRow("PGNM bytes only")
            << built([&](pkt_t &p) { mProto->makePktBytes(&p, PktType("PGNM"), 5, bytes); })
            << frame("PGNM", text);
        QTest::newRow("PSNM no words") << built([&](pkt_t &p) {
            mProto->makePktWordsAndBytes(&p, PktType("PSNM"), 0, nullptr, 5, bytes);
        }) << frame("PSNM", text);
        // Rebuilding into a used record must release the old payload (LSan watches this).
        QTest::newRow("record built twice") << built([&](pkt_t &p) {
            mProto->makePktWord(&p, PktType("PGID"), 1u);
            mProto->makePktWord(&p, PktType("PGID"), 2u);
        }) << frame("PGID", be32(2));
    }

    void knownFrames()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built.toHex(' '), expected.toHex(' '));
    }

    void replyDecoding_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<uint>("expectedId");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // a diagnostic expected on stderr, if any

        const uint any = kWildcardParamID;
        const QByteArray nul(1, '\0');
        const QString kept = QStringLiteral("untouched");
        auto row = [](const char *name, const char *request, const QByteArray &wire, uint id,
                       eResult_t result, const QString &value, const QString &message = {}) {
            QTest::newRow(name) << QByteArray(request) << wire << id << int(result) << value
                                << message;
        };

        row("PIDC int max", "PGID", frame("PIDC", pidc(0x109, 0, 0, be32(4294967295u))), 0x109,
            eResultOK, "4294967295");
        row("PIDC text", "PGNM", frame("PIDC", pidc(0x109, 0, 1, "Studio A" + nul)), any, eResultOK,
            "Studio A");
        row("PIDC UTF-8 text without NUL", "PGNM", frame("PIDC", pidc(0x109, 0, 1, "Caf\xc3\xa9")),
            any, eResultOK, QString::fromUtf8("Caf\xc3\xa9"));
        row("PIDC empty text", "PSID", frame("PIDC", pidc(0x109, 0, 1, {})), 0x109, eResultOK, "");
        row("PIDC int without value word", "PGID", frame("PIDC", pidc(0x109, 0, 0, "ab")), 0x109,
            eResultPayloadTooShort, kept);
        row("PIDC status 1", "PGID", frame("PIDC", pidc(0x109, 1, 0, be32(5))), 0x109,
            eResultGetSetCmdNoSuchParamID, kept);
        row("PIDC status 2", "PSNM", frame("PIDC", pidc(0x109, 2, 0, be32(5))), any,
            eResultGetSetCmdWrongType, kept);
        row("PIDC status 3", "PGID", frame("PIDC", pidc(0x109, 3, 0, be32(5))), 0x109, eResultOK,
            kept);
        row("PIDC value type 2", "PGID", frame("PIDC", pidc(0x109, 0, 2, be32(5))), 0x109,
            eResultGetSetCmdInvalidTypeRecvd, kept);
        row("PIDC other ID", "PGID", frame("PIDC", pidc(0x108, 0, 0, be32(5))), 0x109,
            eResultUnknownError, kept, "Expected 00000109, got 00000108.  Tossing it.\n");
        row("PIDC wildcard", "PGID", frame("PIDC", pidc(0x108, 0, 0, be32(5))), any, eResultOK,
            "5");
        row("PSTC exact", "PGST", frame("PSTC", paramReply(0x20, 0, "abc" + nul)), 0x20, eResultOK,
            "abc");
        row("PSTC empty text", "PGST", frame("PSTC", paramReply(0x20, 0, {})), 0x20, eResultOK, "");
        row("PSTC longest text", "PGST", frame("PSTC", paramReply(0x20, 0, QByteArray(16384, 'x'))),
            0x20, eResultOK, QString(16384, 'x'));
        row("PSTC wildcard refused", "PGST", frame("PSTC", paramReply(0x20, 0, "abc")), any,
            eResultUnknownError, kept);
        row("PSTC status 1", "PGST", frame("PSTC", paramReply(0x20, 1, {})), 0x20,
            eResultGetSetCmdNoSuchParamID, kept);
        row("P32C exact", "PG32", frame("P32C", paramReply(0x30, 0, be32(77))), 0x30, eResultOK,
            "77");
        row("P32C wildcard refused", "PS32", frame("P32C", paramReply(0x30, 0, be32(77))), any,
            eResultUnknownError, kept);
        row("P32C status 2", "PG32", frame("P32C", paramReply(0x30, 2, be32(77))), 0x30,
            eResultGetSetCmdWrongType, kept);
        row("HIYA", "HWDY", frame("HIYA", be32(1)), any, eResultOK, "1");
        row("DTMI", "EDTM", frame("DTMI", be32(123456)), any, eResultOK, "123456");
        row("IAMA", "HURU", frame("IAMA", "RECORDER-PLUS" + nul), any, eResultOK, "RECORDER-PLUS");
        row("2U2!", "YUHU", frame("2U2!", {}), any, eResultOK, kept);
        row("HIYA to PGID", "PGID", frame("HIYA", be32(2)), 0x109, eResultUnknownResponse, kept,
            "got unhandled response pkt type of HIYA\n");
        row("noise before the frame", "HWDY",
            QByteArray("\x00\xffHIY PIDNACPID\x00", 16) + frame("HIYA", be32(2)), any, eResultOK,
            "2");
        row("request without reply type", "PIDC", frame("PIDC", pidc(1, 0, 0, be32(1))), any,
            eResultUnknownResponse, kept);

        const struct
        {
            const char *name;
            QByteArray reason;
            eResult_t result;
        } nacks[] = {
            { "NACK TIMEDOUT", "TIMEDOUT", eResultTimeout },
            { "NACK PYLLLONG", "PYLLLONG", eResultPayloadTooLong },
            { "NACK PYLLSHRT", "PYLLSHRT", eResultPayloadTooShort },
            { "NACK INVLDCRC", "INVLDCRC", eResultInvalidChecksum },
            { "NACK UNSUPCMD", "UNSUPCMD", eResultUnsupportedCmd },
            { "NACK unknown reason", "UNSUPCMX", eResultUnknownError },
            { "NACK empty reason", QByteArray(8, '\0'), eResultUnknownError },
            { "NACK reason cut at NUL", QByteArray("TIMED\0\0\0", 8), eResultUnknownError },
        };
        for (const auto &n : nacks)
            row(n.name, "PGID", frame("NACK", n.reason), 0x109, n.result, kept);

        row("PIDC payload too short", "PGID", frame("PIDC", be32(0x109) + be32(0) + "abc"), 0x109,
            eResultPayloadTooShort, kept);
        row("PSTC payload too long", "PGST",
            frame("PSTC", paramReply(0x20, 0, QByteArray(16385, 'x'))), 0x20, eResultPayloadTooLong,
            kept);
        row("IAMA empty length field", "HURU", frame("IAMA", {}, true), any, eResultPayloadTooShort,
            kept);

        QByteArray badCrc = frame("HIYA", be32(2));
        badCrc[badCrc.size() - 1] = char(badCrc.at(badCrc.size() - 1) ^ 1);
        row("bad CRC", "HWDY", badCrc, any, eResultInvalidChecksum, kept);
        // Same frame, but the CRC was computed over a little-endian length.
        const QByteArray leHeader = QByteArray("HIYA") + QByteArray::fromHex("04000000");
        row("CRC over little-endian length", "HWDY",
            QByteArray("HIYA") + be32(4) + be32(2) + be32(wire::zcrc(leHeader + be32(2))), any,
            eResultInvalidChecksum, kept);
    }

    void replyDecoding()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, wire);
        QFETCH(uint, expectedId);
        QFETCH(int, result);
        QFETCH(QString, value);
        QFETCH(QString, message);

        StderrCapture err;
        mPort.queueInput(wire);
        mPort.maxReadChunk = 3; // fields split across reads
        QString text = QStringLiteral("untouched");
        uint32_t type;
        std::memcpy(&type, request.constData(), 4);
        const eResult_t r = mProto->recvPkt(type, text, expectedId);
        QCOMPARE(CCommProtocol::enumToString(r), CCommProtocol::enumToString(result));
        QCOMPARE(text, value);
        QVERIFY(mPort.input.isEmpty() || r == eResultPayloadTooLong || r == eResultPayloadTooShort);
        QVERIFY2(err.text().contains(message), qPrintable(err.text()));
    }

    // A damaged reply fails alone: the next request's flush drops what is left of it.
    void damagedReplyThenGoodExchange_data()
    {
        QTest::addColumn<int>("byteIndex");
        QTest::addColumn<int>("firstResult");
        QTest::newRow("payload byte") << 12 << int(eResultInvalidChecksum);
        QTest::newRow("length byte") << 5 << int(eResultPayloadTooLong);
        QTest::newRow("type byte") << 0 << int(eResultTimeout);
    }

    void damagedReplyThenGoodExchange()
    {
        QFETCH(int, byteIndex);
        QFETCH(int, firstResult);

        FakeSerialIF port;
        CCommProtocol proto(&port, nullptr);
        int calls = 0;
        port.setResponder([&](const QByteArray &) {
            QByteArray f = frame("PIDC", pidc(0x109, 0, 0, be32(9)));
            if (calls++ == 0)
                f[byteIndex] = char(f[byteIndex] ^ 0x40);
            return f;
        });
        StderrCapture err;
        for (int expected : { firstResult, int(eResultOK) }) {
            pkt_t p;
            proto.makePktWord(&p, PktType("PGID"), 0x109u);
            proto.sendPkt(&p);
            QString text = "untouched";
            QCOMPARE(int(proto.recvPkt(PktType("PGID"), text, 0x109)), expected);
            QCOMPARE(
                text, expected == eResultOK ? QStringLiteral("9") : QStringLiteral("untouched"));
        }
    }

    void timeOut_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("phaseMs");
        QTest::addColumn<QString>("message");

        const QByteArray full = frame("PIDC", pidc(0x109, 0, 0, be32(1)));
        QTest::newRow("silence") << QByteArray() << 2000 << "Failed to find header after";
        QTest::newRow("length field") << full.left(6) << 250
                                      << "Timed out reading payload length.  Wanted 4 bytes, "
                                         "only got 2 after";
        QTest::newRow("payload") << full.left(14) << 1250
                                 << "for pkt type PIDC.  Only 6 of 16 bytes received.\n";
        QTest::newRow("CRC") << full.left(full.size() - 1) << 250
                             << "Timed out reading CRC32 after";
        QTest::newRow("CRC of empty type") << frame("2U2!", {}).left(6) << 250
                                           << "for pkt type 2U2!. Only 2 of 4 bytes received.\n";
    }

    // Each phase has its own limit; the silent line's goes to the debug log, the rest to stderr.
    void timeOut()
    {
        QFETCH(QByteArray, wire);
        QFETCH(int, phaseMs);
        QFETCH(QString, message);

        StderrCapture err;
        LogCapture log;
        mPort.queueInput(wire);
        QString text = "untouched";
        QElapsedTimer t;
        t.start();
        const eResult_t r = mProto->recvPkt(PktType("PGID"), text, 0x109);
        const qint64 ms = t.elapsed();
        QCOMPARE(r, eResultTimeout);
        QCOMPARE(text, QStringLiteral("untouched"));
        QVERIFY2(ms >= phaseMs && ms < phaseMs + 600, qPrintable(QString::number(ms)));
        QVERIFY2(err.text().contains(message) || log.contains(message), qPrintable(err.text()));
    }

    void disconnect_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("readBytesBeforeUnplug");

        QTest::newRow("before anything") << QByteArray() << 0;
        QTest::newRow("during noise") << QByteArray("garbagegarbage") << 5;
        const QByteArray full = frame("PIDC", pidc(0x109, 0, 0, be32(1)));
        QTest::newRow("during payload") << full << 12;
        QTest::newRow("during CRC") << full << int(full.size()) - 2;
    }

    void disconnect()
    {
        QFETCH(QByteArray, wire);
        QFETCH(int, readBytesBeforeUnplug);

        LogCapture log;
        mPort.queueInput(wire);
        if (readBytesBeforeUnplug == 0)
            mPort.setOpen(false);
        mPort.disconnectAfterReadBytes = readBytesBeforeUnplug;
        mPort.maxReadChunk = 1;
        QElapsedTimer t;
        t.start();
        QString text = "untouched";
        QCOMPARE(mProto->recvPkt(PktType("PGID"), text, 0x109), eResultDisconnected);
        QVERIFY(t.elapsed() < 500);
        QCOMPARE(text, QStringLiteral("untouched"));
        QVERIFY(log.contains("device unplug detected, aborting with eNakDisconnected"));
    }

    // The owner's cancel flag ends a wait on a silent line within a port read's slice; a
    // request made after it still goes out, and its wait ends at once.
    void cancelEndsTheWait()
    {
        std::atomic<bool> cancel { false };
        mProto->SetCancelFlag(&cancel);
        QElapsedTimer t;
        t.start();
        std::thread setter([&cancel] {
            QThread::msleep(300);
            cancel = true;
        });
        QString text = "untouched";
        LogCapture log;
        QCOMPARE(mProto->recvPkt(PktType("PGID"), text, 0x109), eResultDisconnected);
        const qint64 ms = t.elapsed();
        setter.join();
        QVERIFY2(ms >= 290 && ms < 300 + 200, qPrintable(QString::number(ms)));
        QVERIFY(log.contains("exchange cancelled, aborting with eNakDisconnected"));
        pkt_t p;
        mProto->makePktWord(&p, PktType("PGID"), 0x109u);
        mProto->sendPkt(&p);
        QCOMPARE(mPort.writes.size(), 1);
        mPort.queueInput(frame("PIDC", pidc(0x109, 0, 0, be32(1))).left(10));
        t.restart();
        QCOMPARE(mProto->recvPkt(PktType("PGID"), text, 0x109), eResultDisconnected);
        QVERIFY(t.elapsed() < 100);
        QCOMPARE(text, QStringLiteral("untouched"));
        mProto->SetCancelFlag(nullptr);
    }

    void enumToString_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text"); // for unknown values: the start and the end
        for (const auto &[value, text] : std::initializer_list<std::pair<int, const char *>> {
                 { 0, "eResultOK" }, { 9, "eResultGetSetCmdInvalidTypeRecvd" },
                 { 12, "eResultUnknownError" }, { 13, "Missing enum in switch for value + 13 in " },
                 { -1, "Missing enum in switch for value + -1 in " } })
            QTest::addRow("%d", value) << value << QString(text);
    }

    void enumToString()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        const QString got = CCommProtocol::enumToString(value);
        if (text.startsWith("Missing")) {
            QVERIFY2(got.startsWith(text), qPrintable(got));
            QVERIFY(got.contains(
                QRegularExpression(", line:\\d+, function: CCommProtocol::enumToString$")));
        } else {
            QCOMPARE(got, text);
        }
    }

    void descriptorCheck_data()
    {
        QTest::addColumn<uint>("binary");
        QTest::addColumn<uint>("min");
        QTest::addColumn<uint>("max");
        QTest::addColumn<QString>("expected");

        QTest::newRow("all three faults")
            << 8u << 4u << 2u
            << "*** CCommProtocol: Bad payload length(s) in the pktDesc for ABCD\n"
               "    binaryPayloadLen is greater than minPayloadLen\n"
               "    maxPayloadLen is less than minPayloadLen\n"
               "    binaryPayloadLen is greater than maxPayloadLen\n"
               "    { binary = 8, min = 4, max = 2 }\n";
        QTest::newRow("first fine, last faulty")
            << 4u << 4u << 16u
            << "*** CCommProtocol: The binary payload length in the pktDesc for ZZZZ is 2. Must "
               "be a multiple of 4.\n";
    }

    void descriptorCheck()
    {
        QFETCH(uint, binary);
        QFETCH(uint, min);
        QFETCH(uint, max);
        QFETCH(QString, expected);

        // Key order on this host puts "ABCD" before "HWDY" before "ZZZZ"; the check stops at
        // the first faulty entry, so "ZZZZ" is reported only when "ABCD" passes.
        CCommProtocol::pktDesc_t first(binary, min, max), good(4, 4, 4), last(2, 0, 0);
        const CCommProtocol::DescTable table = { { PktType("ABCD"), &first },
            { PktType("HWDY"), &good }, { PktType("ZZZZ"), &last } };
        QVERIFY(PktType("ABCD") < PktType("HWDY") && PktType("HWDY") < PktType("ZZZZ"));
        StderrCapture err;
        QVERIFY(!CCommProtocol::checkDescriptorTable(table));
        QCOMPARE(err.text(), expected);
    }
};

QTEST_MAIN(TestCommProtocol)
#include "tst_comm_protocol.moc"
