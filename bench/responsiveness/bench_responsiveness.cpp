// Prints how long the GUI thread of the main window is kept from its events while it polls
// a virtual module that is healthy, slow (every reply delayed) or silent (answers
// nothing): a 10 ms timer measures its own lateness; longest and 99th-percentile stall,
// and the stalls over one second.
//   bench_responsiveness [seconds per case, default 15] [slow reply ms, default 50]
#include "bench_window.h"
#include "discover_thread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kTickMs = 10;

struct Case
{
    const char *name;
    VmFaults faults; // applied once the window is connected
};

// Lateness of every tick of a kTickMs timer over seconds of event processing.
std::vector<qint64> measureStalls(int seconds)
{
    std::vector<qint64> late;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        late.push_back(std::max<qint64>(0, now - last - kTickMs));
        last = now;
    });
    tick.start(kTickMs);
    QTest::qWait(seconds * 1000);
    return late;
}

int runCase(const Case &c, int seconds)
{
    BenchModule bench;
    if (!bench.start())
        return 1;
    MainWindow window;
    if (!BenchModule::awaitConnected(window))
        return 1;
    QTest::qWait(500);
    bench.module().setFaults(c.faults);
    std::vector<qint64> late = measureStalls(seconds);
    const QString status = window.StatusText();
    window.close();

    const size_t overOneSecond
        = size_t(std::count_if(late.begin(), late.end(), [](qint64 ms) { return ms > 1000; }));
    std::sort(late.begin(), late.end());
    const qint64 p99 = late.empty() ? 0 : late[size_t(0.99 * double(late.size() - 1))];
    std::printf("  %-8s longest %5lld ms  p99 %5lld ms  stalls > 1 s: %zu in %d s  status: %s\n",
        c.name, late.empty() ? 0LL : (long long)late.back(), (long long)p99, overOneSecond, seconds,
        qPrintable(status));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    // Only the discovery settle is shortened; the poll and the module's replies keep their
    // real timing.
    DiscoverThread::setTimeScaleForTesting(0.01);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const int slowMs = argc > 2 ? std::max(1, atoi(argv[2])) : 50;

    VmFaults slow;
    slow.slowReplyMs = slowMs;
    VmFaults silent;
    silent.silenceAfter = 0;
    const Case cases[] = { { "healthy", VmFaults() }, { "slow", slow }, { "silent", silent } };

    std::printf("GUI-thread stalls while polling (10 ms timer lateness, %d s each, slow = %d ms "
                "per reply)\n",
        seconds, slowMs);
    for (const Case &c : cases) {
        if (runCase(c, seconds) != 0)
            return 1;
    }
    return 0;
}
