#pragma once

#include "app_settings.h"
#include "discover_thread.h"
#include "main_window.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include <memory>

// The main window started on virtual modules' ports, for the window tests.
class WindowFixture
{
public:
    static constexpr int kDiscoveryTimeoutMs = 20000;
    static constexpr double kTimeScale = 0.01;

    // Once per test program: settings in test mode, short worker waits, and the window
    // lists the ports of ports() instead of the computer's.
    static void setUp()
    {
        QStandardPaths::setTestModeEnabled(true);
        SessionWorker::setTimeScaleForTesting(kTimeScale);
        MainWindow::setPortListerForTesting([](QStringList &paths) {
            paths = ports();
            return true;
        });
    }

    static QStringList &ports()
    {
        static QStringList list;
        return list;
    }

    // A window on these ports once its first discovery run has ended; null if it never does.
    MainWindow *start(const QStringList &portPaths)
    {
        // Every window test also checks that no two threads ever use the engine at once.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("used by two threads at once")));
        ports() = portPaths;
        window = std::make_unique<MainWindow>();
        MainWindow *w = window.get();
        // The window shows itself when the first discovery run has ended.
        if (!QTest::qWaitFor(
                [w] { return w->isVisible() && !w->DiscoveryRunning(); }, kDiscoveryTimeoutMs))
            return nullptr;
        return w;
    }

    void close()
    {
        if (window)
            window->close();
        window.reset();
    }

    std::unique_ptr<MainWindow> window;
};

// In a test class with a WindowFixture mFixture: starts the window on these ports and fails
// the test unless its first discovery run ends.
#define START_WINDOW(window, ...)                                                                  \
    MainWindow *window = mFixture.start(__VA_ARGS__);                                              \
    QVERIFY(window)
