#include "log_capture.h"
#include "product_id.h"

#include <QProcess>
#include <QtTest>
#include <thread>
#include <vector>

// The board IDs with a device page and the product IDs their modules report.
struct PageRow
{
    uint32_t boardID;
    const char *modelName;
    QList<const char *> productIDs;
};

static const QList<PageRow> &pageRows()
{
    static const QList<PageRow> rows = {
        { BOARD_RECORDER, "RECORDER", { "RECORDER" } },
        { BOARD_RECORDER_PLUS, "RECORDER Plus", { "RECORDER-PLUS" } },
        { BOARD_ROUTER_PANEL, "ROUTER CP", { "ROUTER-PANEL" } },
        { BOARD_ROUTER_PANEL_2, "ROUTER CP2", { "ROUTER-PANEL-2" } },
        { BOARD_ROUTER_16X4, "ROUTER 16x4", { "ROUTER-16X4" } },
        { BOARD_ROUTER_16X16, "ROUTER 16x16", { "ROUTER-16X16" } },
        { BOARD_ROUTER_32X32, "ROUTER 32x32", { "ROUTER-32X32" } },
        { BOARD_ROUTER_64X64, "ROUTER 64x64", { "ROUTER-64X64" } },
        { BOARD_ROUTER_16X16_12G, "ROUTER 16x16-12G", { "ROUTER-16X16-12G" } },
        { BOARD_ROUTER_32X32_12G, "ROUTER 32x32-12G", { "ROUTER-32X32-12G" } },
        { BOARD_ROUTER_64X64_12G, "ROUTER 64x64-12G", { "ROUTER-64X64-12G" } },
        { BOARD_ROUTER_64X64_12G_1, "ROUTER 64x64-12G", { "ROUTER-64X64-12G-1" } },
        { BOARD_RX_1G_HDMI, "RX-1G-HDMI", { "DECODER" } },
        { BOARD_RX_1G_SDI, "RX-1G-SDI", { "DECODER-SDI" } },
        { BOARD_TX_1G_HDMI, "TX-1G-HDMI", { "ENCODER-HDMI" } },
        { BOARD_TX_1G_SDI, "TX-1G-SDI", { "ENCODER-SDI" } },
        { BOARD_RX_10G_HDMI, "RX-10G-HDMI", { "DECODER10G" } },
        { BOARD_RX_10G2_HDMI, "RX-10G2-HDMI", { "DECODER10G2", "DECODER10G2-P" } },
        { BOARD_RX_10G2_SDI, "RX-10G2-SDI", { "DECODER10G2-SDI", "DECODER10G2-SDI-P" } },
        { BOARD_TX_10G2_HDMI, "TX-10G2-HDMI", { "ENCODER10G2-HDMI", "ENCODER10G2-HDMI-P" } },
        { BOARD_TX_10G2_SDI, "TX-10G2-SDI", { "ENCODER10G2-SDI", "ENCODER10G2-SDI-P" } },
        { BOARD_COLOR_PROC, "ColorProc", { "PRISM" } },
        { BOARD_AUDIO_NET, "AudioNet", { "CONDOR" } },
        { BOARD_RX_25G, "RX-25G", { "QUASAR" } },
        { BOARD_USB_HUB, "USB-HUB", { "USBHUB" } },
    };
    return rows;
}

class TestProductID : public QObject
{
    Q_OBJECT

private slots:
    void pageRowsResolve();
    void productIDLookupIsExact_data();
    void productIDLookupIsExact();
    void modelNameLookup_data();
    void modelNameLookup();
    void modelNameMissReportsOnStderr();
    void concurrentFirstUseAgrees();
    void canonicalModelName_data();
    void canonicalModelName();
    void featureTests_data();
    void featureTests();
};

void TestProductID::pageRowsResolve()
{
    QCOMPARE(pageRows().size(), 25);
    for (const PageRow &row : pageRows()) {
        QCOMPARE(CProductID::GetModelNameFromBoardID(row.boardID), QString(row.modelName));
        for (const char *pid : row.productIDs)
            QCOMPARE(CProductID::GetBoardIDFromProductID(pid), row.boardID);
    }
}

void TestProductID::productIDLookupIsExact_data()
{
    QTest::addColumn<QString>("productID");
    QTest::addColumn<uint>("boardID");
    QTest::newRow("exact") << "RECORDER-PLUS" << uint(BOARD_RECORDER_PLUS);
    QTest::newRow("variant -P") << "DECODER10G2-P" << uint(BOARD_RX_10G2_HDMI);
    QTest::newRow("lower case") << "recorder-plus" << uint(kBoardIdUnknown);
    QTest::newRow("blank for hyphen") << "RECORDER PLUS" << uint(kBoardIdUnknown);
    QTest::newRow("model name") << "RECORDER Plus" << uint(kBoardIdUnknown);
    QTest::newRow("empty") << "" << uint(kBoardIdUnknown);
}

void TestProductID::productIDLookupIsExact()
{
    QFETCH(QString, productID);
    QFETCH(uint, boardID);
    StderrCapture err;
    QCOMPARE(CProductID::GetBoardIDFromProductID(productID), uint32_t(boardID));
    const QString expected = boardID == kBoardIdUnknown
        ? QStringLiteral("CProductID::GetBoardIDFromProductID: Failed to find a board ID for "
                         "productID \"%1\"\n")
              .arg(productID)
        : QString();
    QCOMPARE(err.text(), expected);
}

