// The protocol over the real serial layer, with the test playing the module on a
// pseudo-terminal's master side.
#include "comm_protocol.h"
#include "fake_serial_if.h"
#include "log_capture.h"
#include "posix_serial_if.h"
#include "pty_param_responder.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

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

    // A late answer to an earlier request ("stale") must not be taken for the next one.
    void roundTrips_data()
    {
        QTest::addColumn<QByteArray>("stale");
        QTest::addColumn<QByteArray>("noise");
        QTest::newRow("clean") << QByteArray() << QByteArray();
        QTest::newRow("noise first") << QByteArray() << QByteArray("\xff\x00PIDPIDXX", 10);
        QTest::newRow("stale reply waiting") << wire::pidcInt(0x101, 0, 999) << QByteArray();
    }

    void roundTrips()
    {
        QFETCH(QByteArray, stale);
        QFETCH(QByteArray, noise);
        PtyPair pty;
        CPosixSerialIF port;
        QVERIFY(port.OpenDevicePath(pty.path()));
        CCommProtocol proto(&port, nullptr);
        QVERIFY(pty.write(stale));
        QThread::msleep(20);
        PtyParamResponder responder(pty, noise);
        for (quint32 id : { 0x101u, 0x20Au, 0xFFFFFFFEu }) {
            QString value;
            QCOMPARE(askParam(proto, id, value), eResultOK);
            QCOMPARE(value, QString::number(quint64(id) + 1));
        }
    }

    void unplugDuringHuntIsNoticedAtOnce()
    {
        PtyPair pty;
        CPosixSerialIF port;
        QVERIFY(port.OpenDevicePath(pty.path()));
        CCommProtocol proto(&port, nullptr);
        LogCapture log;
        std::thread peer([&pty] {
            pty.read(1000, 16);
            pty.write("PI");
            pty.closeMaster();
        });
        QElapsedTimer t;
        t.start();
        QString value = "untouched";
        const eResult_t rc = askParam(proto, 0x101, value);
        peer.join();
        QCOMPARE(rc, eResultDisconnected);
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
