// End to end: the engine's UploadFile to the virtual module's receiver on a pty.

#include "../vmodule/vmodule_rig.h"

#include <QFile>
#include <QtTest>

class TestUploadVmodule : public QObject
{
    Q_OBJECT

private slots:
    void upload_data()
    {
        QTest::addColumn<char>("chkt");
        QTest::addColumn<bool>("longPackets");
        QTest::addColumn<char>("qbin");
        QTest::addColumn<char>("rept");
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("nakEvery");
        QTest::addColumn<int>("size");
        QTest::newRow("defaults") << '3' << true << 'Y' << '~' << 1 << 0 << 600000;
        QTest::newRow("type 1") << '1' << true << 'Y' << '~' << 1 << 0 << 100000;
        QTest::newRow("type 2") << '2' << true << 'Y' << '~' << 1 << 0 << 100000;
        QTest::newRow("type 3 forced") << '5' << true << 'Y' << '~' << 1 << 0 << 100000;
        QTest::newRow("short packets, 8th-bit prefix, no repeats")
            << '3' << false << '&' << ' ' << 1 << 0 << 60000;
        QTest::newRow("window 20, NAK every 3rd") << '3' << true << 'Y' << '~' << 20 << 3 << 100000;
        QTest::newRow("empty file") << '3' << true << 'Y' << '~' << 1 << 0 << 0;
    }
    void upload()
    {
        QFETCH(char, chkt);
        QFETCH(bool, longPackets);
        QFETCH(char, qbin);
        QFETCH(char, rept);
        QFETCH(int, window);
        QFETCH(int, nakEvery);
        QFETCH(int, size);
        VmConfig c = fastConfig("DECODER10G2");
        c.kermitChkt = chkt;
        c.kermitLongPackets = longPackets;
        c.kermitQbin = qbin;
        c.kermitRept = rept;
        c.kermitWindow = window;
        VmRig rig;
        QVERIFY(rig.start(c));
        VmFaults faults;
        faults.kermitNakEvery = nakEvery;
        rig.module->setFaults(faults);
        QCOMPARE(rig.engine->ConnectModule(), eConnectOK);

        const QByteArray content = testPayload(size, uint32_t(size) ^ 0x5a5a);
        const QString path = rig.dir.filePath("image.vlts");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();

        QVERIFY(rig.engine->UploadFile(path));
        QVERIFY(waitFor([&] { return !rig.module->receivedFiles().isEmpty(); }, 2000));
        const KermitReceivedFile got = rig.module->receivedFiles().last();
        QCOMPARE(got.name, path);
        QVERIFY(got.complete);
        QCOMPARE(sha256(got.data), sha256(content));
        QCOMPARE(got.declaredSize, qint64(size));
        QCOMPARE(rig.engine->GetProgress(), size > 0 ? 1.0f : 0.0f);
        // The module is back in packet mode afterwards.
        QString name;
        QCOMPARE(rig.engine->GetModuleName(name), eResultOK);
    }

    // The module pulled mid-transfer: failure, promptly.
    void unplugDuringUpload()
    {
        VmRig rig;
        QVERIFY(rig.start(fastConfig("DECODER10G2")));
        QCOMPARE(rig.engine->ConnectModule(), eConnectOK);
        VmFaults faults;
        faults.unplugAfterBytes = 100000;
        rig.module->setFaults(faults);
        const QString path = rig.dir.filePath("image.vlts");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testPayload(400000, 3));
        f.close();
        QElapsedTimer t;
        t.start();
        QVERIFY(!rig.engine->UploadFile(path));
        QVERIFY(t.elapsed() < 10000);
    }
};

QTEST_MAIN(TestUploadVmodule)
#include "tst_upload_vmodule.moc"
