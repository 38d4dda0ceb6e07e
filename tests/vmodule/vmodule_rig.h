#pragma once

#include "cmd_engine.h"
#include "module_rack.h"
#include "posix_serial_if.h"
#include "stub_app_if.h"
#include "test_data.h"
#include "virtual_module.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

// Short waits everywhere, so that timed behaviour costs test time only where it is the point.
inline VmConfig fastConfig(const QString &product)
{
    VmConfig c;
    c.name = "vm";
    c.productId = product;
    c.dhcpDelayMs = 200;
    c.verifyDelayMs = 100;
    c.commitMs = 300;
    c.rebootDelayMs = 50;
    c.returnDelayMs = 300;
    c.kermitTimeoutMs = 1000;
    return c;
}

// A virtual module in a temporary directory and the real engine on its link.
struct VmRig
{
    QTemporaryDir dir;
    std::unique_ptr<VirtualModule> module;
    StubAppIF app;
    std::unique_ptr<CCmdEngine> engine;
    CPosixSerialIF *serial = nullptr; // owned by the engine

    // Starts the module and puts an engine on its link, connected unless told otherwise.
    bool start(const VmConfig &config, bool connect = true)
    {
        module = std::make_unique<VirtualModule>(config, dir.path());
        return module->start() && attach() && (!connect || engine->ConnectModule() == eConnectOK);
    }
    // A fresh engine on the module's link (after a reboot the old port is dead).
    bool attach()
    {
        engine.reset();
        serial = new CPosixSerialIF;
        engine = std::make_unique<CCmdEngine>(serial, nullptr, &app, kBoardIdUnknown);
        return serial->OpenDevicePath(module->linkPath());
    }
    // A file of the given content in the rig's directory; its path, empty on failure.
    QString file(const QByteArray &content, const QString &name = "fw.vlts")
    {
        const QString path = dir.filePath(name);
        return writeTestFile(path, content) ? path : QString();
    }
    QStringList requestLines() const { return ::requestLines(module.get()); }
};

// Polls cond until it holds or timeoutMs pass.
inline bool waitFor(const std::function<bool()> &cond, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}
