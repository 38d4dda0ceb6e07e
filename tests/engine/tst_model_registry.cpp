// The model registry against the product description's tables: for every model with a page,
// product IDs -> board ID -> model name -> page, family, interfaces and their tabs, UPnP host,
// speed choice, update support; then the lookup rules over the tables.
#include "log_capture.h"
#include "model_registry.h"
#include "product_id.h"

#include <QProcess>
#include <QtTest>
#include <thread>
#include <vector>

namespace {

const QStringList kSpeeds { "10G", "10G FEC74", "25G", "25G FEC74", "25G FEC108" };

QStringList split(const char *text)
{
    return QString(text).split('|', Qt::SkipEmptyParts);
}

} // namespace

class TestModelRegistry : public QObject
{
    Q_OBJECT

private slots:
    void pageRows_data();
    void pageRows();
    void everyRowIsChecked();
    void lookup_data();
    void lookup();
    void concurrentFirstUseAgrees();
    void canonicalModelName_data();
    void canonicalModelName();
    void boardsWithoutPage_data();
    void boardsWithoutPage();
};

void TestModelRegistry::pageRows_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<uint>("board");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("productIds");
    QTest::addColumn<QStringList>("aliases");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<bool>("update");

    const struct
    {
        const char *page;
        uint32_t board;
        const char *name, *productIds, *aliases, *family, *tabs;
        bool update;
    } rows[] = {
        { "RecorderUi", BOARD_RECORDER, "RECORDER", "RECORDER", "", "recorder", "Network", true },
        { "RecorderPlusUi", BOARD_RECORDER_PLUS, "RECORDER Plus", "RECORDER-PLUS", "", "recorder",
            "Network", true },
        { "RouterPanelUi", BOARD_ROUTER_PANEL, "ROUTER CP", "ROUTER-PANEL",
            "Router Panel|Velto ROUTER 16x16 Remote Panel", "router", "Network", false },
        { "RouterPanel2Ui", BOARD_ROUTER_PANEL_2, "ROUTER CP2", "ROUTER-PANEL-2",
            "Router Panel2|Velto ROUTER 32x32 Remote Panel|Velto ROUTER CP2 Remote Panel", "router",
            "Network", false },
        { "Router16x4Ui", BOARD_ROUTER_16X4, "ROUTER 16x4", "ROUTER-16X4",
            "Velto ROUTER 16x4 Router", "router", "Network", false },
        { "Router16x16Ui", BOARD_ROUTER_16X16, "ROUTER 16x16", "ROUTER-16X16",
            "Velto ROUTER 16x16 Router", "router", "Network", false },
        { "Router32x32Ui", BOARD_ROUTER_32X32, "ROUTER 32x32", "ROUTER-32X32",
            "Velto ROUTER 32x32 Router", "router", "Network", false },
        { "Router64x64Ui", BOARD_ROUTER_64X64, "ROUTER 64x64", "ROUTER-64X64",
            "Velto ROUTER 64x64 Router", "router", "Network", false },
        { "Router16x16_12gUi", BOARD_ROUTER_16X16_12G, "ROUTER 16x16-12G", "ROUTER-16X16-12G",
            "Velto ROUTER 16x16-12G Router", "router", "Network", false },
        { "Router32x32_12gUi", BOARD_ROUTER_32X32_12G, "ROUTER 32x32-12G", "ROUTER-32X32-12G",
            "Velto ROUTER 32x32-12G Router", "router", "Network", false },
        { "Router64x64_12gUi", BOARD_ROUTER_64X64_12G, "ROUTER 64x64-12G", "ROUTER-64X64-12G",
            "Velto ROUTER 64x64-12G Router", "router", "Network", false },
        { "Router64x64_12gUi", BOARD_ROUTER_64X64_12G_1, "ROUTER 64x64-12G", "ROUTER-64X64-12G-1",
            "Velto ROUTER 64x64-12G-1 Router", "router", "Network", false },
        { "Rx1gHdmiUi", BOARD_RX_1G_HDMI, "RX-1G-HDMI", "DECODER", "", "one-media-lan",
            "Control Network|Media Network", true },
        { "Rx1gSdiUi", BOARD_RX_1G_SDI, "RX-1G-SDI", "DECODER-SDI", "", "one-media-lan",
            "Control Network|Media Network", true },
        { "Tx1gHdmiUi", BOARD_TX_1G_HDMI, "TX-1G-HDMI", "ENCODER-HDMI", "", "one-media-lan",
            "Control Network|Media Network", true },
        { "Tx1gSdiUi", BOARD_TX_1G_SDI, "TX-1G-SDI", "ENCODER-SDI", "", "one-media-lan",
            "Control Network|Media Network", true },
        { "Rx10gHdmiUi", BOARD_RX_10G_HDMI, "RX-10G-HDMI", "DECODER10G", "", "one-media-lan",
            "Control Network|Media Network", true },
        { "Rx10g2HdmiUi", BOARD_RX_10G2_HDMI, "RX-10G2-HDMI", "DECODER10G2|DECODER10G2-P", "",
            "two-media-lans", "Control LAN|Media LAN 1|Media LAN 2", true },
        { "Rx10g2SdiUi", BOARD_RX_10G2_SDI, "RX-10G2-SDI", "DECODER10G2-SDI|DECODER10G2-SDI-P", "",
            "two-media-lans", "Control LAN|Media LAN 1|Media LAN 2", true },
        { "Tx10g2HdmiUi", BOARD_TX_10G2_HDMI, "TX-10G2-HDMI", "ENCODER10G2-HDMI|ENCODER10G2-HDMI-P",
            "", "two-media-lans", "Control LAN|Media LAN 1|Media LAN 2", true },
        { "Tx10g2SdiUi", BOARD_TX_10G2_SDI, "TX-10G2-SDI", "ENCODER10G2-SDI|ENCODER10G2-SDI-P", "",
            "two-media-lans", "Control LAN|Media LAN 1|Media LAN 2", true },
        { "ColorProcUi", BOARD_COLOR_PROC, "ColorProc", "PRISM", "ColorProc", "colour-processor",
            "Network", false },
        { "AudioNetUi", BOARD_AUDIO_NET, "AudioNet", "CONDOR", "", "audio-network",
            "Primary Network|Secondary Network", false },
        { "Rx25gUi", BOARD_RX_25G, "RX-25G", "QUASAR", "RX-25G", "25g-receiver",
            "Control LAN|Media LAN 1|Media LAN 2", false },
        { "UsbHubUi", BOARD_USB_HUB, "USB-HUB", "USBHUB", "", "usb-hub", "Network", true },
    };
    for (const auto &r : rows) {
        QTest::addRow("%s 0x%x", r.page, r.board)
            << QString(r.page) << uint(r.board) << QString(r.name) << split(r.productIds)
            << split(r.aliases) << QString(r.family) << split(r.tabs) << r.update;
    }
}

