// Prints the phases of one firmware update of a 16 MiB package against a virtual module
// with short delays of its own, driven through the widget-free update sequence as the
// command-line tool drives it, and the overhead: total - upload - the module's own delays.
#include "discover_thread.h"
#include "module_rack.h"
#include "module_session.h"
#include "posix_serial_if.h"
#include "stub_app_if.h"
#include "test_data.h"
#include "update_reconnector.h"
#include "update_sequence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kPackageBytes = 16 * 1024 * 1024;

struct YesPrompts : UpdatePrompts
{
    QString package;
    QString PickPackage(const PackageRequest &) override { return package; }
    bool ConfirmUpdate(const QString &, const QString &) override { return true; }
    bool ConfirmCommit(const QString &, const QString &) override { return true; }
    void RebootNotice(const QString &) override { }
};

// No desktop to ask during a benchmark.
struct NoInhibitor : SleepInhibitor
{
    bool Inhibit(const QString &) override { return false; }
    void Release() override { }
    bool IsHeld() const override { return false; }
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    VmConfig config;
    config.name = "bench";
    config.productId = "DECODER10G2";
    config.serialNumber = "BENCH1";
    config.newSwVersion = "3.5.0";
    config.verifyDelayMs = 100;
    config.commitMs = 500;
    config.rebootDelayMs = 200;
    config.returnDelayMs = 300;
    const int moduleDelaysMs
        = config.verifyDelayMs + config.commitMs + config.rebootDelayMs + config.returnDelayMs;

    ModuleRack rack;
    VirtualModule *module = rack.add(config);
    auto *serial = new CPosixSerialIF;
    serial->SetPortLister([link = module->linkPath()](QStringList &paths) {
        paths = { link };
        return true;
    });
    StubAppIF appIF;
    ModuleSession session(serial, nullptr, &appIF);
    YesPrompts prompts;
    prompts.package = rack.dir() + "/package.vlts";
    if (!writeTestFile(prompts.package, testPayload(kPackageBytes, 42))) {
        std::fprintf(stderr, "cannot write the package\n");
        return 1;
    }
    UpdateSequence sequence(&session, &prompts, std::make_unique<NoInhibitor>());
    UpdateReconnector reconnector(&sequence);
    serial->EnumeratePorts();
    if (!reconnector.ConnectPort(0).ok()) {
        std::fprintf(stderr, "cannot connect the virtual module\n");
        return 1;
    }

    // When each progress text was first shown, and when the module was back.
    QElapsedTimer clock;
    QMap<QString, qint64> shownAt;
    QObject::connect(
        &sequence, &UpdateSequence::PostUpdateProgressMessage, [&](const QString &text, int) {
            if (!shownAt.contains(text))
                shownAt.insert(text, clock.elapsed());
        });
    qint64 backAt = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (backAt < 0 && module->plugCount() > 1)
            backAt = clock.elapsed();
    });
    watch.start(1);
    QObject::connect(&sequence, &UpdateSequence::ChainFinished, &app, &QCoreApplication::quit);

    clock.start();
    if (!sequence.Start()) {
        std::fprintf(
            stderr, "the update did not start (result %d)\n", int(sequence.State().result));
        return 1;
    }
    app.exec();
    const qint64 totalMs = clock.elapsed();
    if (sequence.State().result != eUpdateSucceeded || backAt < 0) {
        std::fprintf(stderr, "the update failed: result %d\n", int(sequence.State().result));
        return 1;
    }

    const auto at = [&](const char *text) { return shownAt.value(QString::fromLatin1(text), -1); };
    const qint64 uploadMs = at("File transfer succeeded") - at("Transferring file package.vlts");
    const qint64 verifyMs = at("Firmware image verified") - at("Verifying firmware image");
    const qint64 commitMs = at("Firmware image committed") - at("Committing firmware image");
    const qint64 rebootMs = backAt - at("Rebooting the module...");
    const qint64 reconnectMs = at("Connected to the module.") - backAt;
    const qint64 overheadMs = totalMs - uploadMs - moduleDelaysMs;
    std::printf("progress texts, ms after Start():\n");
    QList<QPair<qint64, QString>> timeline;
    for (auto it = shownAt.cbegin(); it != shownAt.cend(); ++it)
        timeline << qMakePair(it.value(), it.key());
    std::sort(timeline.begin(), timeline.end());
    for (const auto &shown : qAsConst(timeline))
        std::printf("  %6lld  %s\n", (long long)shown.first, qPrintable(shown.second));
    std::printf("package                 %d bytes\n", kPackageBytes);
    std::printf("upload                  %6lld ms  (%.2f MiB/s)\n", (long long)uploadMs,
        kPackageBytes / 1048576.0 / (uploadMs / 1000.0));
    std::printf("verification            %6lld ms  (module: %d ms)\n", (long long)verifyMs,
        config.verifyDelayMs);
    std::printf("commit                  %6lld ms  (module: %d ms)\n", (long long)commitMs,
        config.commitMs);
    std::printf("reboot until back       %6lld ms  (module: %d ms)\n", (long long)rebootMs,
        config.rebootDelayMs + config.returnDelayMs);
    std::printf("reconnection            %6lld ms  (discovery settle: %d ms)\n",
        (long long)reconnectMs, DiscoverThread::kSettleMs);
    std::printf("total                   %6lld ms\n", (long long)totalMs);
    std::printf("overhead                %6lld ms  (target <= %d ms)\n", (long long)overheadMs,
        DiscoverThread::kSettleMs + 1000);
    return 0;
}