void TestProductID::modelNameLookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("boardID");
    QTest::newRow("product ID") << "RECORDER-PLUS" << uint(BOARD_RECORDER_PLUS);
    QTest::newRow("lower case, blank") << "recorder plus" << uint(BOARD_RECORDER_PLUS);
    QTest::newRow("model name") << "RECORDER Plus" << uint(BOARD_RECORDER_PLUS);
    QTest::newRow("squashed") << "RecorderPlus" << uint(BOARD_RECORDER_PLUS);
    QTest::newRow("variant -P") << "decoder10g2-p" << uint(BOARD_RX_10G2_HDMI);
    QTest::newRow("model name of a code-named product") << "colorproc" << uint(BOARD_COLOR_PROC);
    QTest::newRow("code name") << "Prism" << uint(BOARD_COLOR_PROC);
    QTest::newRow("seeded alias") << "Router Panel" << uint(BOARD_ROUTER_PANEL);
    QTest::newRow("seeded alias 2") << "ROUTER-PANEL2" << uint(BOARD_ROUTER_PANEL_2);
    QTest::newRow("long alias") << "velto router cp2 remote panel" << uint(BOARD_ROUTER_PANEL_2);
    QTest::newRow("long router alias")
        << "Velto ROUTER 64x64-12G-1 Router" << uint(BOARD_ROUTER_64X64_12G_1);
    // Two board IDs share this model name, and the higher one is written last among the
    // model names; but the product ID of the first revision normalises to the same text
    // and, written after all model names, has the last word.
    QTest::newRow("shared model name") << "ROUTER 64x64-12G" << uint(BOARD_ROUTER_64X64_12G);
    QTest::newRow("shared, as product ID") << "ROUTER-64X64-12G" << uint(BOARD_ROUTER_64X64_12G);
    QTest::newRow("second revision") << "router-64x64-12g-1" << uint(BOARD_ROUTER_64X64_12G_1);
    QTest::newRow("usb hub") << "usb hub" << uint(BOARD_USB_HUB);
    QTest::newRow("unknown") << "RECORDER Minus" << uint(kBoardIdUnknown);
    QTest::newRow("empty") << "" << uint(kBoardIdUnknown);
}

void TestProductID::modelNameLookup()
{
    QFETCH(QString, name);
    QFETCH(uint, boardID);
    QCOMPARE(CProductID::GetBoardIDFromModelName(name), uint32_t(boardID));
}

void TestProductID::modelNameMissReportsOnStderr()
{
    StderrCapture err;
    QCOMPARE(CProductID::GetBoardIDFromModelName("No Such Box"), uint32_t(kBoardIdUnknown));
    QCOMPARE(err.text(),
        QStringLiteral("CProductID::GetBoardIDFromModelName: No match found for "
                       "No Such Box, returning 0xffffffff\n"));
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
    QTest::newRow("own name, blank") << "Trivo Setup"
                                     << "Trivo-Setup";
    QTest::newRow("own name, squashed") << "TRIVOSETUP"
                                        << "Trivo-Setup";
    QTest::newRow("full name") << "VELTO-TRIVO-SETUP"
                               << "Velto Trivo-Setup";
    QTest::newRow("full name, blanks") << "Velto Trivo Setup"
                                       << "Velto Trivo-Setup";
    QTest::newRow("product ID") << "usbhub"
                                << "USB-HUB";
    QTest::newRow("code name") << "quasar"
                               << "RX-25G";
    QTest::newRow("shared model name") << "router 64x64-12g"
                                       << "ROUTER 64x64-12G";
    QTest::newRow("unknown") << "trivo setup 2"
                             << "Unknown Model";
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
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<bool>("notRouter");
    QTest::addColumn<bool>("interfaceState");

    const uint32_t routers[] = { BOARD_ROUTER_PANEL, BOARD_ROUTER_PANEL_2, BOARD_ROUTER_16X4,
        BOARD_ROUTER_16X16, BOARD_ROUTER_32X32, BOARD_ROUTER_64X64, BOARD_ROUTER_16X16_12G,
        BOARD_ROUTER_32X32_12G, BOARD_ROUTER_64X64_12G, BOARD_ROUTER_64X64_12G_1 };
    for (const PageRow &row : pageRows()) {
        const bool router
            = std::find(std::begin(routers), std::end(routers), row.boardID) != std::end(routers);
        QTest::addRow("%s 0x%x", row.modelName, row.boardID)
            << uint(row.boardID) << !router << !router << !router;
    }
    QTest::newRow("extra recorder A") << uint(BOARD_RECORDER_EXTRA_A) << true << true << false;
    QTest::newRow("extra recorder B") << uint(BOARD_RECORDER_EXTRA_B) << true << true << false;
    QTest::newRow("no page yet") << uint(kBoardIdUninitialised) << false << true << true;
    QTest::newRow("unknown") << uint(kBoardIdUnknown) << false << true << true;
}

void TestProductID::featureTests()
{
    QFETCH(uint, boardID);
    QFETCH(bool, numeric);
    QFETCH(bool, notRouter);
    QFETCH(bool, interfaceState);
    QCOMPARE(CProductFeatures::UsesNumericParameterIDs(boardID), numeric);
    QCOMPARE(CProductFeatures::IsNotRouterModel(boardID), notRouter);
    QCOMPARE(CProductFeatures::HasInterfaceStateParameters(boardID), interfaceState);
}

QTEST_GUILESS_MAIN(TestProductID)
#include "tst_product_id.moc"