void TestModelRegistry::pageRows()
{
    QFETCH(QString, page);
    QFETCH(uint, board);
    QFETCH(QString, name);
    QFETCH(QStringList, productIds);
    QFETCH(QStringList, aliases);
    QFETCH(QString, family);
    QFETCH(QStringList, tabs);
    QFETCH(bool, update);

    for (const QString &productId : productIds)
        QCOMPARE(CProductID::GetBoardIDFromProductID(productId), uint32_t(board));
    for (const QString &alias : aliases + productIds)
        QCOMPARE(CProductID::GetBoardIDFromModelName(alias), uint32_t(board));
    QCOMPARE(CProductID::GetModelNameFromBoardID(board), name);
    QVERIFY(CProductID::HasDevicePage(board));

    const ModelRow *row = ModelRegistry::Find(board);
    QVERIFY(row);
    QCOMPARE(&ModelRegistry::RowOrUnknown(board), row);
    QCOMPARE(row->productIds, productIds);
    QCOMPARE(QString(row->artwork) + "Ui", page); // which page, shared by the two 64x64 12G
    QCOMPARE(ModelRegistry::FamilyKey(row->family), family);
    QCOMPARE(row->updatable, update);
    const bool router = family == "router";
    QCOMPARE(row->router, router);
    QCOMPARE(CProductFeatures::IsNotRouterModel(board), !router);
    QCOMPARE(CProductFeatures::UsesNumericParameterIDs(board), !router);
    QCOMPARE(CProductFeatures::HasInterfaceStateParameters(board), !router);
    // Only the colour processor keeps its password when authentication goes off.
    QCOMPARE(row->passwordReset, family != "colour-processor");

    // One tab per interface; the control LAN's UPnP host on every model but the routers; the
    // speed choice on the 25G receiver's media LANs.
    QCOMPARE(row->interfaces.size(), tabs.size());
    QCOMPARE(row->mediaLanCount(), int(tabs.size()) - 1);
    for (int i = 0; i < tabs.size(); ++i) {
        const ModelInterface &iface = row->interfaces[i];
        QCOMPARE(QString(iface.key), ModelRegistry::InterfaceKeys()[i]);
        QCOMPARE(ModelRegistry::TabTitle(iface), tabs[i]);
        QCOMPARE(iface.upnp, i == 0 && !router);
        QCOMPARE(iface.speeds, i > 0 && family == "25g-receiver" ? kSpeeds : QStringList());
    }
}

