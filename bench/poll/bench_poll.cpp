// Prints the GUI-thread time of one status poll (UpdateStatusUi) of the main window
// against a virtual two-media-LAN module: median and spread over many polls.
#include "discover_thread.h"
#include "main_window.h"
#include "virtual_module.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kPolls = 300;
constexpr double kPollIntervalMs = 157.0;
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);

    QTemporaryDir linkDir;
    VmConfig config;
    config.name = QStringLiteral("bench");
    config.productId = QStringLiteral("DECODER10G2");
    vmCompleteConfig(config);
    VirtualModule module(config, linkDir.path());
    QString error;
    if (!module.start(&error)) {
        std::fprintf(stderr, "virtual module: %s\n", qPrintable(error));
        return 1;
    }
    const QString port = module.linkPath();
    DiscoverThread::setTimeScaleForTesting(0.01);
    MainWindow::setPortListerForTesting([port](QStringList &paths) {
        paths = { port };
        return true;
    });

    MainWindow window;
    if (!QTest::qWaitFor([&] { return window.isVisible() && !window.DiscoveryRunning(); }, 30000)
        || !window.CmdEngine()->IsConnected()) {
        std::fprintf(stderr, "no connection to the virtual module\n");
        return 1;
    }
    QTest::qWait(1000); // the first polls fill the page; measure the steady state

    std::vector<double> ms;
    ms.reserve(kPolls);
    for (int i = 0; i < kPolls; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.UpdateStatusUi();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    window.close();

    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1))]; };
    std::printf("status poll (UpdateStatusUi), two-media-LAN page, %d polls\n", kPolls);
    std::printf("  median %.2f ms  p90 %.2f ms  min %.2f ms  max %.2f ms\n", at(0.5), at(0.9),
        ms.front(), ms.back());
    std::printf("  budget: a quarter of %.0f ms = %.2f ms -> %s\n", kPollIntervalMs,
        kPollIntervalMs / 4, at(0.5) < kPollIntervalMs / 4 ? "within" : "OVER");
    return 0;
}
