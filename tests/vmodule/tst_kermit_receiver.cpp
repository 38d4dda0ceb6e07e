// The module's Kermit receiver: damaged input, and whole transfers from an independent
// sender (the packaged gkermit, run as a black box on a pseudo-terminal).
#include "gkermit_peer.h"
#include "kermit_codec.h"
#include "kermit_receiver.h"
#include "pty_pair.h"
#include "test_data.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

Q_DECLARE_METATYPE(KermitReceiverOptions)

class TestKermitReceiver : public QObject
{
    Q_OBJECT

private slots:
    void truncatedField_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("control prefix at the end") << QByteArray("AB#");
        QTest::newRow("repeat prefix at the end") << QByteArray("A~");
        QTest::newRow("repeat count at the end") << QByteArray("A~$");
        QTest::newRow("8th-bit prefix at the end") << QByteArray("A&");
        QTest::newRow("repeat of a prefixed byte cut") << QByteArray("~$#");
    }

    void truncatedField()
    {
        QFETCH(QByteArray, field);
        // A field cut inside a prefix sequence is refused rather than half-decoded.
        QByteArray out;
        QVERIFY(!kcodec::decodeField(field, '#', '&', '~', out));
    }

    void rejectsDamagedPackets_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<bool>("accepted");
        // The sender's default Send-Init, as it appears on the line.
        const QByteArray init = QByteArray("\x01") + "0 S~H @-#Y3~.?5U:" + "\r";
        QTest::newRow("good Send-Init") << init << true;
        QByteArray badCheck = init;
        badCheck[badCheck.size() - 2] = ';';
        QTest::newRow("bad check") << badCheck << false;
        QByteArray badLength = init;
        badLength[1] = '1';
        QTest::newRow("length does not match") << badLength << false;
        QTest::newRow("noise before the mark") << QByteArray("xyz\x0D\x0A") + init << true;
        QTest::newRow("restarted by a new mark") << QByteArray("\x01") + "0 S~H" + init << true;
    }

    void rejectsDamagedPackets()
    {
        QFETCH(QByteArray, packet);
        QFETCH(bool, accepted);
        KermitReceiver rx { KermitReceiverOptions() };
        const QByteArray reply = rx.feed(packet, 0);
        QVERIFY(!reply.isEmpty());
        // A good Send-Init is acknowledged ('Y', sequence 0); a damaged one gets a NAK.
        QCOMPARE(reply.size() > 3 && reply[3] == 'Y', accepted);
        QCOMPARE(rx.nakCount(), accepted ? 0 : 1);
        if (accepted) {
            // The acknowledgement carries our Send-Init with a type 1 check.
            QVERIFY(kcodec::parse(reply.mid(1, reply.size() - 2), 1).valid);
        }
    }

    void fromGkermit_data()
    {
        QTest::addColumn<KermitReceiverOptions>("options");
        QTest::addColumn<int>("size");
        const KermitReceiverOptions d;
        auto with = [d](const std::function<void(KermitReceiverOptions &)> &f) {
            KermitReceiverOptions o = d;
            f(o);
            return o;
        };
        QTest::newRow("defaults") << d << 50000;
        QTest::newRow("empty file") << d << 0;
        QTest::newRow("one byte") << d << 1;
        QTest::newRow("type 1 offered") << with([](auto &o) { o.chkt = '1'; }) << 20000;
        QTest::newRow("type 2 offered") << with([](auto &o) { o.chkt = '2'; }) << 20000;
        QTest::newRow("8th-bit prefix") << with([](auto &o) { o.qbin = '&'; }) << 20000;
        QTest::newRow("no repeat counts") << with([](auto &o) { o.rept = ' '; }) << 20000;
        QTest::newRow("short packets only") << with([](auto &o) { o.longPackets = false; }) << 8000;
        QTest::newRow("long packets of 500")
            << with([](auto &o) { o.maxPacketLen = 500; }) << 20000;
        QTest::newRow("no attributes") << with([](auto &o) { o.attributes = false; }) << 5000;
        QTest::newRow("NAK every 3rd") << with([](auto &o) { o.nakEvery = 3; }) << 20000;
    }

    void fromGkermit()
    {
        QFETCH(KermitReceiverOptions, options);
        QFETCH(int, size);
        if (!GkermitPeer::available())
            QSKIP("gkermit is not installed");

        QTemporaryDir dir;
        const QByteArray content = testPayload(size, uint32_t(size) ^ 0x5EED);
        QVERIFY(writeTestFile(dir.filePath("payload.bin"), content));
        PtyPair pty;
        QVERIFY(pty.isValid());
        GkermitPeer sender;
        QVERIFY(sender.start({ "-i", "-q", "-s", "payload.bin" }, pty.path(), dir.path()));

        options.timeoutMs = 2000;
        KermitReceiver rx(options);
        QElapsedTimer t;
        t.start();
        while (rx.status() == KermitReceiver::Status::Running && t.elapsed() < 20000) {
            const QByteArray in = pty.read(20, 1);
            QByteArray out = in.isEmpty() ? rx.poll(t.elapsed()) : rx.feed(in, t.elapsed());
            if (!out.isEmpty())
                QVERIFY(pty.write(out));
        }
        QVERIFY2(rx.status() == KermitReceiver::Status::Complete, qPrintable(rx.error()));
        QCOMPARE(sender.wait(5000), 0);

        QCOMPARE(rx.files().size(), 1);
        const KermitReceivedFile &got = rx.files().first();
        // gkermit may announce the name in upper case.
        QCOMPARE(got.name.toLower(), QString("payload.bin"));
        QVERIFY(got.complete);
        QCOMPARE(got.data.size(), content.size());
        QCOMPARE(sha256Hex(got.data), sha256Hex(content));
        if (options.attributes)
            QCOMPARE(got.declaredSize, qint64(size));
        if (options.nakEvery)
            QVERIFY(rx.nakCount() > 0);
    }
};

QTEST_MAIN(TestKermitReceiver)
#include "tst_kermit_receiver.moc"
