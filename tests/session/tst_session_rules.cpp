// Rules and texts the window and the command-line tool share: status texts, device
// selection, type and display names, discovery list entries. The common cases run
// through tst_ctl's info test and tst_discovery; the rows here are the edge cases.
#include "discover_thread.h"
#include "product_id.h"
#include "session_rules.h"

#include <QtTest>

class TstSessionRules : public QObject
{
    Q_OBJECT

private slots:
    void connectStatusText_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QString failed = "Connection to module failed: (";
        QTest::newRow("port not opened") << false << 0 << "No Device";
        QTest::newRow("0") << true << 0 << "Connected to module";
        QTest::newRow("3") << true << 3 << failed + "Connection error)";
        QTest::newRow("4 same as 3") << true << 4 << failed + "Connection error)";
        QTest::newRow("7") << true << 7 << "Unknown connection error";
        QTest::newRow("-1") << true << -1 << "Unknown connection error";
    }

    void connectStatusText()
    {
        QFETCH(bool, opened);
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(SessionRules::ConnectStatusText(opened, code), text);
    }

    void selectCandidate_data()
    {
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<QStringList>("serials");
        QTest::addColumn<int>("previousPort");
        QTest::addColumn<QString>("lastSerial");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("bySerial");
        QTest::newRow("empty") << QList<int> {} << QStringList {} << 0 << "A" << -1 << false;
        QTest::newRow("first by default")
            << QList<int> { 1, 2 } << QStringList { "A", "B" } << 5 << "X" << 0 << false;
        QTest::newRow("same port index")
            << QList<int> { 1, 2 } << QStringList { "A", "B" } << 2 << "X" << 1 << false;
        QTest::newRow("serial beats port index")
            << QList<int> { 1, 2 } << QStringList { "A", "B" } << 1 << "B" << 1 << true;
        QTest::newRow("serial on first entry")
            << QList<int> { 0, 3, 4 } << QStringList { "C", "A", "B" } << 4 << "C" << 0 << true;
        QTest::newRow("no selection before means port 0")
            << QList<int> { 2, 0 } << QStringList { "A", "B" } << 0 << "" << 1 << false;
        QTest::newRow("unreadable serial is the index text")
            << QList<int> { 0, 1 } << QStringList { "0", "B" } << 1 << "0" << 0 << true;
    }

    void selectCandidate()
    {
        QFETCH(QList<int>, ports);
        QFETCH(QStringList, serials);
        QFETCH(int, previousPort);
        QFETCH(QString, lastSerial);
        QFETCH(int, expected);
        QFETCH(bool, bySerial);
        bool matched = !bySerial;
        QCOMPARE(
            SessionRules::SelectDeviceCandidate(ports, serials, previousPort, lastSerial, &matched),
            expected);
        QCOMPARE(matched, bySerial);
    }

    void infoTypeText_data()
    {
        QTest::addColumn<uint>("boardId");
        QTest::addColumn<uint>("pcbRevision");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("10G2 revision 12") << uint(BOARD_TX_10G2_SDI) << 12u << " version 12";
        QTest::newRow("10G revision ignored") << uint(BOARD_RX_10G_HDMI) << 3u << "";
        QTest::newRow("recorder") << uint(BOARD_RECORDER_PLUS) << 7u << "";
    }

    void infoTypeText()
    {
        QFETCH(uint, boardId);
        QFETCH(uint, pcbRevision);
        QFETCH(QString, suffix);
        const QString display = SessionRules::ModelDisplayName(boardId);
        QVERIFY(!display.isEmpty());
        QCOMPARE(SessionRules::InfoTypeText(
                     display, CProductID::GetModelNameFromBoardID(boardId), pcbRevision),
            display + suffix);
    }

    void discoveryEntry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("serialRead");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("serialId");
        QTest::newRow("serial unreadable")
            << "Studio A" << false << "" << 0 << "Studio A - Serial Number Not Available"
            << "0";
        QTest::newRow("serial read but empty") << "Rack" << true << "" << 3 << "Rack"
                                               << "";
    }

    void discoveryEntry()
    {
        QFETCH(QString, name);
        QFETCH(bool, serialRead);
        QFETCH(QString, serial);
        QFETCH(int, port);
        QFETCH(QString, display);
        QFETCH(QString, serialId);
        QString gotDisplay;
        QString gotSerialId;
        DiscoverThread::MakeEntry(name, serialRead, serial, port, gotDisplay, gotSerialId);
        QCOMPARE(gotDisplay, display);
        QCOMPARE(gotSerialId, serialId);
    }

    void manualUrl_data()
    {
        QTest::addColumn<uint>("boardId");
        QTest::addColumn<QString>("tail");
        QTest::newRow("unknown") << uint(kBoardIdUnknown) << "#support";
        QTest::newRow("none chosen") << uint(kBoardIdUninitialised) << "#support";
        QTest::newRow("blank becomes hyphen") << uint(BOARD_RECORDER_PLUS) << "/recorder-plus";
        QTest::newRow("lower-cased") << uint(BOARD_RX_10G2_HDMI) << "/rx-10g2-hdmi";
    }

    void manualUrl()
    {
        QFETCH(uint, boardId);
        QFETCH(QString, tail);
        const QString url = SessionRules::ManualUrl(boardId);
        QVERIFY2(url.startsWith("https://") && url.endsWith(tail), qPrintable(url));
        QVERIFY(!url.contains(' '));
    }

private:
};

QTEST_GUILESS_MAIN(TstSessionRules)
#include "tst_session_rules.moc"
