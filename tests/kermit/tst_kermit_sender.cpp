// Step engine against a scripted receiver: negotiation, whole transfers and faults.

#include "fake_serial_if.h"
#include "kermit.h"
#include "kermit_drive.h"
#include "kermit_test_util.h"
#include "test_data.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// The receiver's answer to one packet; a null array leaves it to the receiver.
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
        setUpTransferOf(path, sinitReply);
    }
    void setUpTransferOf(const QByteArray &file, const QByteArray &sinitReply = {})
    {
        kermitFinishTransfer(k.get());
        path = file;
        rx = ktest::Receiver();
        rx.options.initReply = sinitReply;
        port = std::make_unique<FakeSerialIF>();
        port->setResponder([this](const QByteArray &w) { return rx.respond(w); });
        fileList[0] = path.data();
        QCOMPARE(kermitInitTransfer(k.get(), &st, fileList, port.get()), 0);
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
    void cleanup() { kermitFinishTransfer(k.get()); }

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
        QVERIFY2(rx.done(), rx.types().constData());
        QVERIFY(!k->inputFile);
        QCOMPARE(rx.file().data.size(), content.size());
        QVERIFY(rx.file().data == content);
        QCOMPARE(rx.file().name.toUtf8(), path);
        QCOMPARE(st.filesize, attrs ? size : 0); // known from the attribute step
        QCOMPARE(st.bytesSoFar, size);
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
            + kcodec::toChar(int(QByteArray::number(size).size())) + QByteArray::number(size);
        const QByteArray attributes = rx.dataOf('A');
        QVERIFY(attributes.startsWith(QByteArray("\"\"B8") + lenAttr + "#1"));
        QVERIFY(attributes.endsWith("@ "));
        QCOMPARE(attributes.size(), 4 + int(lenAttr.size()) + 2 + 17 + 2);
        QCOMPARE(QByteArray(st.filedate), attributes.mid(4 + lenAttr.size() + 2, 17));
        // Every packet after the Send-Init carries the agreed check; fields within limit.
        for (int i = 1; i < port->writes.size(); ++i) {
            const QByteArray &w = port->writes.at(i);
            const ktest::Packet p = kcodec::parse(w.mid(1, w.size() - 2), checkLen);
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
    // Every reply that does not move the transfer on counts against the retry limit: the
    // twelfth in a row ends it. However it ends, the input file is closed.
    void receiverReplies_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QByteArray>("sinit"); // empty: the receiver's own reply
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("sent"); // pattern over sentLog()
        QTest::addColumn<bool>("whole"); // the whole file arrives
        const int done = kKermitResultDone, error = kKermitResultError;
        const QString gaveUp = "D{12}E\\(Too many retries/1\\)$";
        const auto d5 = [](const QByteArray &answer) { return onData(5, answer); };
        QByteArray badCheck = ktest::packet('Y', 5, {}, 3);
        badCheck[5] = char(badCheck.at(5) ^ 1);
        QTest::newRow("eleven NAKs per packet") << Reply([](const ktest::Packet &p, int seen) {
            return seen <= 11 ? ktest::packet('N', p.seq, {}, p.type == 'S' ? 1 : 3) : QByteArray();
        }) << QByteArray() << done << "^S{12}F{12}A{12}(D{12})+Z{12}B{12}$"
                                                << true;
        QTest::newRow("NAKs") << d5(ktest::packet('N', 5, {}, 3)) << QByteArray() << error
                              << "^SFADD" + gaveUp << false;
        QTest::newRow("bad check")
            << d5(badCheck) << QByteArray() << error << "^SFADD" + gaveUp << false;
        QTest::newRow("over-long packets")
            << d5("\x01" + QByteArray(kKermitMaxPacketBytes + 10, 'a') + "\r") << QByteArray()
            << error << "^SFADD" + gaveUp << false;
        QTest::newRow("unexpected sequence") << d5(ktest::packet('Y', 40, {}, 3)) << QByteArray()
                                             << error << "^SFADD" + gaveUp << false;
        QTest::newRow("previous sequence") << d5(ktest::packet('Y', 4, {}, 3)) << QByteArray()
                                           << error << "^SFADD" + gaveUp << false;
        // A window of 20 raises the limit to 21.
        QTest::newRow("previous sequence, window 20")
            << d5(ktest::packet('Y', 4, {}, 3)) << QByteArray("~* @-#Y3~.45U") << error
            << "^SFADDD{23}E\\(Too many retries/1\\)$" << false;
        QTest::newRow("silent in the data")
            << d5("") << QByteArray() << error << "^SFADD" + gaveUp << false;
        QTest::newRow("silent after Send-Init") << Reply([](const ktest::Packet &p, int) {
            return p.type == 'S' ? QByteArray("") : QByteArray();
        }) << QByteArray() << error << "^S{12}E\\(Too many retries/1\\)$"
                                                << false;
        // Time-outs in between good replies do not accumulate.
        QTest::newRow("occasional time-outs") << Reply([](const ktest::Packet &p, int seen) {
            return p.type == 'D' && seen <= 6 ? QByteArray("") : QByteArray();
        }) << QByteArray() << done << "^SFA(D{7})+ZB$"
                                              << true;
        QTest::newRow("error packet, agreed check") << d5(ktest::packet('E', 5, "Disk full", 3))
                                                    << QByteArray() << error << "^SFADDD$" << false;
        QTest::newRow("error packet, one-character check")
            << d5(ktest::packet('E', 5, "Disk full", 1)) << QByteArray() << error << "^SFADDD$"
            << false;
        // The receiver stops the file: it is closed with "Z" and "B", and has failed.
        const auto stops = [](const char *how) {
            return Reply([how](const ktest::Packet &p, int) {
                if (p.type == 'D' && p.seq == 5)
                    return ktest::packet('Y', 5, how, 3);
                return p.type == 'Z' || p.type == 'B' ? ktest::packet('Y', p.seq, {}, 3)
                                                      : QByteArray();
            });
        };
        QTest::newRow("receiver stops the file with X")
            << stops("X") << QByteArray() << error << "^SFADDDZB$" << false;
        QTest::newRow("receiver stops the file with Z")
            << stops("Z") << QByteArray() << error << "^SFADDDZB$" << false;
        QTest::newRow("failed write") << Reply([this](const ktest::Packet &p, int) {
            if (p.type == 'D' && p.seq == 5)
                port->shortWriteAfterBytes = int(port->output.size());
            return QByteArray();
        }) << QByteArray() << error << "^SFADDD$"
                                      << false;
    }
    void receiverReplies()
    {
        QFETCH(Reply, reply);
        QFETCH(QByteArray, sinit);
        QFETCH(int, result);
        QFETCH(QString, sent);
        QFETCH(bool, whole);
        const QByteArray content = ktest::content("random", 20000);
        setUpTransfer(content, sinit);
        rx.override = reply;
        k->timeScale = 0.004; // the receiver's 5 s become 20 ms
        QElapsedTimer t;
        t.start();
        QCOMPARE(drive(), result);
        QVERIFY(t.elapsed() < 3000);
        QVERIFY2(QRegularExpression(sent).match(sentLog()).hasMatch(), qPrintable(sentLog()));
        QVERIFY(content.startsWith(rx.file().data));
        QCOMPARE(rx.file().data.size() == content.size(), whole);
        QVERIFY(!k->inputFile);
    }

    // A file that cannot be read is not sent as an empty one.
    void inputReadError()
    {
        setUpTransferOf(QFile::encodeName(dir.path())); // opens, but every read fails
        QCOMPARE(drive(), int(kKermitResultError));
        QCOMPARE(sentLog(), QString("SFAE(Cannot read the file/1)"));
        QVERIFY(!k->inputFile);
    }

    // Stop from the window in each state: "E" with the text, and the input file closed.
    void stopInEachState_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("Send-Init wait") << int(kKermitStateSendInitWait);
        QTest::newRow("file wait") << int(kKermitStateFileWait);
        QTest::newRow("attribute wait") << int(kKermitStateAttrWait);
        QTest::newRow("data") << int(kKermitStateData);
    }
    void stopInEachState()
    {
        QFETCH(int, state);
        setUpTransfer(ktest::content("random", 5000));
        QCOMPARE(drive(state), 100);
        QCOMPARE(kermitStep(kKermitActionError, k.get(), -1, 0, "User Quit", &st),
            int(kKermitResultDone));
        QCOMPARE(rx.received.last().type, 'E');
        QCOMPARE(rx.received.last().data, QByteArray("User Quit"));
        QVERIFY(!k->inputFile);
    }

    // A reply before any send: the engine is in no sending state, and says so.
    void replyBeforeSend()
    {
        setUpTransfer("abc");
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
