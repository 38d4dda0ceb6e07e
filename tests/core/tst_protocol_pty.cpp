// The protocol over the real serial layer, with the test playing the module on a
// pseudo-terminal's master side.
#include "comm_protocol.h"
#include "fake_serial_if.h"
#include "log_capture.h"
#include "posix_serial_if.h"
#include "protocol_test_util.h"
#include "pty_pair.h"

#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <thread>

using ptest::be32;
using ptest::wireFrame;

namespace {

// Answers each "PGID" request with a "PIDC" carrying the parameter ID plus one as value.
class Responder
{
public:
    Responder(PtyPair &pty, QByteArray prefix = {}, bool hangUpInstead = false)
        : mThread([this, &pty, prefix, hangUpInstead] {
            while (!mStop) {
                const QByteArray req = pty.read(50, 16);
                if (req.size() < 16)
                    continue;
                if (hangUpInstead) {
                    pty.write(prefix);
                    pty.closeMaster();
                    return;
                }
                const quint32 id = quint32(uchar(req[8])) << 24 | quint32(uchar(req[9])) << 16
                    | quint32(uchar(req[10])) << 8 | quint32(uchar(req[11]));
                pty.write(prefix + wireFrame("PIDC", be32(id) + be32(0) + be32(0) + be32(id + 1)));
            }
        })
    { }
    ~Responder()
    {
        mStop = true;
        mThread.join();
    }

private:
    std::atomic<bool> mStop { false };
    std::thread mThread;
};

eResult_t askParam(CCommProtocol &proto, quint32 id, QString &value)
{
    pkt_t p;
    proto.makePktWord(&p, PktType("PGID"), id);
    proto.sendPkt(&p);
    return proto.recvPkt(PktType("PGID"), value, id);
}

} // namespace

class TestProtocolPty : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules("trivo.*.debug=true\ntrivo.protocol.hex.debug=false");
    }

    void roundTrips_data()
    {
        QTest::addColumn<QByteArray>("noise");
        QTest::newRow("clean") << QByteArray();
        QTest::newRow("noise first") << QByteArray("\xff\x00PIDPIDXX", 10);
    }

    void roundTrips()
    {
        QFETCH(QByteArray, noise);
        PtyPair pty;
        CPosixSerialIF port;
        QVERIFY(port.OpenDevicePath(pty.path()));
        CCommProtocol proto(&port, nullptr);
        Responder responder(pty, noise);
        for (quint32 id : { 0x101u, 0x20Au, 0xFFFFFFFEu }) {
            QString value;
            QCOMPARE(askParam(proto, id, value), eResultOK);
            QCOMPARE(value, QString::number(quint64(id) + 1));
        }
    }

    // A late answer to an earlier request must not be taken for the next one.
    void staleReplyIsFlushed()
    {
        PtyPair pty;
        CPosixSerialIF port;
        QVERIFY(port.OpenDevicePath(pty.path()));
        CCommProtocol proto(&port, nullptr);
        QVERIFY(pty.write(wireFrame("PIDC", be32(0x55) + be32(0) + be32(0) + be32(999))));
        QThread::msleep(20);
        Responder responder(pty);
        QString value;
        QCOMPARE(askParam(proto, 0x55, value), eResultOK);
        QCOMPARE(value, QStringLiteral("86"));
    }

    void unplugDuringHuntIsNoticedAtOnce()
    {
        PtyPair pty;
        CPosixSerialIF port;
        QVERIFY(port.OpenDevicePath(pty.path()));
        CCommProtocol proto(&port, nullptr);
        LogCapture log;
        Responder responder(pty, "PI", true);
        QElapsedTimer t;
        t.start();
        QString value = "untouched";
        QCOMPARE(askParam(proto, 0x101, value), eResultDisconnected);
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!port.IsOpen());
        QCOMPARE(value, QStringLiteral("untouched"));
        QVERIFY(log.contains("device unplug detected, aborting with eNakDisconnected"));
    }

    // A short write closes the port; the reply wait then ends as a disconnection.
    void shortWriteEndsAsDisconnected()
    {
        FakeSerialIF port;
        port.shortWriteAfterBytes = 5;
        CCommProtocol proto(&port, nullptr);
        QElapsedTimer t;
        t.start();
        QString value;
        QCOMPARE(askParam(proto, 0x101, value), eResultDisconnected);
        QVERIFY(t.elapsed() < 500);
        QCOMPARE(port.output.size(), 5);
        QVERIFY(!port.IsOpen());
    }
};

QTEST_MAIN(TestProtocolPty)
#include "tst_protocol_pty.moc"
