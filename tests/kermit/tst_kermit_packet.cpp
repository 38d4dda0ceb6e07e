// Packet layer: framing, block checks, prefix encoding, field filling, reader, writer.

#include "fake_serial_if.h"
#include "kermit.h"
#include "kermit_test_util.h"
#include "posix_serial_if.h"
#include "pty_pair.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <memory>

namespace {

// Input for getpkt from memory (the file callback of the record).
QByteArray gInput;
int gInputPos = 0;

int readFromMemory(KermitTransfer *)
{
    return gInputPos < gInput.size() ? uint8_t(gInput.at(gInputPos++)) : -1;
}

// A port that accepts at most 'chunk' bytes per write.
class ChunkedWriter : public FakeSerialIF
{
public:
    uint32_t chunk = 0;
    int calls = 0;
    bool Write(const uint8_t *buffer, uint32_t length, uint32_t *written) override
    {
        ++calls;
        return FakeSerialIF::Write(buffer, std::min(length, chunk), written) && length <= chunk;
    }
};

} // namespace

class TestKermitPacket : public QObject
{
    Q_OBJECT

    std::unique_ptr<KermitTransfer> k;
    KermitStatus st {};
    FakeSerialIF port;

    // A record as initialised for a transfer, with the file input taken from memory.
    void freshRecord(const QByteArray &input = {})
    {
        port.output.clear();
        port.writes.clear();
        port.input.clear();
        port.setOpen(true);
        QCOMPARE(kermitInitTransfer(k.get(), &st, nullptr, &port), 0);
        k->readf = readFromMemory;
        gInput = input;
        gInputPos = 0;
        k->s_first = 1;
    }

    // Every field getpkt produces for the current input.
    QList<QByteArray> allFields()
    {
        QList<QByteArray> fields;
        for (int n; (n = getpkt(k.get(), &st)) > 0;)
            fields.append(QByteArray(reinterpret_cast<const char *>(k->xdata), n));
        return fields;
    }

private slots:
    void initTestCase() { k = std::make_unique<KermitTransfer>(); }

    void defaultSendInit()
    {
        freshRecord();
        QCOMPARE(kermitStep(kKermitActionSend, k.get(), -1, 0, "", &st), 0);
        QCOMPARE(port.output,
            QByteArray("\x01"
                       "0 S~H @-#Y3~.?5U:\r"));
        QCOMPARE(int(k->bct), 3); // restored after the type-1 Send-Init
        // The check value of the block check 3 table; every packet of the transfer tests is
        // checked against the independent codec besides.
        QCOMPARE(blockCheck3(k.get(), reinterpret_cast<const uint8_t *>("123456789")), 0x2189u);
    }

    // Framing of every form and check type against the independent builder.
    void framing_data()
    {
        QTest::addColumn<int>("dataLen");
        QTest::addColumn<int>("bct");
        QTest::addColumn<bool>("longForm");
        QTest::newRow("empty type 1") << 0 << 1 << false;
        QTest::newRow("89 + 3 short") << 89 << 3 << false;
        QTest::newRow("90 + 3 long") << 90 << 3 << true;
        QTest::newRow("92 + 1 short") << 91 << 1 << false;
        QTest::newRow("92 + 1 long") << 92 << 1 << true;
        QTest::newRow("2037 + 3 long") << 2037 << 3 << true;
        QTest::newRow("500 + 2 long") << 500 << 2 << true;
    }
    void framing()
    {
        QFETCH(int, dataLen);
        QFETCH(int, bct);
        QFETCH(bool, longForm);
        freshRecord();
        k->bct = int16_t(bct);
        QByteArray data(dataLen, Qt::Uninitialized);
        for (int i = 0; i < dataLen; ++i)
            data[i] = char(33 + (i * 7) % 90);
        QCOMPARE(
            spkt('D', 5, dataLen, reinterpret_cast<const uint8_t *>(data.constData()), k.get()), 0);
        QCOMPARE(port.output, ktest::packet('D', 5, data, bct));
        QCOMPARE(port.output.at(1) == ' ', longForm);
        if (dataLen == 90 && bct == 3)
            QCOMPARE(port.output.mid(1, 5), QByteArray(" %D }"));
        // Resend repeats the kept packet byte for byte.
        QCOMPARE(resend(k.get()), 0);
        QCOMPARE(port.writes.size(), 2);
        QCOMPARE(port.writes.at(1), port.writes.at(0));
    }

