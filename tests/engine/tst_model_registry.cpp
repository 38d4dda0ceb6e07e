// The model registry row by row against a copy of the model tables written apart from it: for
// every model with a page, product IDs -> board ID -> model name -> page, family, interfaces
// and their tabs, UPnP host, speed choice, update support; then the lookup rules.
#include "log_capture.h"
#include "model_registry.h"
#include "product_id.h"

#include <QProcess>
#include <QtTest>
#include <thread>
#include <vector>

namespace {

// Every model: page form | model name | product IDs | further aliases | family | update. The two
// further recorders have no page.
const char kPages[] = R"(
RecorderUi        | RECORDER         | RECORDER                 |                                   | recorder         | yes
RecorderPlusUi    | RECORDER Plus    | RECORDER-PLUS            |                                   | recorder         | yes
-                 | RECORDER X1      | RECORDER-X1              |                                   | none             | no
-                 | RECORDER X2      | RECORDER-X2              |                                   | none             | no
RouterPanelUi     | ROUTER CP        | ROUTER-PANEL             | Router Panel, Velto ROUTER 16x16 Remote Panel | router | no
RouterPanel2Ui    | ROUTER CP2       | ROUTER-PANEL-2           | Router Panel2, Velto ROUTER 32x32 Remote Panel, Velto ROUTER CP2 Remote Panel | router | no
Router16x4Ui      | ROUTER 16x4      | ROUTER-16X4              | Velto ROUTER 16x4 Router          | router           | no
Router16x16Ui     | ROUTER 16x16     | ROUTER-16X16             | Velto ROUTER 16x16 Router         | router           | no
Router32x32Ui     | ROUTER 32x32     | ROUTER-32X32             | Velto ROUTER 32x32 Router         | router           | no
Router64x64Ui     | ROUTER 64x64     | ROUTER-64X64             | Velto ROUTER 64x64 Router         | router           | no
Router16x16_12gUi | ROUTER 16x16-12G | ROUTER-16X16-12G         | Velto ROUTER 16x16-12G Router     | router           | no
Router32x32_12gUi | ROUTER 32x32-12G | ROUTER-32X32-12G         | Velto ROUTER 32x32-12G Router     | router           | no
Router64x64_12gUi | ROUTER 64x64-12G | ROUTER-64X64-12G         | Velto ROUTER 64x64-12G Router     | router           | no
Router64x64_12gUi | ROUTER 64x64-12G | ROUTER-64X64-12G-1       | Velto ROUTER 64x64-12G-1 Router   | router           | no
Rx1gHdmiUi        | RX-1G-HDMI       | DECODER                  |                                   | one-media-lan    | yes
Rx1gSdiUi         | RX-1G-SDI        | DECODER-SDI              |                                   | one-media-lan    | yes
Tx1gHdmiUi        | TX-1G-HDMI       | ENCODER-HDMI             |                                   | one-media-lan    | yes
Tx1gSdiUi         | TX-1G-SDI        | ENCODER-SDI              |                                   | one-media-lan    | yes
Rx10gHdmiUi       | RX-10G-HDMI      | DECODER10G               |                                   | one-media-lan    | yes
Rx10g2HdmiUi      | RX-10G2-HDMI     | DECODER10G2, DECODER10G2-P |                                 | two-media-lans   | yes
Rx10g2SdiUi       | RX-10G2-SDI      | DECODER10G2-SDI, DECODER10G2-SDI-P |                         | two-media-lans   | yes
Tx10g2HdmiUi      | TX-10G2-HDMI     | ENCODER10G2-HDMI, ENCODER10G2-HDMI-P |                       | two-media-lans   | yes
Tx10g2SdiUi       | TX-10G2-SDI      | ENCODER10G2-SDI, ENCODER10G2-SDI-P |                         | two-media-lans   | yes
ColorProcUi       | ColorProc        | PRISM                    | ColorProc                         | colour-processor | no
AudioNetUi        | AudioNet         | CONDOR                   |                                   | audio-network    | no
Rx25gUi           | RX-25G           | QUASAR                   | RX-25G                            | 25g-receiver     | no
UsbHubUi          | USB-HUB          | USBHUB                   |                                   | usb-hub          | yes
)";

// The network tabs of each family.
const QMap<QString, QStringList> kTabs {
    { "recorder", { "Network" } },
    { "router", { "Network" } },
    { "colour-processor", { "Network" } },
    { "usb-hub", { "Network" } },
    { "one-media-lan", { "Control Network", "Media Network" } },
    { "audio-network", { "Primary Network", "Secondary Network" } },
    { "two-media-lans", { "Control LAN", "Media LAN 1", "Media LAN 2" } },
    { "25g-receiver", { "Control LAN", "Media LAN 1", "Media LAN 2" } },
};

const QStringList kSpeeds { "10G", "10G FEC74", "25G", "25G FEC74", "25G FEC108" };

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
};

void TestModelRegistry::pageRows_data()
{
    QTest::addColumn<QStringList>("cells");
    for (const QString &line : QString(kPages).split('\n', Qt::SkipEmptyParts)) {
        QStringList cells = line.split('|');
        for (QString &cell : cells)
            cell = cell.trimmed();
        QTest::newRow(qPrintable(cells[0] + " " + cells[2])) << cells;
    }
}

