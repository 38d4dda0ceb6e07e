// Step engine against a scripted receiver: negotiation, whole transfers and faults.

#include "fake_serial_if.h"
#include "kermit.h"
#include "kermit_drive.h"
#include "kermit_test_util.h"
#include "test_data.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// Close calls seen by the test, then the real close.
QList<int> gCloseModes;
KermitCloseFileFn gRealClose = nullptr;

int recordingClose(KermitTransfer *k, char code, int mode)
{
    gCloseModes.append(mode);
    return gRealClose(k, code, mode);
}

// The receiver's answer to one packet; a null array leaves it to the scripted receiver.
using Reply = std::function<QByteArray(const ktest::Packet &, int timesSeen)>;

Reply onData(int seq, const QByteArray &answer)
{
    return [seq, answer](const ktest::Packet &p, int) {
        return p.type == 'D' && p.seq == seq ? answer : QByteArray();
    };
}

} // namespace

Q_DECLARE_METATYPE(Reply)

class TestKermitSender : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<KermitTransfer> k;
    KermitStatus st {};
    std::unique_ptr<FakeSerialIF> port;
    ktest::Receiver rx;
    QByteArray path;
    char *fileList[2] = { nullptr, nullptr };

    // A transfer of 'content' to a fresh scripted receiver.
    void setUpTransfer(const QByteArray &content, const QByteArray &sinitReply = {})
    {
        path = QFile::encodeName(dir.filePath("firmware.vlts"));
        QVERIFY(writeTestFile(QFile::decodeName(path), content));
        rx = ktest::Receiver();
        if (!sinitReply.isNull())
            rx.sinitReply = sinitReply;
        port = std::make_unique<FakeSerialIF>();
        port->setResponder([this](const QByteArray &w) { return rx.respond(w); });
        kermitResetReaderBuffer();
        fileList[0] = path.data();
        QCOMPARE(kermitInitTransfer(k.get(), &st, fileList, port.get()), 0);
        gCloseModes.clear();
        gRealClose = k->closef;
        k->closef = recordingClose;
    }

    int drive(int stopState = -1) { return ktest::driveTransfer(k.get(), &st, stopState); }

    // The types sent, an error packet with its text and check length: "SFAD...E(text/1)".
    QString sentLog() const
    {
        QString log;
        for (const ktest::Packet &p : rx.received)
            log += p.type == 'E' ? QString("E(%1/%2)").arg(QString(p.data)).arg(p.checkLen)
                                 : QString(QChar(p.type));
        return log;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        k = std::make_unique<KermitTransfer>();
    }
    void cleanup() { kermitSetReplyTimeoutOverrideMs(0); }

    // Whole transfers under several negotiated settings.
    void transfer_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("sinit");
        QTest::addColumn<int>("checkLen");
        QTest::addColumn<int>("maxField");
        QTest::addColumn<bool>("attrs");
        const QByteArray dflt = "~* @-#Y3~.!5U";
        QTest::newRow("empty") << "all" << 0 << dflt << 3 << 2037 << true;
        QTest::newRow("one byte") << "all" << 1 << dflt << 3 << 2037 << true;
        QTest::newRow("every byte value") << "all" << 4096 << dflt << 3 << 2037 << true;
        QTest::newRow("random 300k") << "random" << 300000 << dflt << 3 << 2037 << true;
        QTest::newRow("chkt 1") << "all" << 5000 << QByteArray("~* @-#Y1~.!5U") << 1 << 2039
                                << true;
        QTest::newRow("chkt 2") << "all" << 5000 << QByteArray("~* @-#Y2~.!5U") << 2 << 2038
                                << true;
        QTest::newRow("chkt 5") << "all" << 5000 << QByteArray("~* @-#Y5~.!5U") << 3 << 2037
                                << true;
        QTest::newRow("8th-bit prefix, no repeats")
            << "random" << 20000 << QByteArray("~* @-#&3 .!5U") << 3 << 2037 << true;
        QTest::newRow("short packets only")
            << "random" << 20000 << QByteArray("Y* @-#N3~(") << 3 << 57 - 11 << true;
        QTest::newRow("bare minimum reply")
            << "random" << 3000 << QByteArray("~") << 1 << 85 << false;
        QTest::newRow("maxlx 9") << "all" << 3000 << QByteArray("~* @-#Y3~.! )") << 3 << 49 << true;
        QTest::newRow("maxlx 5000")
            << "random" << 30000 << QByteArray("~* @-#Y3~.!T\\") << 3 << 2037 << true;
    }
    void transfer()
    {
        QFETCH(QString, kind);
        QFETCH(int, size);
        QFETCH(QByteArray, sinit);
        QFETCH(int, checkLen);
        QFETCH(int, maxField);
        QFETCH(bool, attrs);
        const QByteArray content = ktest::content(kind, size);
        setUpTransfer(content, sinit);
        QCOMPARE(drive(), int(kKermitResultDone));
        QVERIFY2(rx.done, rx.types().constData());
        QCOMPARE(rx.content.size(), content.size());
        QVERIFY(rx.content == content);
        QCOMPARE(rx.fileName, path);
        QCOMPARE(st.filesize, attrs ? size : 0); // known from the attribute step
        QCOMPARE(st.bytesSoFar, size);
        // Every reply is read with requests that fit it, so none waits for bytes that never come.
        QCOMPARE(port->overAsks, 0);
        QCOMPARE(QByteArray(st.filename), path);
        // Packet order: S F A D... Z B, each once.
        const QByteArray types = rx.types();
        QVERIFY2(QRegularExpression(attrs ? "^SFAD*ZB$" : "^SFD*ZB$")
                     .match(QString::fromLatin1(types))
                     .hasMatch(),
            types.constData());
        if (size == 0)
            QCOMPARE(types, QByteArray(attrs ? "SFAZB" : "SFZB"));
        if (!attrs)
            return;
        // Attributes: binary type, length, date, end.
        const QByteArray lenAttr = QByteArray("1")
            + ktest::tochar(int(QByteArray::number(size).size())) + QByteArray::number(size);
        QVERIFY(rx.attributes.startsWith(QByteArray("\"\"B8") + lenAttr + "#1"));
        QVERIFY(rx.attributes.endsWith("@ "));
        QCOMPARE(rx.attributes.size(), 4 + int(lenAttr.size()) + 2 + 17 + 2);
        QCOMPARE(QByteArray(st.filedate), rx.attributes.mid(4 + lenAttr.size() + 2, 17));
        // Every packet after the Send-Init carries the agreed check; fields within limit.
        for (int i = 1; i < port->writes.size(); ++i) {
            const ktest::Packet p = ktest::parse(port->writes.at(i), checkLen);
            QVERIFY2(p.valid, port->writes.at(i).left(10).toHex().constData());
            QVERIFY(p.data.size() <= maxField);
        }
    }

    // Negotiated values that have no direct effect on the bytes above (the long packet
    // length shows in the "maxlx" rows there).
    void negotiation_data()
    {
        QTest::addColumn<QByteArray>("sinit");
        QTest::addColumn<int>("retryLimit");
        QTest::addColumn<int>("sendMax");
        QTest::addColumn<int>("timeoutSec");
        QTest::newRow("windo 20") << QByteArray("~* @-#Y3~.45U") << 21 << 2048 << 10;
        QTest::newRow("windo 5") << QByteArray("~* @-#Y3~.%5U") << 10 << 2048 << 10;
        QTest::newRow("windo 0") << QByteArray("~* @-#Y3~. 5U") << 10 << 2048 << 10;
        QTest::newRow("windo 31, no window capability")
            << QByteArray("~* @-#Y3~*?5U") << 10 << 2048 << 10;
        QTest::newRow("no long packets") << QByteArray("~* @-#Y3~,!5U") << 10 << 94 << 10;
        QTest::newRow("continued capas") << QByteArray("~* @-#Y3~/ 45U") << 21 << 2048 << 10;
        QTest::newRow("time 3") << QByteArray("~# @-#Y3") << 10 << 94 << 3;
    }
    void negotiation()
    {
        QFETCH(QByteArray, sinit);
        QFETCH(int, retryLimit);
        QFETCH(int, sendMax);
        QFETCH(int, timeoutSec);
        setUpTransfer("abc", sinit);
        QCOMPARE(drive(kKermitStateFileWait), 100);
        QCOMPARE(int(k->retryLimit), retryLimit);
        QCOMPARE(k->sendMax, sendMax);
        QCOMPARE(k->ownTimeoutSec, timeoutSec);
    }

    // Receiver replies the sender must ride out or give up on, and what it sent meanwhile.
    void receiverReplies_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QByteArray>("sinit"); // empty: the default reply
        QTest::addColumn<int>("timeoutMs"); // reply time-out, 0: the normal one
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("sent"); // pattern over sentLog()
        QTest::addColumn<bool>("whole"); // the whole file arrives
        const int done = kKermitResultDone, error = kKermitResultError;
        const QString retries = "E\\(Too many retries/1\\)$";
        const QString silentRetries = QString("{%1}").arg(1 + kKermitDefaultRetryLimit);
        QTest::newRow("NAKs are not counted") << Reply([](const ktest::Packet &p, int seen) {
            return seen <= 15 ? ktest::packet('N', p.seq, {}, p.type == 'S' ? 1 : 3) : QByteArray();
        }) << QByteArray() << 0 << done << "^S{16}F{16}A{16}(D{16})+Z{16}B{16}$"
                                              << true;
        // Replies with the previous sequence number: eleven resends, then the twelfth such
        // reply ends the transfer (window 20: 21 retries).
        QTest::newRow("previous sequence")
            << onData(5, ktest::packet('Y', 4, {}, 3)) << QByteArray() << 0 << error
            << "^SFADDD{12}" + retries << false;
        QTest::newRow("previous sequence, window 20")
            << onData(5, ktest::packet('Y', 4, {}, 3)) << QByteArray("~* @-#Y3~.45U") << 0 << error
            << "^SFADDD{23}" + retries << false;
        QTest::newRow("error packet, agreed check")
            << onData(4, ktest::packet('E', 4, "Disk full", 3)) << QByteArray() << 0 << error
            << "^SFADD$" << false;
        QTest::newRow("error packet, one-character check")
            << onData(4, ktest::packet('E', 4, "Disk full", 1)) << QByteArray() << 0 << error
            << "^SFADD$" << false;
        // A receiver that goes quiet: resends on each time-out, then failure.
        QTest::newRow("silent after Send-Init") << Reply([](const ktest::Packet &p, int) {
            return p.type == 'S' ? QByteArray("") : QByteArray();
        }) << QByteArray() << 20 << error << "^S" + silentRetries + retries
                                                << false;
        QTest::newRow("silent in the data")
            << onData(5, QByteArray("")) << QByteArray() << 20 << error
            << "^SFADDD" + silentRetries + retries << false;
        // Time-outs in between good replies do not accumulate.
        QTest::newRow("occasional time-outs") << Reply([](const ktest::Packet &p, int seen) {
            return p.type == 'D' && seen <= 6 ? QByteArray("") : QByteArray();
        }) << QByteArray() << 10 << done << "^SFA(D{7})+ZB$"
                                              << true;
        // The receiver stops the file: "Z" then "B", transfer complete.
        QTest::newRow("receiver stops the file with X")
            << onData(5, ktest::packet('Y', 5, "X", 3)) << QByteArray() << 0 << done << "^SFADDDZB$"
            << false;
        QTest::newRow("receiver stops the file with Z")
            << onData(5, ktest::packet('Y', 5, "Z", 3)) << QByteArray() << 0 << done << "^SFADDDZB$"
            << false;
    }
    void receiverReplies()
    {
        QFETCH(Reply, reply);
        QFETCH(QByteArray, sinit);
        QFETCH(int, timeoutMs);
        QFETCH(int, result);
        QFETCH(QString, sent);
        QFETCH(bool, whole);
        const QByteArray content = ktest::content("random", 20000);
        setUpTransfer(content, sinit.isEmpty() ? QByteArray() : sinit);
        rx.override = reply;
        kermitSetReplyTimeoutOverrideMs(timeoutMs);
        QElapsedTimer t;
        t.start();
        QCOMPARE(drive(), result);
        QVERIFY(t.elapsed() < 3000);
        QVERIFY2(QRegularExpression(sent).match(sentLog()).hasMatch(), qPrintable(sentLog()));
        QVERIFY(content.startsWith(rx.content));
        QCOMPARE(rx.content.size() == content.size(), whole);
    }

    // Stop from the window in each state: "E" with the text; the input file is closed
    // only in the data state.
    void stopInEachState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("closesInput");
        QTest::newRow("Send-Init wait") << int(kKermitStateSendInitWait) << false;
        QTest::newRow("file wait") << int(kKermitStateFileWait) << false;
        QTest::newRow("attribute wait") << int(kKermitStateAttrWait) << false;
        QTest::newRow("data") << int(kKermitStateData) << true;
        QTest::newRow("end-of-file wait") << int(kKermitStateEofWait) << false;
    }
    void stopInEachState()
    {
        QFETCH(int, state);
        QFETCH(bool, closesInput);
        setUpTransfer(ktest::content("random", 5000));
        QCOMPARE(drive(state), 100);
        gCloseModes.clear();
        QCOMPARE(kermitStep(kKermitActionError, k.get(), -1, 0, "User Quit", &st),
            int(kKermitResultDone));
        QCOMPARE(rx.received.last().type, 'E');
        QCOMPARE(rx.received.last().data, QByteArray("User Quit"));
        QCOMPARE(gCloseModes, QList<int> { closesInput ? 1 : 2 });
    }

    // Arbitrary replies in the data state: no crash, no slot kept, only defined
    // results, and "done" never before the end-of-transfer exchange.
    void arbitraryReplies()
    {
        auto *rng = QRandomGenerator::global();
        int transfers = 0;
        const QByteArray content = ktest::content("random", 100000);
        for (int i = 0; i < 10000; ++i) {
            if (k->state != kKermitStateData) {
                setUpTransfer(content);
                QCOMPARE(drive(kKermitStateData), 100);
                port->setResponder({});
                ++transfers;
            }
            QByteArray body;
            if (rng->bounded(2)) {
                body.resize(int(rng->bounded(kKermitMaxPacketBytes + 2)));
                for (char &c : body)
                    c = char(rng->bounded(256));
            } else {
                QByteArray data(int(rng->bounded(120)), Qt::Uninitialized);
                for (char &c : data)
                    c = char(32 + rng->bounded(95));
                const char type = "YYYNNEXZB"[rng->bounded(9)];
                const int seq = rng->bounded(3) ? k->expectedSeq : int(rng->bounded(64));
                const QByteArray raw = ktest::packet(type, seq, data, 1 + int(rng->bounded(3)));
                body = raw.mid(1, raw.size() - 2);
            }
            uint8_t *buf = nullptr;
            const int slot = getRecvSlot(k.get(), &buf);
            QCOMPARE(slot, 0); // every earlier reply gave its slot back
            memcpy(buf, body.constData(), size_t(body.size()));
            buf[body.size()] = 0;
            const int16_t stateBefore = k->state;
            const int rc = kermitStep(kKermitActionRun, k.get(), slot, int(body.size()), "", &st);
            QVERIFY(
                rc == kKermitResultError || rc == kKermitResultContinue || rc == kKermitResultDone);
            if (rc == kKermitResultDone)
                QCOMPARE(int(stateBefore), int(kKermitStateBreakWait));
            if (rc != kKermitResultContinue)
                k->state = kKermitStateIdleReceive; // start a new transfer
        }
        QVERIFY(transfers > 1);
    }

    void otherActions()
    {
        setUpTransfer("abc");
        QCOMPARE(
            kermitStep(kKermitActionStatus, k.get(), -1, 0, "", &st), int(kKermitResultStatus));
        QCOMPARE(kermitStep(kKermitActionQuit, k.get(), -1, 0, "", &st), int(kKermitResultDone));
        QVERIFY(port->writes.isEmpty());
        // A reply before any send: the engine is in no sending state.
        uint8_t *buf = nullptr;
        const int slot = getRecvSlot(k.get(), &buf);
        const QByteArray y = ktest::packet('Y', 0, {}, 3);
        memcpy(buf, y.constData() + 1, size_t(y.size() - 2));
        QCOMPARE(kermitStep(kKermitActionRun, k.get(), slot, int(y.size() - 2), "confused", &st),
            int(kKermitResultError));
        QCOMPARE(rx.received.last().data, QByteArray("confused"));
    }
};

QTEST_MAIN(TestKermitSender)
#include "tst_kermit_sender.moc"
