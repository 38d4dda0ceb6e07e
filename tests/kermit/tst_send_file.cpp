// File upload over the protocol: refusals, stop and failures. Whole uploads and their
// progress run against the virtual module (tst_vmodule_engine, tst_update_sequence).

#include "cmd_engine.h"
#include "comm_protocol.h"
#include "fake_serial_if.h"
#include "kermit_test_util.h"
#include "test_data.h"
#include "wire_frame.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

using wire::be32;
using wire::frame;

namespace {

class RecordingProgress : public CProgressIF
{
public:
    QList<float> values;
    void SetProgress(float f) override { values.append(f); }
    float GetProgress() override { return values.isEmpty() ? 0.0f : values.last(); }
};

} // namespace

class TestSendFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    FakeSerialIF port;
    ktest::Receiver rx;
    RecordingProgress progress;
    std::atomic<bool> closingFlag { false };
    QByteArray edtmReply;
    bool cancelOnEdtm = false;
    QByteArray content;
    int edtmCount = 0;

    QString makeFile(int size, const QString &name = "fw.vlts")
    {
        content = ktest::content("random", size);
        const QString path = dir.filePath(name);
        return writeTestFile(path, content) ? path : QString();
    }

    // The module: answers "EDTM" as told, then acts as the Kermit receiver.
    void reset()
    {
        port.output.clear();
        port.writes.clear();
        port.input.clear();
        port.setOpen(true);
        progress.values.clear();
        closingFlag = false;
        rx = ktest::Receiver();
        edtmReply = frame("DTMI", be32(0));
        cancelOnEdtm = false;
        edtmCount = 0;
        port.setResponder([this](const QByteArray &w) -> QByteArray {
            if (w.startsWith("EDTM")) {
                ++edtmCount;
                closingFlag = cancelOnEdtm;
                return edtmReply;
            }
            return rx.respond(w);
        });
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void init() { reset(); }

    // Failures before the transfer: no Kermit packet goes out. The longest path the file
    // list takes still reaches the sender (and fails there: no such file).
    void refusedBeforeKermit_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("pathLength");
        QTest::addColumn<int>("edtmSent");
        QTest::addColumn<QByteArray>("kermitSent");
        QTest::newRow("NACK UNSUPCMD") << frame("NACK", "UNSUPCMD") << 0 << 1 << QByteArray();
        QTest::newRow("no reply") << QByteArray() << 0 << 1 << QByteArray();
        QTest::newRow("path of 1023 bytes")
            << frame("DTMI", be32(0)) << 1023 << 1 << QByteArray("S");
        QTest::newRow("path of 1024 bytes") << QByteArray() << 1024 << 0 << QByteArray();
    }
    void refusedBeforeKermit()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, pathLength);
        QFETCH(int, edtmSent);
        QFETCH(QByteArray, kermitSent);
        QByteArray path = QFile::encodeName(makeFile(10));
        if (pathLength > 0)
            path = "/" + QByteArray(pathLength - 1, 'p');
        edtmReply = reply;
        CCommProtocol proto(&port, &progress, &closingFlag);
        QVERIFY(!proto.sendFile(path.constData()));
        QCOMPARE(edtmCount, edtmSent);
        QCOMPARE(rx.types(), kermitSent);
        if (kermitSent.isEmpty())
            QCOMPARE(port.writes.size(), edtmSent); // nothing but "EDTM", not even noise
    }

    // Failures during the transfer are never reported as success. A stop set meanwhile
    // (the owner's cancel flag) sends "User Quit" to a module that may be in transfer mode.
    void failsDuringTransfer_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("sent"); // pattern over the packet types sent
        QTest::newRow("error packet") << "error"
                                      << "^SFAD+$";
        QTest::newRow("silent receiver") << "silent"
                                         << "^SFAD+E$";
        QTest::newRow("unplug") << "unplug"
                                << "^SFAD+$";
        QTest::newRow("stop in data") << "stop"
                                      << "^SFAD+E$";
        QTest::newRow("stop in the EDTM wait") << "stop in EDTM"
                                               << "^E$";
        QTest::newRow("stop before the start") << "stop at once"
                                               << "^$";
        QTest::newRow("cannot open") << "missing"
                                     << "^S$";
    }
    void failsDuringTransfer()
    {
        QFETCH(QString, fault);
        QFETCH(QString, sent);
        QString path = makeFile(100000);
        if (fault == "missing")
            path = dir.filePath("absent.vlts");
        rx.override = [this, fault](const ktest::Packet &p, int) -> QByteArray {
            if (p.type != 'D' || p.seq != 6)
                return {};
            if (fault == "error")
                return ktest::packet('E', p.seq, "No space", 3);
            if (fault == "silent")
                return QByteArray("");
            if (fault == "unplug")
                port.setOpen(false);
            if (fault == "stop")
                closingFlag = true;
            return {};
        };
        closingFlag = fault == "stop at once";
        cancelOnEdtm = fault == "stop in EDTM";
        CCommProtocol proto(&port, &progress);
        proto.SetCancelFlag(&closingFlag);
        proto.SetKermitTimeScaleForTesting(0.004);
        QElapsedTimer t;
        t.start();
        QVERIFY(!proto.sendFile(QFile::encodeName(path).constData()));
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(!rx.done());
        QVERIFY2(QRegularExpression(sent).match(QString(rx.types())).hasMatch(), rx.types());
        QCOMPARE(edtmCount, fault == "stop at once" ? 0 : 1);
        if (rx.types().endsWith('E'))
            QCOMPARE(rx.received.last().data,
                QByteArray(fault == "silent" ? "Too many retries" : "User Quit"));
    }

    // One upload at a time per protocol: a second call meanwhile fails without touching
    // the port, and the protocol takes uploads again afterwards.
    void secondUploadRefused()
    {
        const QByteArray path = QFile::encodeName(makeFile(1000));
        CCommProtocol proto(&port, &progress);
        int nested = -1;
        qsizetype writesAround[2] = {};
        rx.override = [&](const ktest::Packet &p, int) {
            if (p.type == 'D' && nested < 0) {
                writesAround[0] = port.writes.size();
                nested = proto.sendFile(path.constData());
                writesAround[1] = port.writes.size();
            }
            return QByteArray();
        };
        QVERIFY(proto.sendFile(path.constData()));
        QCOMPARE(nested, 0);
        QCOMPARE(writesAround[1], writesAround[0]);
        reset();
        QVERIFY(proto.sendFile(path.constData()));
        QVERIFY(rx.done());
    }

    // The engine's entry converts the path to UTF-8.
    void uploadFileUtf8Path()
    {
        const QString path = makeFile(5000, QString::fromUtf8("fïrmwäre €.vlts"));
        auto *enginePort = new FakeSerialIF;
        enginePort->setResponder([this](const QByteArray &w) -> QByteArray {
            return w.startsWith("EDTM") ? edtmReply : rx.respond(w);
        });
        CCmdEngine engine(enginePort, nullptr, nullptr, 0);
        QVERIFY(engine.UploadFile(path));
        QCOMPARE(rx.file().name, path);
        QVERIFY(rx.file().data == content);
        QCOMPARE(engine.GetProgress(), 1.0f);
    }
};

QTEST_MAIN(TestSendFile)
#include "tst_send_file.moc"
