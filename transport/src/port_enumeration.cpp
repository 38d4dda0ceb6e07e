#include "port_enumeration.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QtGlobal>

QStringList FilterModulePorts(const QList<SerialPortRecord> &records)
{
    QStringList paths;
    for (const SerialPortRecord &r : records) {
        if (r.hasUsbIds && r.vendorId == kModuleUsbVendorId && r.productId == kModuleUsbProductId)
            paths.append(r.path);
    }
    return paths;
}

QStringList ExtraPortEntries()
{
    const QString value = qEnvironmentVariable(kExtraPortsEnvVar);
    return value.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList ExtraPortPaths()
{
    QStringList paths;
    for (const QString &item : ExtraPortEntries()) {
        const QFileInfo info(item);
        if (info.isDir()) {
            // Entries of a directory are device links (virtual modules); dangling links
            // belong to a module that is rebooting and are left out.
            const QDir dir(item);
            const QFileInfoList entries
                = dir.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            for (const QFileInfo &e : entries) {
                if (e.exists())
                    paths.append(e.absoluteFilePath());
            }
        } else if (info.exists()) {
            paths.append(info.absoluteFilePath());
        }
    }
    return paths;
}

bool ListModulePorts(QStringList &paths)
{
    QList<SerialPortRecord> records;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialPortRecord r;
        r.path = info.systemLocation();
        r.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        r.vendorId = info.vendorIdentifier();
        r.productId = info.productIdentifier();
        records.append(r);
    }
    paths = FilterModulePorts(records) + ExtraPortPaths();
    // The system's serial-port listing reads sysfs and cannot fail in a way it reports;
    // an unreadable /sys gives an empty list, which is not a failed enumeration.
    return true;
}
