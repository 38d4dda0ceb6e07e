#pragma once

#include "app_if.h"
#include "cmd_engine.h"
#include "posix_serial_if.h"
#include "virtual_module.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>

class QuietAppIF : public CAppIF
{
public:
    void NotifyModuleTypeChanged() override { }
    void NotifyNewConnection() override { }
    void DisConnection() override { }
    bool IsManufacturingMode() override { return false; }
    CSerialIF *CreateSerialIF() override { return nullptr; }
    QString GetWorkingDirectory() override { return {}; }
    QString GetFontStyle() override { return {}; }
    QString GetWidgetStyleSheet() override { return {}; }
    QString GetLabelStyle() override { return {}; }
    QString GetAppVersion() override { return {}; }
};

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
    QuietAppIF app;
    std::unique_ptr<CCmdEngine> engine;
    CPosixSerialIF *serial = nullptr; // owned by the engine

    bool start(const VmConfig &config)
    {
        module = std::make_unique<VirtualModule>(config, dir.path());
        return module->start() && attach();
    }
    // A fresh engine on the module's link (after a reboot the old port is dead).
    bool attach()
    {
        engine.reset();
        serial = new CPosixSerialIF;
        engine = std::make_unique<CCmdEngine>(serial, nullptr, &app, kBoardIdUnknown);
        return serial->OpenDevicePath(module->linkPath());
    }
    QStringList requestLines() const
    {
        QStringList lines;
        for (const VmRequest &r : module->requests())
            lines << QStringList { r.type, r.param, r.value }.join(' ');
        return lines;
    }
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

inline QByteArray sha256(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// Incompressible bytes with long runs mixed in (repeat counts) and every byte value.
inline QByteArray testPayload(int size, uint32_t seed)
{
    QByteArray out;
    out.reserve(size);
    uint32_t x = seed | 1;
    while (out.size() < size) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        if ((x & 0xFC) == 0)
            out.append(int(x >> 8) % 200 + 1, char(x >> 24));
        else
            out.append(char(x >> 16));
    }
    out.truncate(size);
    return out;
}
