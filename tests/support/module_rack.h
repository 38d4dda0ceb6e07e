#pragma once

#include "virtual_module.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// The requests a module received, one "type param value" line each.
inline QStringList requestLines(const VirtualModule *module)
{
    QStringList lines;
    for (const VmRequest &r : module->requests())
        lines << QStringList { r.type, r.param, r.value }.join(' ');
    return lines;
}

// Virtual modules on pseudo-terminals, published in a private link directory.
class ModuleRack
{
public:
    VirtualModule *add(const QString &name, const QString &productId, const QString &sysName,
        const QString &serial)
    {
        VmConfig config;
        config.name = name;
        config.productId = productId;
        config.sysName = sysName;
        config.serialNumber = serial;
        return add(config);
    }

    VirtualModule *add(VmConfig config)
    {
        vmCompleteConfig(config);
        auto module = std::make_unique<VirtualModule>(config, mDir.path());
        QString error;
        if (!module->start(&error))
            qWarning(
                "virtual module %s did not start: %s", qPrintable(config.name), qPrintable(error));
        mModules.push_back(std::move(module));
        return mModules.back().get();
    }

    QString dir() const { return mDir.path(); }

private:
    QTemporaryDir mDir;
    std::vector<std::unique_ptr<VirtualModule>> mModules;
};
