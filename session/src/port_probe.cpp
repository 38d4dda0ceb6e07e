#include "port_probe.h"

#include "cmd_engine.h"
#include "posix_serial_if.h"
#include "session_logging.h"
#include "session_worker.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace PortProbe {

namespace {

// Asks the open port until it answers or its deadline passes. False on abort.
bool askUntilAnswer(CCmdEngine &engine, int port, const std::atomic<bool> &abort,
    int &waitedSeconds, bool &isModule)
{
    CSerialIF *serial = engine.GetSerialIF();
    QElapsedTimer deadline;
    QElapsedTimer tick;
    deadline.start();
    tick.start();
    const int deadlineMs = SessionWorker::Scaled(kPortDeadlineMs);
    const int tickMs = SessionWorker::Scaled(kTickMs);

    isModule = false;
    while (true) {
        if (deadline.elapsed() > deadlineMs)
            return true;
        if (abort)
            return false;
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("Checking to see if device %1 is a module").arg(port);
        serial->FlushInput();
        if (engine.IsModule()) {
            isModule = true;
            return true;
        }
        // The owner is giving the port up (closing): its abort follows at once.
        if (abort || engine.GetCommProtocol().cancelled())
            return false;
        // A port that went away will not answer later in this run.
        if (!serial->IsOpen())
            return !abort;
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
        if (abort)
            return false;
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("DeviceAdded(): No one home on serial port ") + QString::number(port)
                + QStringLiteral(", waiting for potential usbcfgd to start after reboot");
        QCoreApplication::processEvents();
    }
}

} // namespace

bool PortHeld(const QString &path)
{
    CPosixSerialIF port;
    if (port.OpenDevicePath(path)) {
        port.CloseSerialPort();
        return false;
    }
    return port.LastOpenError() == CSerialIF::OpenError::Busy;
}

ModuleIdentity ReadIdentity(CCmdEngine &engine, bool withProduct)
{
    ModuleIdentity identity;
    engine.GetModuleName(identity.name);
    identity.serialRead = engine.GetModuleSerialNumber(identity.serial) == eResultOK;
    if (!identity.serialRead)
        identity.serial.clear();
    if (withProduct && engine.GetModuleProductID(identity.productId) == eResultOK)
        identity.boardId = CProductID::GetBoardIDFromProductID(identity.productId);
    return identity;
}

PortFinding Probe(CCmdEngine &engine, int port, const std::atomic<bool> &abort, int &waitedSeconds,
    bool withProduct)
{
    CSerialIF *serial = engine.GetSerialIF();
    PortFinding finding;
    finding.path = serial->PortPath(port);
    qCDebug(lcDiscover).noquote()
        << QStringLiteral("Checking for module on serial port = %1").arg(port);
    if (!serial->OpenSerialPort(port)) {
        qCDebug(lcDiscover).noquote()
            << QStringLiteral("OpenSerialPort failed for device %1, skipping").arg(port);
        finding.outcome = PortFinding::Outcome::OpenFailed;
        finding.openError = serial->LastOpenError();
        return finding;
    }
    if (!serial->IsOpen()) {
        qCDebug(lcDiscover).noquote() << QStringLiteral("Serial port %1 open failed.").arg(port);
        finding.outcome = PortFinding::Outcome::OpenFailed;
        return finding;
    }
    qCDebug(lcDiscover).noquote() << QStringLiteral(
        "Serial port open for device %1.  Setting foundModule to false prior "
        "to checking if it is one.")
                                         .arg(port);

    bool isModule = false;
    if (!askUntilAnswer(engine, port, abort, waitedSeconds, isModule)) {
        finding.outcome = PortFinding::Outcome::Aborted;
        return finding;
    }
    if (isModule) {
        qCDebug(lcDiscover).noquote() << QStringLiteral("Yes, device %1 is a module").arg(port);
        finding.outcome = PortFinding::Outcome::Module;
        finding.identity = ReadIdentity(engine, withProduct);
    }
    serial->CloseSerialPort();
    qCDebug(lcDiscover).noquote() << (isModule ? QStringLiteral("Serial port %1 IS a module.")
                                               : QStringLiteral("Serial port %1 is not a module."))
                                         .arg(port);
    return finding;
}

} // namespace PortProbe
