// Prints the GUI-thread time of one status poll (UpdateStatusUi) of the main window
// against a virtual two-media-LAN module: median and spread over many polls, and the
// share of it spent reading the module.
#include "bench_window.h"
#include "discover_thread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int kPolls = 300;
constexpr double kPollIntervalMs = 157.0;

std::vector<double> measure(const std::function<void()> &step)
{
    std::vector<double> ms;
    ms.reserve(kPolls);
    for (int i = 0; i < kPolls; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

double quantile(const std::vector<double> &ms, double q)
{
    return ms[static_cast<size_t>(q * (ms.size() - 1))];
}

void report(const char *what, const std::vector<double> &ms)
{
    std::printf("  %-32s median %6.2f ms  p90 %6.2f ms  min %6.2f ms  max %6.2f ms\n", what,
        quantile(ms, 0.5), quantile(ms, 0.9), ms.front(), ms.back());
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);

    DiscoverThread::setTimeScaleForTesting(0.01);
    BenchModule bench;
    if (!bench.start())
        return 1;
    MainWindow window;
    if (!BenchModule::awaitConnected(window))
        return 1;
    QTest::qWait(1000); // the first polls fill the page; measure the steady state

    // No events are processed between the measured calls, so the window's own timer
    // does not poll in between.
    const std::vector<double> poll = measure([&] { window.UpdateStatusUi(); });
    const std::vector<double> reads = measure([&] { window.GetParameterValuesTrivo(); });
    window.close();

    std::printf("status poll, two-media-LAN page, %d polls each\n", kPolls);
    report("UpdateStatusUi (whole poll)", poll);
    report("GetParameterValuesTrivo (reads)", reads);
    const double median = quantile(poll, 0.5);
    std::printf("budget: a quarter of %.0f ms = %.2f ms -> %s\n", kPollIntervalMs,
        kPollIntervalMs / 4, median < kPollIntervalMs / 4 ? "within" : "OVER");
    return 0;
}
