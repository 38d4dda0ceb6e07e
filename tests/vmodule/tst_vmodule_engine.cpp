// The virtual module driven by the real command engine over its pseudo-terminal.
#include "vmodule_rig.h"

#include <QFile>
#include <QTest>
#include <atomic>
#include <thread>

using Call = std::function<eResult_t(CCmdEngine &)>;
Q_DECLARE_METATYPE(Call)

class TestVmoduleEngine : public QObject
{
    Q_OBJECT

private slots:
    // Identity reads are checked against the module by tst_ctl's info test; here the
    // negotiated version and the board the product ID gives.
    void connectsAtVersion_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<int>("protocol");
        QTest::newRow("numeric-ID receiver") << "DECODER10G2" << 2;
        QTest::newRow("name-based router") << "ROUTER-16X16" << 2;
        QTest::newRow("recorder") << "RECORDER-PLUS" << 2;
        // Version 1 modules cannot be asked; the engine takes them for the hub.
        QTest::newRow("protocol 1") << "USBHUB" << 1;
    }
    void connectsAtVersion()
    {
        QFETCH(QString, product);
        QFETCH(int, protocol);
        VmConfig c = fastConfig(product);
        c.protocolVersion = uint32_t(protocol);
        VmRig rig;
        QVERIFY(rig.start(c, false));
        QVERIFY(rig.engine->IsModule());
        QCOMPARE(rig.engine->ConnectModule(), eConnectOK);
        QCOMPARE(rig.engine->GetCommProtocol().getProtocolVersion(), uint32_t(protocol));
        QCOMPARE(rig.engine->GetBoardID(), CProductID::GetBoardIDFromProductID(product));
        QString text;
        QCOMPARE(rig.engine->GetModuleName(text), eResultOK);
        QCOMPARE(text, c.sysName);
    }

    // An upload over the pseudo-terminal (the Kermit settings themselves are the sender's
    // and the receiver's tests), then verification of what arrived.
    void uploadAndVerify_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("size");
        QTest::addColumn<uint32_t>("verdict");
        QTest::newRow("verified, 600 KB") << "verify=verified" << 600000 << 3u;
        QTest::newRow("signature, no attributes")
            << "verify=signature,kermit-attributes=0" << 3000 << 6u;
        QTest::newRow("empty file") << "verify=verified" << 0 << 3u;
        QTest::newRow("never finishes") << "verify=never" << 1000 << 1u;
    }

    void uploadAndVerify()
    {
        QFETCH(QString, settings);
        QFETCH(int, size);
        QFETCH(uint32_t, verdict);
        VmConfig c = fastConfig("DECODER10G2");
        QVERIFY(vmParseModuleSettings(settings, c, nullptr));
        VmRig rig;
        c.storeDir = rig.dir.filePath("store");
        QVERIFY(rig.start(c));

        const QByteArray content = testPayload(size, uint32_t(size) + 7);
        const QString path = rig.file(content, "image.vlts");
        QVERIFY(rig.engine->UploadFile(path));
        QVERIFY(waitFor([&] { return !rig.module->receivedFiles().isEmpty(); }, 1000));
        const KermitReceivedFile got = rig.module->receivedFiles().last();
        QCOMPARE(got.name, path);
        QVERIFY(got.complete);
        QCOMPARE(sha256Hex(got.data), sha256Hex(content));
        if (c.kermitAttributes) { // the size is known to both ends only through the attributes
            QCOMPARE(got.declaredSize, qint64(size));
            QCOMPARE(rig.engine->GetProgress(), size > 0 ? 1.0f : 0.0f);
        }
        QFile stored(c.storeDir + "/image.vlts");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(sha256Hex(stored.readAll()), sha256Hex(content));

        // Back in packet mode: verification runs on what arrived.
        QCOMPARE(rig.engine->RequestFileVerification(path), eResultOK);
        uint32_t state = 0;
        QCOMPARE(rig.engine->GetVerificationState(state), eResultOK);
        QCOMPARE(state, 1u);
        if (verdict == 1) {
            // Still checking long after the configured time.
            QThread::msleep(uint(c.verifyDelayMs) * 4);
            QCOMPARE(rig.engine->GetVerificationState(state), eResultOK);
        } else {
            QVERIFY(waitFor(
                [&] { return rig.engine->GetVerificationState(state) == eResultOK && state != 1; },
                2000));
        }
        QCOMPARE(state, verdict);
    }

    // Each fault gives its result within the phase limits of the exchange (2000 ms for the
    // header, 1250 ms for the payload), however the reply breaks off.
    void replyFaults_data()
    {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("noise before replies") << "fault-noise=40" << int(eResultOK) << 500;
        QTest::newRow("bad CRC") << "fault-bad-crc-every=1" << int(eResultInvalidChecksum) << 500;
        QTest::newRow("dropped reply") << "fault-drop-every=1" << int(eResultTimeout) << 2500;
        QTest::newRow("slow but in time") << "fault-slow-ms=300" << int(eResultOK) << 800;
        QTest::newRow("too slow") << "fault-slow-ms=2400" << int(eResultTimeout) << 2500;
        QTest::newRow("stalls in the payload")
            << "fault-stall-after-bytes=10" << int(eResultTimeout) << 1250 + 500;
        QTest::newRow("NACK UNSUPCMD")
            << "fault-nack=UNSUPCMD" << int(eResultUnsupportedCmd) << 500;
        QTest::newRow("NACK for another type")
            << "fault-nack=TIMEDOUT,fault-nack-type=EDTM" << int(eResultOK) << 500;
    }

    void replyFaults()
    {
        QFETCH(QString, faults);
        QFETCH(int, expected);
        QFETCH(int, maxMs);
        VmConfig c = fastConfig("DECODER10G2");
        VmRig rig;
        QVERIFY(rig.start(c));

        QVERIFY(vmParseModuleSettings(faults, c, nullptr));
        rig.module->setFaults(c.faults);
        uint32_t lock = 77;
        QElapsedTimer t;
        t.start();
        QCOMPARE(int(rig.engine->GetUpdateLock(lock)), expected);
        QVERIFY2(t.elapsed() < maxMs, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(lock, expected == eResultOK ? 0u : 77u);

        // Switching the fault off restores normal service (late replies are flushed).
        rig.module->setFaults(VmFaults());
        QThread::msleep(expected == eResultTimeout ? 800 : 0);
        QCOMPARE(rig.engine->GetUpdateLock(lock), eResultOK);
        QCOMPARE(lock, 0u);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("expected");
        static QString text, answer; // out-values: only the result matters here
        static uint32_t value;
        QTest::newRow("integer into a text parameter") << "DECODER10G2" << Call([](CCmdEngine &e) {
            return e.SetIntParamByName("eParamID_SysName", 5);
        }) << int(eResultGetSetCmdWrongType);
        QTest::newRow("text into an integer parameter") << "DECODER10G2" << Call([](CCmdEngine &e) {
            return e.SetStringParamByName("eParamID_Authentication", "1", answer);
        }) << int(eResultGetSetCmdWrongType);
        QTest::newRow("PGST of an integer parameter")
            << "DECODER10G2" << Call([](CCmdEngine &e) { return e.GetStringParam(0x20E, text); })
            << int(eResultGetSetCmdWrongType);
        QTest::newRow("unknown name") << "DECODER10G2" << Call([](CCmdEngine &e) {
            return e.GetIntParamByName("eParamID_NoSuchThing", value);
        }) << int(eResultGetSetCmdNoSuchParamID);
        QTest::newRow("media LAN 2 on a one-media board")
            << "RECORDER-PLUS" << Call([](CCmdEngine &e) {
                   return e.GetModuleMACAddress(CCmdEngine::eNetIfMedia2, text);
               })
            << int(eResultGetSetCmdNoSuchParamID);
        QTest::newRow("numeric network ID on a name-based board")
            << "ROUTER-16X16"
            << Call([](CCmdEngine &e) { return e.GetStringParamByID(0x102, text); })
            << int(eResultGetSetCmdNoSuchParamID);
        QTest::newRow("request type not served") << "DECODER10G2" << Call([](CCmdEngine &e) {
            pkt_t pkt;
            e.GetCommProtocol().makeEmptyPkt(&pkt, PktType("YUHU"));
            e.GetCommProtocol().sendPkt(&pkt);
            return e.GetCommProtocol().recvPkt(PktType("YUHU"), text, kWildcardParamID);
        }) << int(eResultUnsupportedCmd);
    }

    void refusals()
    {
        QFETCH(QString, product);
        QFETCH(Call, call);
        QFETCH(int, expected);
        VmRig rig;
        QVERIFY(rig.start(fastConfig(product)));
        QCOMPARE(int(call(*rig.engine)), expected);
        // A refusal changes nothing: the name is still the configured one.
        QString text;
        QCOMPARE(rig.engine->GetModuleName(text), eResultOK);
        QCOMPARE(text, fastConfig(product).sysName);
    }

    void kermitFaults_data()
    {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<bool>("uploads");
        QTest::newRow("NAK every 3rd data packet") << "fault-kermit-nak-every=3" << true;
        QTest::newRow("previous sequence 3 times") << "fault-kermit-prev-seq=3" << true;
        QTest::newRow("previous sequence beyond the retry limit")
            << "fault-kermit-prev-seq=12" << false;
    }

    void kermitFaults()
    {
        QFETCH(QString, faults);
        QFETCH(bool, uploads);
        VmConfig c = fastConfig("DECODER10G2");
        QVERIFY(vmParseModuleSettings(faults, c, nullptr));
        VmRig rig;
        QVERIFY(rig.start(c));
        const QByteArray content = testPayload(12000, 5);

        QCOMPARE(rig.engine->UploadFile(rig.file(content)), uploads);
        QCOMPARE(rig.module->receivedFiles().size(), uploads ? 1 : 0);
        if (uploads)
            QCOMPARE(sha256Hex(rig.module->receivedFiles().first().data), sha256Hex(content));
        // Either way the module answers packets again afterwards.
        QVERIFY(waitFor(
            [&] {
                uint32_t lock = 0;
                return rig.engine->GetUpdateLock(lock) == eResultOK;
            },
            8000));
    }

    // The owner's cancel flag: an upload stops with "User Quit", which reaches the module;
    // a parameter write after it still goes out; a wait on a silent module ends promptly.
    void cancel()
    {
        VmRig rig;
        QVERIFY(rig.start(fastConfig("DECODER10G2")));
        std::atomic<bool> stop { false };
        rig.engine->GetCommProtocol().SetCancelFlag(&stop);
        const QString path = rig.file(testPayload(400000, 9));
        std::thread stopper([&] {
            waitFor([&] { return rig.engine->GetProgress() > 0.1f; }, 10000);
            stop = true;
        });
        const bool uploaded = rig.engine->UploadFile(path);
        stopper.join();
        QVERIFY(!uploaded);
        QVERIFY(waitFor(
            [&] { return rig.module->lastTransferError() == "sender error: User Quit"; }, 2000));
        QCOMPARE(rig.engine->SetModuleUpdateState(8), eResultDisconnected);
        QVERIFY(waitFor([&] { return rig.requestLines().contains("PSID 0x00000206 8"); }, 2000));

        VmFaults silent;
        silent.silenceAfter = 0;
        rig.module->setFaults(silent);
        stop = false;
        QElapsedTimer t;
        std::thread later([&] {
            QThread::msleep(300);
            t.start();
            stop = true;
        });
        uint32_t lock = 0;
        QCOMPARE(rig.engine->GetUpdateLock(lock), eResultDisconnected);
        later.join();
        QVERIFY2(t.elapsed() < 200, qPrintable(QString::number(t.elapsed())));
    }

    // Two uploads at once, one thread and one port each: both modules get their file whole.
    void concurrentUploads()
    {
        VmRig rigs[2];
        QByteArray contents[2];
        QString paths[2];
        bool uploaded[2] = {};
        std::thread threads[2];
        for (int i = 0; i < 2; ++i) {
            QVERIFY(rigs[i].start(fastConfig("DECODER10G2")));
            contents[i] = testPayload(300000 - 100000 * i, 31 + i);
            paths[i] = rigs[i].file(contents[i]);
        }
        for (int i = 0; i < 2; ++i)
            threads[i]
                = std::thread([&, i] { uploaded[i] = rigs[i].engine->UploadFile(paths[i]); });
        for (std::thread &t : threads)
            t.join();
        for (int i = 0; i < 2; ++i) {
            QVERIFY(uploaded[i]);
            QVERIFY(waitFor([&] { return !rigs[i].module->receivedFiles().isEmpty(); }, 2000));
            QCOMPARE(
                sha256Hex(rigs[i].module->receivedFiles().first().data), sha256Hex(contents[i]));
        }
    }
};

QTEST_MAIN(TestVmoduleEngine)
#include "tst_vmodule_engine.moc"
