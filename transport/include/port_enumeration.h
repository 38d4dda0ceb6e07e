#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// USB identity of the modules' serial function. Chosen once; never change them.
constexpr quint16 kModuleUsbVendorId = 0x3A7C;
constexpr quint16 kModuleUsbProductId = 0x0101;

// Environment variable naming extra candidate ports (virtual modules): a
// colon-separated list of device paths or directories whose entries are device links.
inline constexpr const char kExtraPortsEnvVar[] = "TRIVO_EXTRA_PORTS";

// One serial device as the system describes it.
struct SerialPortRecord
{
    QString path; // device path, e.g. /dev/ttyACM0
    bool hasUsbIds = false; // false for devices that are not USB or report no IDs
    quint16 vendorId = 0;
    quint16 productId = 0;
};

// Paths of the records that carry the modules' vendor and product IDs, in input order.
QStringList FilterModulePorts(const QList<SerialPortRecord> &records);

// Device paths named by TRIVO_EXTRA_PORTS (entries of directories sorted by name).
QStringList ExtraPortPaths();
// The directories and files listed in TRIVO_EXTRA_PORTS, as given.
QStringList ExtraPortEntries();

// The candidate list: USB module ports in system order, then the extra ports.
// False when the system could not give its device list.
bool ListModulePorts(QStringList &paths);