    void prefixEncoding_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("ebq");
        QTest::addColumn<bool>("rpt");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("CR") << QByteArray("\x0d") << false << false << QByteArray("#M");
        QTest::newRow("DEL") << QByteArray("\x7f") << false << false << QByteArray("#?");
        QTest::newRow("prefix") << QByteArray("#") << false << false << QByteArray("##");
        QTest::newRow("0x8D 8-bit") << QByteArray("\x8d") << false << false << QByteArray("#\xcd");
        QTest::newRow("0x8D prefixed") << QByteArray("\x8d") << true << false << QByteArray("&#M");
        QTest::newRow("& prefixed") << QByteArray("&") << true << false << QByteArray("#&");
        QTest::newRow("NUL") << QByteArray(1, '\0') << false << false << QByteArray("#@");
        QTest::newRow("AAAA B") << QByteArray("AAAAB") << false << true << QByteArray("~$AB");
        QTest::newRow("AA B") << QByteArray("AAB") << false << true << QByteArray("AAB");
        QTest::newRow("95 A") << QByteArray(95, 'A') << false << true << QByteArray("~~AA");
        QTest::newRow("tilde rpt") << QByteArray("~") << false << true << QByteArray("#~");
        QTest::newRow("tilde plain") << QByteArray("~") << false << false << QByteArray("~");
        QTest::newRow("CR CR") << QByteArray("\r\r") << false << true << QByteArray("#M#M");
        QTest::newRow("3 x 0x8D") << QByteArray("\x8d\x8d\x8d") << true << true
                                  << QByteArray("~#&#M");
    }
    void prefixEncoding()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, ebq);
        QFETCH(bool, rpt);
        QFETCH(QByteArray, encoded);
        freshRecord(input);
        k->ebqOn = ebq;
        k->ebqPrefix = '&';
        k->rptOn = rpt;
        const QList<QByteArray> fields = allFields();
        QCOMPARE(fields.size(), 1);
        QCOMPARE(fields.first(), encoded);
        QCOMPARE(st.bytesSoFar, int(input.size()));
    }

    // Random data of several kinds: every field within the limit, and the fields
    // decode back to the input.
    void fieldsWithinLimit_data()
    {
        QTest::addColumn<int>("sendMax");
        QTest::addColumn<int>("bct");
        QTest::addColumn<bool>("ebq");
        QTest::addColumn<bool>("rpt");
        QTest::addColumn<int>("alphabet"); // distinct byte values drawn
        for (int maxl : { 60, 94, 2048 })
            for (int alphabet : { 3, 256 }) {
                const QByteArray tag
                    = QByteArray::number(maxl) + "/" + QByteArray::number(alphabet);
                QTest::newRow(tag + " plain") << maxl << 3 << false << false << alphabet;
                QTest::newRow(tag + " rpt") << maxl << 3 << false << true << alphabet;
                QTest::newRow(tag + " ebq rpt bct1") << maxl << 1 << true << true << alphabet;
            }
    }
    void fieldsWithinLimit()
    {
        QFETCH(int, sendMax);
        QFETCH(int, bct);
        QFETCH(bool, ebq);
        QFETCH(bool, rpt);
        QFETCH(int, alphabet);
        // Runs of prefixed bytes are the worst case for the carried-over part.
        const QByteArray values = alphabet == 3 ? QByteArray("\x8d\r#", 3) : QByteArray();
        QByteArray input(60000, Qt::Uninitialized);
        auto *rng = QRandomGenerator::global();
        for (int i = 0; i < input.size();) {
            const char c = values.isEmpty() ? char(rng->bounded(256))
                                            : values.at(int(rng->bounded(values.size())));
            for (int run = 1 + int(rng->bounded(rng->bounded(2) ? 3 : 120));
                 run > 0 && i < input.size(); --run)
                input[i++] = c;
        }
        freshRecord(input);
        k->sendMax = sendMax;
        k->bct = int16_t(bct);
        k->ebqOn = ebq;
        k->ebqPrefix = '&';
        k->rptOn = rpt;
        const int limit = sendMax - bct - 8;
        QByteArray decoded;
        for (const QByteArray &f : allFields()) {
            QVERIFY2(f.size() <= limit, qPrintable(QString::number(f.size())));
            // A field never ends inside a prefix sequence.
            QVERIFY(kcodec::decodeField(f, '#', ebq ? '&' : 0, rpt ? '~' : 0, decoded));
        }
        QCOMPARE(decoded.size(), input.size());
        QVERIFY(decoded == input);
        QCOMPARE(st.bytesSoFar, int(input.size()));
    }

    // Incoming packets as the reader stores them (without marks).
    void incomingCheck_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<int>("bct");
        QTest::addColumn<bool>("force3");
        QTest::addColumn<int>("expected");
        const QByteArray big(80, char(126)); // byte sum well over 4,095
        QTest::newRow("Y type 3") << ktest::packet('Y', 4, "", 3) << 3 << false
                                  << int(kKermitCheckGood);
        QTest::newRow("Y type 2 sum > 4095")
            << ktest::packet('Y', 4, big, 2) << 2 << false << int(kKermitCheckGood);
        QTest::newRow("Y type 2 long sum > 4095")
            << ktest::packet('Y', 4, big + big, 2) << 2 << false << int(kKermitCheckGood);
        QTest::newRow("E type 1 under type 3")
            << ktest::packet('E', 0, "disk full", 1) << 3 << true << int(kKermitCheckGood);
        QTest::newRow("E type 1 under type 2")
            << ktest::packet('E', 0, "disk full", 1) << 2 << false << int(kKermitCheckGood);
        QTest::newRow("Y type 1 under type 3")
            << ktest::packet('Y', 0, "abc", 1) << 3 << true << int(kKermitCheckBadBlock);
        QTest::newRow("short") << QByteArray("\x01#\r") << 1 << false << int(kKermitCheckShort);
        QByteArray badHeader = ktest::packet('Y', 1, big + big, 3);
        badHeader[6] = char(badHeader.at(6) ^ 1);
        QTest::newRow("bad header") << badHeader << 3 << false << int(kKermitCheckBadHeader);
        QByteArray badData = ktest::packet('Y', 1, "abcdef", 3);
        badData[6] = 'X';
        QTest::newRow("bad data") << badData << 3 << false << int(kKermitCheckBadBlock);
        QTest::newRow("length beyond packet")
            << QByteArray("\x01~!Yabc\r") << 3 << false << int(kKermitCheckBadBlock);
    }
    void incomingCheck()
    {
        QFETCH(QByteArray, packet);
        QFETCH(int, bct);
        QFETCH(bool, force3);
        QFETCH(int, expected);
        freshRecord();
        k->state = kKermitStateData;
        k->bct = int16_t(bct);
        k->forceType3 = force3;
        QByteArray body = packet.mid(1, packet.size() - 2);
        KermitPacketInfo info {};
        QCOMPARE(int(kermitCheckPacket(
                     k.get(), reinterpret_cast<uint8_t *>(body.data()), int(body.size()), &info)),
            expected);
        if (expected == kKermitCheckGood) {
            QCOMPARE(info.type, packet.at(3));
            const ktest::Packet p = kcodec::parse(body, packet.at(3) == 'E' ? 1 : bct);
            QCOMPARE(QByteArray(reinterpret_cast<char *>(info.data), info.dataLen), p.data);
        }
    }

    // The reader: marks, noise, line ends, over-long packets, carried input.
    void reader_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QList<int>>("results");
        QTest::addColumn<QByteArray>("firstBody");
        QTest::newRow("plain") << QByteArray("\x01#!Y5\r") << QList<int> { 4 }
                               << QByteArray("#!Y5");
        QTest::newRow("noise first")
            << QByteArray("xx\r\n\x03\x01#!Y5\r") << QList<int> { 4 } << QByteArray("#!Y5");
        QTest::newRow("line feed ends")
            << QByteArray("\x01#!Y5\n") << QList<int> { 4 } << QByteArray("#!Y5");
        QTest::newRow("second mark dropped")
            << QByteArray("\x01#!\x01Y5\r") << QList<int> { 4 } << QByteArray("#!Y5");
        QTest::newRow("two in one read")
            << QByteArray("\x01#!Y5\r\x01#\"Y6\r") << QList<int> { 4, 4 } << QByteArray("#!Y5");
        QTest::newRow("too long, then next")
            << QByteArray("\x01") + QByteArray(2100, 'a') + "\r\x01#\"Y6\r" << QList<int> { 0, 4 }
            << QByteArray();
        QTest::newRow("three ctrl-c")
            << QByteArray("\x01#\x03\x03\x03") << QList<int> { -1 } << QByteArray();
        QTest::newRow("ctrl-c interrupted") << QByteArray("\x01#\x03\x03!\x03\r")
                                            << QList<int> { 5 } << QByteArray("#\x03\x03!\x03");
    }
    void reader()
    {
        QFETCH(QByteArray, wire);
        QFETCH(QList<int>, results);
        QFETCH(QByteArray, firstBody);
        freshRecord();
        port.queueInput(wire);
        for (int i = 0; i < results.size(); ++i) {
            uint8_t *buf = nullptr;
            const int slot = getRecvSlot(k.get(), &buf);
            QVERIFY(slot >= 0 && buf);
            const int n = readpkt(k.get(), buf, kKermitRecvBufBytes);
            QCOMPARE(n, results.at(i));
            if (i == 0 && n > 0) {
                QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), n), firstBody);
                QCOMPARE(buf[n], uint8_t(0));
            }
            freeRecvSlot(k.get(), slot);
        }
    }

    void readerDataStateReadsSmallChunks()
    {
        freshRecord();
        k->state = kKermitStateData;
        port.queueInput(ktest::packet('Y', 3, "", 3) + ktest::packet('Y', 4, "", 3));
        uint8_t buf[kKermitRecvBufBytes];
        QCOMPARE(readpkt(k.get(), buf, sizeof buf), 6);
        // The second acknowledgement is still in the port, not in the reader.
        QCOMPARE(port.input, ktest::packet('Y', 4, "", 3));
    }

    void readerTimeoutAndUnplug()
    {
        freshRecord();
        uint8_t buf[kKermitRecvBufBytes];
        k->timeScale = 0.01; // the receiver's 5 s become 50 ms
        QElapsedTimer t;
        t.start();
        QCOMPARE(readpkt(k.get(), buf, sizeof buf), 0);
        QVERIFY(t.elapsed() >= 45 && t.elapsed() < 1000);
        // Noise that never forms a packet ends the wait too.
        port.queueInput(QByteArray(4000000, 'x'));
        t.restart();
        QCOMPARE(readpkt(k.get(), buf, sizeof buf), 0);
        QVERIFY(t.elapsed() < 1000);
        port.input.clear();
        // A port that goes away during the wait ends it at once.
        freshRecord();
        port.queueInput("\x01#!Y5");
        port.disconnectAfterReadBytes = int(port.totalRead) + 2;
        t.restart();
        QCOMPARE(readpkt(k.get(), buf, sizeof buf), -1);
        QVERIFY(t.elapsed() < 1000);
        port.disconnectAfterReadBytes = -1;
        QCOMPARE(readpkt(k.get(), buf, sizeof buf), -1); // closed before the read
        QCOMPARE(readpkt(k.get(), nullptr, 0), -1);
    }

    // A reply that stops after its length field: the wait ends with the receiver's
    // time-out, however long the packet said it would be.
    void readerStalledReplyOnRealPort()
    {
        PtyPair pty;
        CPosixSerialIF serial;
        QVERIFY(serial.OpenDevicePath(pty.path()));
        QCOMPARE(kermitInitTransfer(k.get(), &st, nullptr, &serial), 0);
        k->timeScale = 0.06; // 300 ms
        QVERIFY(pty.write(QByteArray("\x01 !Y") + kcodec::toChar(20) + kcodec::toChar(3)));
        uint8_t buf[kKermitRecvBufBytes];
        QElapsedTimer t;
        t.start();
        QCOMPARE(readpkt(k.get(), buf, sizeof buf), 0);
        QVERIFY2(t.elapsed() < 300 + 500, qPrintable(QString::number(t.elapsed())));
    }

    void slots_()
    {
        freshRecord();
        uint8_t *buf = nullptr;
        QList<int> taken;
        for (int i = 0; i < kKermitRecvSlots; ++i) {
            const int s = getRecvSlot(k.get(), &buf);
            QCOMPARE(s, i);
            k->rslots[s].len = 5; // filled
            taken << s;
        }
        QCOMPARE(getRecvSlot(k.get(), &buf), -1);
        QVERIFY(!buf);
        freeRecvSlot(k.get(), 7);
        QCOMPARE(getRecvSlot(k.get(), &buf), 7);
        QCOMPARE(buf, k->rslots[7].buf);
        QCOMPARE(k->rslots[7].len, -1);
        QCOMPARE(kermitStep(kKermitActionRun, k.get(), -1, 0, "", &st), int(kKermitResultNoSlot));
    }

    // Ten write calls at most; the tenth fails even when it wrote the rest.
    void writer_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("chunk");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("calls");
        QTest::newRow("one call") << 100 << 100 << 0 << 1;
        QTest::newRow("nine calls") << 100 << 12 << 0 << 9;
        QTest::newRow("tenth call finishes") << 100 << 10 << -1 << 10;
        QTest::newRow("never writes") << 100 << 0 << -1 << 10;
    }
    void writer()
    {
        QFETCH(int, count);
        QFETCH(int, chunk);
        QFETCH(int, result);
        QFETCH(int, calls);
        ChunkedWriter w;
        w.chunk = uint32_t(chunk);
        QCOMPARE(kermitInitTransfer(k.get(), &st, nullptr, &w), 0);
        const QByteArray bytes(count, 'x');
        QCOMPARE(
            tx_data(k.get(), reinterpret_cast<const uint8_t *>(bytes.constData()), count), result);
        QCOMPARE(w.calls, calls);
        QCOMPARE(w.output, bytes.left(std::min(count, chunk * calls)));
    }
};

QTEST_MAIN(TestKermitPacket)
#include "tst_kermit_packet.moc"
