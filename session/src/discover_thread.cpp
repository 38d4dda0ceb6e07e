#include "discover_thread.h"

#include "cmd_engine.h"
#include "serial_if.h"
#include "session_logging.h"
#include "session_rules.h"

#include <QCoreApplication>
#include <QElapsedTimer>

Q_LOGGING_CATEGORY(lcDiscover, "trivo.discover", QtInfoMsg)

namespace {
constexpr int kSettlePassMs = 10; // sleep per settle pass, so the wait does not spin
} // namespace

DiscoverThread::DiscoverThread(QObject *parent)
    : SessionWorker(parent)
{ }

DiscoverThread::~DiscoverThread() = default;

void DiscoverThread::MakeEntry(const QString &systemName, bool serialRead, const QString &serial,
    int portIndex, QString &displayName, QString &serialId)
{
    const QString serialText = serialRead ? serial : tr("Serial Number Not Available");
    displayName
        = QStringLiteral("%1").arg(systemName.isEmpty() ? tr("Unknown Device") : systemName);
    if (!serialText.isEmpty())
        displayName += QStringLiteral(" - ") + serialText;
    serialId = serialRead ? serial : QStringLiteral("%1").arg(portIndex);
}

void DiscoverThread::reportUnopenablePort(int port)
{
    CSerialIF *serial = mCmdEngine->GetSerialIF();
    if (serial->LastOpenError() == CSerialIF::OpenError::PermissionDenied)
        mDeniedPorts << serial->PortPath(port);
}

bool DiscoverThread::probePort(int port, int &waitedSeconds, bool &isModule)
{
    CSerialIF *serial = mCmdEngine->GetSerialIF();
    QElapsedTimer deadline;
    QElapsedTimer tick;
    deadline.start();
    tick.start();
    const int deadlineMs = Scaled(kPortDeadlineMs);
    const int tickMs = Scaled(kTickMs);

    isModule = false;
    while (true) {
        if (deadline.elapsed() > deadlineMs)
            return true;
        if (mAbort)
            return false;
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("Checking to see if device %1 is a module").arg(port);
        serial->FlushInput();
        if (mCmdEngine->IsModule()) {
            isModule = true;
            return true;
        }
        // A port that went away will not answer later in this run.
        if (!serial->IsOpen())
            return !mAbort;
        if (tick.elapsed() > tickMs) {
            ++waitedSeconds;
            qCDebug(lcDiscover).noquote()
                << QStringLiteral("Waited %1 seconds...").arg(waitedSeconds);
            tick.restart();
        }
        if (deadline.elapsed() > deadlineMs) {
            qCDebug(lcDiscover).noquote()
                << QStringLiteral("DeviceAdded(): Tried for %1 seconds, giving up.")
                       .arg(kPortDeadlineMs / 1000);
            continue;
        }
        if (mAbort)
            return false;
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("DeviceAdded(): No one home on serial port ") + QString::number(port)
                + QStringLiteral(", waiting for potential usbcfgd to start after reboot");
        QCoreApplication::processEvents();
    }
}

void DiscoverThread::run()
{
    if (!mCmdEngine)
        return;
    CSerialIF *serial = mCmdEngine->GetSerialIF();
    mDeniedPorts.clear();

    emit PostAppStatusMessage(tr("Looking for Velto devices..."));

    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < Scaled(kSettleMs)) {
        if (mAbort)
            return;
        QCoreApplication::processEvents();
        msleep(static_cast<unsigned long>(qMax(1, qMin(kSettlePassMs, Scaled(kSettleMs)))));
    }
    // Listed after the settle: a USB device's arrival is announced before its serial port
    // exists, and a module that has just rebooted would otherwise be missed by this run.
    serial->EnumeratePorts();

    QStringList deviceNameList;
    QIntList deviceIndexList;
    QStringList serialIDList;
    int waitedSeconds = 0;

    const int numPorts = serial->GetNumPorts();
    qCDebug(lcDiscover).noquote() << QStringLiteral("Num serialports = %1").arg(numPorts);
    for (int port = 0; port < numPorts; ++port) {
        if (mAbort)
            return;
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("Checking for module on serial port = %1").arg(port);
        if (!serial->OpenSerialPort(port)) {
            qCDebug(lcDiscover).noquote()
                << QStringLiteral("OpenSerialPort failed for device %1, skipping").arg(port);
            reportUnopenablePort(port);
            continue;
        }
        if (!serial->IsOpen()) {
            qCDebug(lcDiscover).noquote()
                << QStringLiteral("Serial port %1 open failed.").arg(port);
            continue;
        }
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("Serial port open for device %1.  Setting foundModule to false prior "
                              "to checking if it is one.")
                   .arg(port);

        bool isModule = false;
        if (!probePort(port, waitedSeconds, isModule))
            return; // aborted: the window closes and disconnects the port itself

        if (isModule) {
            qCDebug(lcDiscover).noquote() << QStringLiteral("Yes, device %1 is a module").arg(port);
            QString name;
            mCmdEngine->GetModuleName(name);
            QString serialNumber;
            const bool serialRead = mCmdEngine->GetModuleSerialNumber(serialNumber) == eResultOK;
            QString displayName;
            QString serialId;
            MakeEntry(name, serialRead, serialNumber, port, displayName, serialId);
            deviceNameList << displayName;
            deviceIndexList << port;
            serialIDList << serialId;
        }
        serial->CloseSerialPort();
        qCDebug(lcDiscover).noquote()
            << (isModule ? QStringLiteral("Serial port %1 IS a module.")
                         : QStringLiteral("Serial port %1 is not a module."))
                   .arg(port);
    }

    QString status = deviceNameList.isEmpty()
        ? tr("No Velto Trivo devices found.")
        : QStringLiteral("Found %1 Velto Trivo devices.").arg(deviceNameList.size());
    // A port we may not open would otherwise look like "no module" to the user.
    if (!mDeniedPorts.isEmpty())
        status += QLatin1Char(' ') + SessionRules::PermissionDeniedText(mDeniedPorts.join(", "));
    emit PostAppStatusMessage(status);

    emit PostDeviceAddedList(deviceNameList, deviceIndexList, serialIDList);

    if (mReportReconnection) {
        emit SignalUpdatedDeviceReconnected();
        mReportReconnection = false;
    }
}
