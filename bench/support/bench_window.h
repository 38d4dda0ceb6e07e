#pragma once

// What the window benchmarks share: one virtual two-media-LAN module that the window finds
// alone, and the wait until the window is connected to it.
#include "main_window.h"
#include "virtual_module.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

class BenchModule
{
public:
    // Starts the module and makes it the window's only candidate port; false (and said on
    // standard error) when it cannot start.
    bool start()
    {
        VmConfig config;
        config.name = QStringLiteral("bench");
        config.productId = QStringLiteral("DECODER10G2");
        vmCompleteConfig(config);
        mModule = std::make_unique<VirtualModule>(config, mLinkDir.path());
        QString error;
        if (!mModule->start(&error)) {
            std::fprintf(stderr, "virtual module: %s\n", qPrintable(error));
            return false;
        }
        const QString port = mModule->linkPath();
        MainWindow::setPortListerForTesting([port](QStringList &paths) {
            paths = { port };
            return true;
        });
        return true;
    }

    VirtualModule &module() { return *mModule; }

    // Until the window has run discovery and connected; false (and said) otherwise.
    static bool awaitConnected(MainWindow &window)
    {
        if (QTest::qWaitFor([&] { return window.isVisible() && !window.DiscoveryRunning(); }, 30000)
            && window.CmdEngine()->IsConnected())
            return true;
        std::fprintf(stderr, "no connection to the virtual module\n");
        return false;
    }

private:
    QTemporaryDir mLinkDir;
    std::unique_ptr<VirtualModule> mModule;
};
