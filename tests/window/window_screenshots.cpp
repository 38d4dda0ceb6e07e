// Saves a picture of the main window for each page family, of a network change
// confirmation and of a firmware update's steps, against virtual modules.
// Usage: window_screenshots <output directory> [--extra-ports]
// With --extra-ports it pictures every tab of each module on the ports named by
// TRIVO_EXTRA_PORTS instead (modules started outside, as the demo does).
#include "device_page.h"
#include "discover_thread.h"
#include "main_window.h"
#include "module_rack.h"
#include "port_enumeration.h"
#include "test_data.h"
#include "update_sequence.h"
#include "window_message_box.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

namespace {
struct Shot
{
    const char *file;
    const char *productId;
    const char *sysName;
};

const Shot kShots[] = {
    { "recorder", "RECORDER-PLUS", "Studio Recorder" },
    { "router", "ROUTER-16X16", "Machine Room Router" },
    { "colour_processor", "PRISM", "Grading Bay" },
    { "usb_hub", "USBHUB", "Desk Hub" },
    { "one_media_lan", "DECODER", "Lobby Display" },
    { "audio_network", "CONDOR", "Audio Rack" },
    { "two_media_lans", "DECODER10G2", "Stage Left Receiver" },
    { "rx_25g", "QUASAR", "Core Receiver" },
    { "unknown_product", "MYSTERY-BOX", "Mystery" },
};
constexpr int kPollSettleMs = 1200;

// A file name from a device list entry: letters, digits and '_' only.
QString FileStem(int index, const QString &entry)
{
    QString stem = entry.toLower();
    stem.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("_"));
    stem.remove(QRegularExpression(QStringLiteral("^_+|_+$")));
    return QStringLiteral("module%1_%2").arg(index + 1).arg(stem);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool extraPorts = argc == 3 && qstrcmp(argv[2], "--extra-ports") == 0;
    if (argc < 2 || (argc > 2 && !extraPorts)) {
        std::fprintf(stderr, "usage: %s <output directory> [--extra-ports]\n", argv[0]);
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral(".")))
        return 1;

    ModuleRack rack;
    QStringList ports;
    int serial = 1;
    // Only the named ports: a real module plugged in must not join the pictures.
    if (extraPorts)
        ports = ExtraPortPaths();
    for (const Shot &shot : kShots) {
        if (extraPorts)
            break;
        VmConfig config;
        config.name = QString::fromLatin1(shot.file);
        config.productId = QString::fromLatin1(shot.productId);
        config.sysName = QString::fromLatin1(shot.sysName);
        config.serialNumber = QStringLiteral("1VM%1").arg(serial++, 6, 10, QLatin1Char('0'));
        config.newSwVersion = QStringLiteral("3.5.0");
        config.returnDelayMs = 300; // back within the scaled reconnection wait
        ports << rack.add(config)->linkPath();
    }
    // The modules' link directory: its entries coming and going are the device notices (the
    // updated module reboots and comes back).
    if (!extraPorts)
        qputenv("TRIVO_EXTRA_PORTS", rack.dir().toLocal8Bit());
    DiscoverThread::setTimeScaleForTesting(0.05);
    MainWindow::setPortListerForTesting([ports](QStringList &paths) {
        paths = ports;
        return true;
    });

    int saved = 0;
    {
        MainWindow window;
        if (!QTest::qWaitFor(
                [&] { return window.isVisible() && !window.DiscoveryRunning(); }, 60000))
            return 1;
        auto save = [&](const QString &name) {
            QTest::qWait(kPollSettleMs);
            const QString path = out.filePath(name + QStringLiteral(".png"));
            if (window.grab().save(path)) {
                std::printf("%s\n", qPrintable(path));
                ++saved;
            }
        };
        QComboBox *combo = window.DeviceComboBox();
        // Every tab of the i-th module in the device list.
        auto saveTabs = [&](int i, const QString &stem) {
            combo->setCurrentIndex(i);
            window.MainWindowDeviceSelect(i);
            QTabWidget *tabs = window.CurrentPage()->groupBox();
            for (int t = 0; t < tabs->count(); ++t) {
                tabs->setCurrentIndex(t);
                save(QStringLiteral("%1_tab%2").arg(stem).arg(t));
            }
        };
        if (extraPorts) {
            for (int i = 0; i < combo->count(); ++i)
                saveTabs(i, FileStem(i, combo->itemText(i)));
            window.close();
            return saved > 0 ? 0 : 1;
        }
        for (int i = 0; i < combo->count() && i < int(std::size(kShots)); ++i)
            saveTabs(i, QString::fromLatin1(kShots[i].file));
        // The confirmation of a static address for media LAN 1, as the user sees the box.
        int twoLans = 0;
        while (twoLans < int(std::size(kShots)) - 1
            && qstrcmp(kShots[twoLans].file, "two_media_lans") != 0)
            ++twoLans;
        combo->setCurrentIndex(twoLans);
        window.MainWindowDeviceSelect(twoLans);
        QTest::qWait(kPollSettleMs);
        NetworkTabUi &media = window.CurrentPage()->networkTab(1);
        window.CurrentPage()->groupBox()->setCurrentWidget(media.tab);
        media.modeComboBox->setCurrentIndex(1);
        emit media.modeComboBox->activated(1);
        QTest::qWait(kPollSettleMs);
        media.ipAddressLineEdit->setText(QStringLiteral("192.168.010.020"));
        media.subnetMaskLineEdit->setText(QStringLiteral("255.255.255.000"));
        media.gatewayIpLineEdit->setText(QStringLiteral("192.168.010.001"));
        WindowMessageBox::setResponderForTesting([&](const WindowMessageBox::Request &request) {
            const std::unique_ptr<QMessageBox> box(WindowMessageBox::createBox(&window, request));
            box->show();
            QTest::qWait(300);
            const QString path = out.filePath(QStringLiteral("network_confirmation.png"));
            if (box->grab().save(path)) {
                std::printf("%s\n", qPrintable(path));
                ++saved;
            }
            return QMessageBox::Cancel;
        });
        emit media.applyPushButton->clicked();

        // A firmware update of the same module: its confirmation, the upload under way, the
        // commit question and the page once the module is back with its new version. The file
        // is large enough for the bar to move during the upload (ticks of 500 ms).
        const QString package = rack.dir() + QStringLiteral("/fw.vlts");
        if (writeTestFile(package, testPayload(32 * 1024 * 1024, 1))) {
            WindowMessageBox::setFileResponderForTesting(
                [package](const WindowMessageBox::FileRequest &) { return package; });
            const UpdateTabUi &update = window.CurrentPage()->updateTab();
            window.CurrentPage()->groupBox()->setCurrentWidget(update.tab);
            QTest::qWait(kPollSettleMs);
            auto grabTo = [&](QWidget *widget, const char *name) {
                const QString path = out.filePath(QString::fromLatin1(name) + ".png");
                if (widget->grab().save(path)) {
                    std::printf("%s\n", qPrintable(path));
                    ++saved;
                }
            };
            bool uploading = false;
            QObject::connect(update.progressBar, &QProgressBar::valueChanged, [&](int value) {
                if (!uploading && value > 0 && value < 100
                    && update.progressMessageLabel->text().startsWith(
                        QLatin1String("Transferring"))) {
                    uploading = true;
                    grabTo(&window, "update_upload");
                }
            });
            WindowMessageBox::setResponderForTesting([&](const WindowMessageBox::Request &r) {
                const std::unique_ptr<QMessageBox> box(WindowMessageBox::createBox(&window, r));
                box->show();
                QTest::qWait(300);
                if (r.title == QLatin1String("Software Update Confirmation"))
                    grabTo(box.get(), "update_confirmation");
                else if (r.title == QLatin1String("Confirm Update"))
                    grabTo(box.get(), "update_commit");
                return r.defaultButton ? r.defaultButton : QMessageBox::Ok;
            });
            update.updatePushButton->click();
            const bool ended = QTest::qWaitFor([&] { return !window.Update()->IsBusy(); }, 60000);
            WindowMessageBox::setFileResponderForTesting(nullptr);
            if (ended)
                save(QStringLiteral("update_done"));
        }
        WindowMessageBox::setResponderForTesting(nullptr);

        // No module at all.
        window.PostDeviceAddedList({}, {}, {});
        window.PostAppStatusMessage(QStringLiteral("No Velto Trivo devices found."));
        save(QStringLiteral("no_device"));
        window.close();
    }
    return saved > 0 ? 0 : 1;
}