void TestModelRegistry::pageRows()
{
    QFETCH(QStringList, cells);
    const QString page = cells[0], name = cells[1], family = cells[4];
    const QStringList productIds = cells[2].split(", ");
    const QStringList aliases = cells[3].split(", ", Qt::SkipEmptyParts);
    const QStringList tabs = kTabs.value(family);

    const uint32_t board = CProductID::GetBoardIDFromProductID(productIds.first());
    for (const QString &productId : productIds)
        QCOMPARE(CProductID::GetBoardIDFromProductID(productId), board);
    for (const QString &alias : aliases + productIds)
        QCOMPARE(CProductID::GetBoardIDFromModelName(alias), board);
    QCOMPARE(CProductID::GetModelNameFromBoardID(board), name);
    const bool paged = family != "none";
    QCOMPARE(CProductID::HasDevicePage(board), paged);

    const ModelRow *row = ModelRegistry::Find(board);
    QVERIFY(row);
    QCOMPARE(&ModelRegistry::RowOrUnknown(board), paged ? row : &ModelRegistry::Unknown());
    QCOMPARE(row->productIds, productIds);
    if (paged) // which page, shared by the two 64x64 12G
        QCOMPARE(QString(row->artwork) + "Ui", page);
    QCOMPARE(ModelRegistry::FamilyKey(row->family), family);
    QCOMPARE(row->updatable, cells[5] == "yes");
    const bool router = family == "router";
    QCOMPARE(row->router, router);
    QCOMPARE(CProductFeatures::IsNotRouterModel(board), !router);
    QCOMPARE(CProductFeatures::UsesNumericParameterIDs(board), !router);
    QCOMPARE(CProductFeatures::HasInterfaceStateParameters(board), paged && !router);
    // Only the colour processor keeps its password when authentication goes off.
    QCOMPARE(row->passwordReset, family != "colour-processor");

    // One tab per interface; the control LAN's UPnP host on every model but the routers; the
    // speed choice on the 25G receiver's media LANs.
    QCOMPARE(row->interfaces.size(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i) {
        const ModelInterface &iface = row->interfaces[i];
        QCOMPARE(QString(iface.key), ModelRegistry::InterfaceKeys()[i]);
        QCOMPARE(ModelRegistry::TabTitle(iface), tabs[i]);
        QCOMPARE(iface.upnp, i == 0 && !router);
        QCOMPARE(iface.speeds, i > 0 && family == "25g-receiver" ? kSpeeds : QStringList());
    }
}

// The rows above are all the models; board IDs no model has get the unknown device's page,
// which offers no update.
void TestModelRegistry::everyRowIsChecked()
{
    QCOMPARE(ModelRegistry::Rows().size(), QString(kPages).count('\n') - 1);
    for (uint32_t id : { kBoardIdUnknown, kBoardIdUninitialised }) {
        QVERIFY(!CProductID::HasDevicePage(id));
        QVERIFY(!CProductFeatures::UsesNumericParameterIDs(id));
        QVERIFY(CProductFeatures::IsNotRouterModel(id));
        QVERIFY(CProductFeatures::HasInterfaceStateParameters(id));
        QCOMPARE(&ModelRegistry::RowOrUnknown(id), &ModelRegistry::Unknown());
        QCOMPARE(ModelRegistry::Unknown().family, PageFamily::Unknown);
        QVERIFY(!ModelRegistry::Unknown().updatable);
        QCOMPARE(CProductID::GetModelNameFromBoardID(id), QString("Unknown Model"));
    }
}

// Product IDs match exactly; names match in any case, with or without blanks and hyphens;
// the canonical name is the table's name of whatever a name resolves to.
void TestModelRegistry::lookup_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // product ID of the board found ("" none), or name
    const char *const rows[][4] = {
        { "product: lower case", "product", "recorder-plus", "" },
        { "product: model name", "product", "RECORDER Plus", "" },
        { "product: empty", "product", "", "" },
        { "name: lower case, blank", "name", "recorder plus", "RECORDER-PLUS" },
        { "name: squashed", "name", "RecorderPlus", "RECORDER-PLUS" },
        { "name: seeded alias, hyphenated", "name", "ROUTER-PANEL2", "ROUTER-PANEL-2" },
        // Two board IDs share this model name, and the higher one is written last among the
        // model names; but the product ID of the first revision normalises to the same text
        // and, written after all model names, has the last word.
        { "name: shared model name", "name", "ROUTER 64x64-12G", "ROUTER-64X64-12G" },
        { "name: unknown", "name", "RECORDER Minus", "" },
        { "name: empty", "name", "", "" },
        { "own name, blank", "canonical", "Trivo Setup", "Trivo-Setup" },
        { "own name, squashed", "canonical", "TRIVOSETUP", "Trivo-Setup" },
        { "full name", "canonical", "VELTO-TRIVO-SETUP", "Velto Trivo-Setup" },
        { "full name, blanks", "canonical", "Velto Trivo Setup", "Velto Trivo-Setup" },
        { "canonical product ID", "canonical", "usbhub", "USB-HUB" },
        { "canonical unknown", "canonical", "trivo setup 2", "Unknown Model" },
    };
    for (const auto &r : rows)
        QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]);
}

void TestModelRegistry::lookup()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    if (kind == "canonical") {
        QCOMPARE(CProductID::CanonicalModelName(text), expected);
        return;
    }
    const uint32_t board
        = expected.isEmpty() ? kBoardIdUnknown : CProductID::GetBoardIDFromProductID(expected);
    const bool byName = kind == "name";
    StderrCapture err;
    QCOMPARE(byName ? CProductID::GetBoardIDFromModelName(text)
                    : CProductID::GetBoardIDFromProductID(text),
        board);
    QString miss;
    if (board == kBoardIdUnknown)
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

QTEST_GUILESS_MAIN(TestModelRegistry)
#include "tst_model_registry.moc"