// The rows above are all the pages; the other rows are known by name only.
void TestModelRegistry::everyRowIsChecked()
{
    int pages = 0;
    for (const ModelRow &row : ModelRegistry::Rows()) {
        if (!row.hasPage()) {
            QVERIFY(row.interfaces.isEmpty());
            QVERIFY(!row.updatable);
            continue;
        }
        ++pages;
    }
    QCOMPARE(pages, 25);
}

// Product IDs match exactly; names match in any case, with or without blanks and hyphens.
void TestModelRegistry::lookup_data()
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
    product("product: lower case", "recorder-plus", kBoardIdUnknown);
    product("product: model name", "RECORDER Plus", kBoardIdUnknown);
    product("product: empty", "", kBoardIdUnknown);
    name("name: lower case, blank", "recorder plus", BOARD_RECORDER_PLUS);
    name("name: squashed", "RecorderPlus", BOARD_RECORDER_PLUS);
    name("name: seeded alias, hyphenated", "ROUTER-PANEL2", BOARD_ROUTER_PANEL_2);
    // Two board IDs share this model name, and the higher one is written last among the
    // model names; but the product ID of the first revision normalises to the same text
    // and, written after all model names, has the last word.
    name("name: shared model name", "ROUTER 64x64-12G", BOARD_ROUTER_64X64_12G);
    name("name: unknown", "RECORDER Minus", kBoardIdUnknown);
    name("name: empty", "", kBoardIdUnknown);
}

void TestModelRegistry::lookup()
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

void TestModelRegistry::concurrentFirstUseAgrees()
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

void TestModelRegistry::canonicalModelName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("canonical");
    const char *const rows[][3] = {
        { "own name, blank", "Trivo Setup", "Trivo-Setup" },
        { "own name, squashed", "TRIVOSETUP", "Trivo-Setup" },
        { "full name", "VELTO-TRIVO-SETUP", "Velto Trivo-Setup" },
        { "full name, blanks", "Velto Trivo Setup", "Velto Trivo-Setup" },
        { "product ID", "usbhub", "USB-HUB" },
        { "unknown", "trivo setup 2", "Unknown Model" },
    };
    for (const auto &r : rows)
        QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]);
}

void TestModelRegistry::canonicalModelName()
{
    QFETCH(QString, name);
    QFETCH(QString, canonical);
    QCOMPARE(CProductID::CanonicalModelName(name), canonical);
}

// Board IDs without a page: two recorders known by name, and IDs no model has.
void TestModelRegistry::boardsWithoutPage_data()
{
    QTest::addColumn<uint>("boardID");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<bool>("interfaceState");
    QTest::newRow("extra recorder A") << uint(BOARD_RECORDER_EXTRA_A) << true << false;
    QTest::newRow("extra recorder B") << uint(BOARD_RECORDER_EXTRA_B) << true << false;
    QTest::newRow("no page yet") << uint(kBoardIdUninitialised) << false << true;
    QTest::newRow("unknown") << uint(kBoardIdUnknown) << false << true;
}

void TestModelRegistry::boardsWithoutPage()
{
    QFETCH(uint, boardID);
    QFETCH(bool, numeric);
    QFETCH(bool, interfaceState);
    QVERIFY(!CProductID::HasDevicePage(boardID));
    QCOMPARE(CProductFeatures::UsesNumericParameterIDs(boardID), numeric);
    QVERIFY(CProductFeatures::IsNotRouterModel(boardID));
    QCOMPARE(CProductFeatures::HasInterfaceStateParameters(boardID), interfaceState);
    // They all get the unknown device's page, which offers no update.
    const ModelRow &shown = ModelRegistry::RowOrUnknown(boardID);
    QCOMPARE(shown.family, PageFamily::Unknown);
    QVERIFY(!shown.updatable);
    if (boardID != kBoardIdUnknown && boardID != kBoardIdUninitialised)
        QVERIFY(!ModelRegistry::Find(boardID)->productIds.isEmpty());
    else
        QCOMPARE(CProductID::GetModelNameFromBoardID(boardID), QString("Unknown Model"));
}

QTEST_GUILESS_MAIN(TestModelRegistry)
#include "tst_model_registry.moc"
