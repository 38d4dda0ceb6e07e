#include "discover_thread.h"

#include "cmd_engine.h"
#include "port_probe.h"
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

void DiscoverThread::run()
{
    if (!mCmdEngine)
        return;
    CSerialIF *serial = mCmdEngine->GetSerialIF();
    mDeniedPorts.clear();
    mHeldPorts.clear();

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
        const PortFinding finding
            = PortProbe::Probe(*mCmdEngine, port, mAbort, waitedSeconds, false);
        if (finding.outcome == PortFinding::Outcome::Aborted)
            return; // the window closes and disconnects the port itself
        if (finding.openError == CSerialIF::OpenError::PermissionDenied)
            mDeniedPorts << finding.path;
        if (finding.openError == CSerialIF::OpenError::Busy)
            mHeldPorts << finding.path;
        if (finding.outcome != PortFinding::Outcome::Module)
            continue;
        const ModuleIdentity &identity = finding.identity;
        QString displayName;
        QString serialId;
        MakeEntry(identity.name, identity.serialRead, identity.serial, port, displayName, serialId);
        deviceNameList << displayName;
        deviceIndexList << port;
        serialIDList << serialId;
    }

    QString status = deviceNameList.isEmpty()
        ? tr("No Velto Trivo devices found.")
        : QStringLiteral("Found %1 Velto Trivo devices.").arg(deviceNameList.size());
    // A port we may not open would otherwise look like "no module" to the user.
    if (!mDeniedPorts.isEmpty())
        status += QLatin1Char(' ') + SessionRules::PermissionDeniedText(mDeniedPorts.join(", "));
    // Likewise a port held by another program: the owner looks again while it stays held.
    if (!mHeldPorts.isEmpty())
        status += QLatin1Char(' ') + SessionRules::PortBusyText(mHeldPorts.join(", "));
    emit PostAppStatusMessage(status);
    emit PostPortsHeld(mHeldPorts);

    emit PostDeviceAddedList(deviceNameList, deviceIndexList, serialIDList);

    if (mReportReconnection) {
        emit SignalUpdatedDeviceReconnected();
        mReportReconnection = false;
    }
}
