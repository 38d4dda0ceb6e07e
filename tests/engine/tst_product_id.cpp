#include "log_capture.h"
#include "product_id.h"

#include <QProcess>
#include <QtTest>
#include <thread>
#include <vector>

class TestProductID : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void concurrentFirstUseAgrees();
    void canonicalModelName_data();
    void canonicalModelName();
    void featureTests_data();
    void featureTests();
};

// Product IDs match exactly; names match in any case, with or without blanks and hyphens.
void TestProductID::lookup_data()
{
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("boardID");
    const auto product = [](const char *row, const QString &text, uint32_t boardID) {
        QTest::newRow(row) << false << text << uint(boardID);
    };
    const auto name = [](const char *row, const QString &text, uint32_t boardID) {
        QTest::newRow(row) << true << text << uint(boardID);
    };
    product("product: exact", "RECORDER-PLUS", BOARD_RECORDER_PLUS);
    product("product: variant -P", "DECODER10G2-P", BOARD_RX_10G2_HDMI);
    product("product: lower case", "recorder-plus", kBoardIdUnknown);
    product("product: blank for hyphen", "RECORDER PLUS", kBoardIdUnknown);
    product("product: model name", "RECORDER Plus", kBoardIdUnknown);
    product("product: empty", "", kBoardIdUnknown);
    name("name: product ID", "RECORDER-PLUS", BOARD_RECORDER_PLUS);
    name("name: lower case, blank", "recorder plus", BOARD_RECORDER_PLUS);
    name("name: model name", "RECORDER Plus", BOARD_RECORDER_PLUS);
    name("name: squashed", "RecorderPlus", BOARD_RECORDER_PLUS);
    name("name: variant -P", "decoder10g2-p", BOARD_RX_10G2_HDMI);
    name("name: model name of a code-named product", "colorproc", BOARD_COLOR_PROC);
    name("name: code name", "Prism", BOARD_COLOR_PROC);
    name("name: seeded alias", "Router Panel", BOARD_ROUTER_PANEL);
    name("name: seeded alias 2", "ROUTER-PANEL2", BOARD_ROUTER_PANEL_2);
    name("name: long alias", "velto router cp2 remote panel", BOARD_ROUTER_PANEL_2);
    name("name: long router alias", "Velto ROUTER 64x64-12G-1 Router", BOARD_ROUTER_64X64_12G_1);
    // Two board IDs share this model name, and the higher one is written last among the
    // model names; but the product ID of the first revision normalises to the same text
    // and, written after all model names, has the last word.
    name("name: shared model name", "ROUTER 64x64-12G", BOARD_ROUTER_64X64_12G);
    name("name: shared, as product ID", "ROUTER-64X64-12G", BOARD_ROUTER_64X64_12G);
    name("name: second revision", "router-64x64-12g-1", BOARD_ROUTER_64X64_12G_1);
    name("name: usb hub", "usb hub", BOARD_USB_HUB);
    name("name: unknown", "RECORDER Minus", kBoardIdUnknown);
    name("name: empty", "", kBoardIdUnknown);
}

void TestProductID::lookup()
{
    QFETCH(bool, byName);
    QFETCH(QString, text);
    QFETCH(uint, boardID);
    StderrCapture err;
    QCOMPARE(byName ? CProductID::GetBoardIDFromModelName(text)
                    : CProductID::GetBoardIDFromProductID(text),
        uint32_t(boardID));
    QString miss;
    if (boardID == kBoardIdUnknown)
        miss = byName ? QStringLiteral("CProductID::GetBoardIDFromModelName: No match found for "
                                       "%1, returning 0xffffffff\n")
                            .arg(text)
                      : QStringLiteral("CProductID::GetBoardIDFromProductID: Failed to find a "
                                       "board ID for productID \"%1\"\n")
                            .arg(text);
    QCOMPARE(err.text(), miss);
}

void TestProductID::concurrentFirstUseAgrees()
{
    // Runs in a fresh process so that this is the first name look-up: every thread
    // must see the completed alias table.
    if (qEnvironmentVariableIsSet("TRIVO_PRODUCT_ID_CHILD")) {
        std::vector<std::thread> threads;
        std::atomic<int> wrong { 0 };
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&] {
                if (CProductID::GetBoardIDFromModelName("ROUTER 64x64-12G")
                    != BOARD_ROUTER_64X64_12G)
                    ++wrong;
                if (CProductID::GetBoardIDFromModelName("usbhub") != BOARD_USB_HUB)
                    ++wrong;
            });
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(wrong.load(), 0);
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TRIVO_PRODUCT_ID_CHILD", "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), { "concurrentFirstUseAgrees" });
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
}

void TestProductID::canonicalModelName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("canonical");
    const char *const rows[][3] = {
        { "own name, blank", "Trivo Setup", "Trivo-Setup" },
        { "own name, squashed", "TRIVOSETUP", "Trivo-Setup" },
        { "full name", "VELTO-TRIVO-SETUP", "Velto Trivo-Setup" },
        { "full name, blanks", "Velto Trivo Setup", "Velto Trivo-Setup" },
        { "product ID", "usbhub", "USB-HUB" },
        { "code name", "quasar", "RX-25G" },
        { "shared model name", "router 64x64-12g", "ROUTER 64x64-12G" },
        { "unknown", "trivo setup 2", "Unknown Model" },
    };
    for (const auto &r : rows)
        QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]);
}

void TestProductID::canonicalModelName()
{
    QFETCH(QString, name);
    QFETCH(QString, canonical);
    QCOMPARE(CProductID::CanonicalModelName(name), canonical);
}

void TestProductID::featureTests_data()
{
    QTest::addColumn<uint>("boardID");
    QTest::addColumn<bool>("page");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<bool>("notRouter");
    QTest::addColumn<bool>("interfaceState");

    QTest::newRow("router") << uint(BOARD_ROUTER_64X64_12G_1) << true << false << false << false;
    QTest::newRow("router panel") << uint(BOARD_ROUTER_PANEL) << true << false << false << false;
    QTest::newRow("receiver") << uint(BOARD_RX_10G2_SDI) << true << true << true << true;
    QTest::newRow("usb hub") << uint(BOARD_USB_HUB) << true << true << true << true;
    QTest::newRow("extra recorder A")
        << uint(BOARD_RECORDER_EXTRA_A) << false << true << true << false;
    QTest::newRow("extra recorder B")
        << uint(BOARD_RECORDER_EXTRA_B) << false << true << true << false;
    QTest::newRow("no page yet") << uint(kBoardIdUninitialised) << false << false << true << true;
    QTest::newRow("unknown") << uint(kBoardIdUnknown) << false << false << true << true;
}

void TestProductID::featureTests()
{
    QFETCH(uint, boardID);
    QFETCH(bool, page);
    QFETCH(bool, numeric);
    QFETCH(bool, notRouter);
    QFETCH(bool, interfaceState);
    QCOMPARE(CProductID::HasDevicePage(boardID), page);
    QCOMPARE(CProductFeatures::UsesNumericParameterIDs(boardID), numeric);
    QCOMPARE(CProductFeatures::IsNotRouterModel(boardID), notRouter);
    QCOMPARE(CProductFeatures::HasInterfaceStateParameters(boardID), interfaceState);
}

QTEST_GUILESS_MAIN(TestProductID)
#include "tst_product_id.moc"
