#pragma once

#include "product_id.h"
#include "serial_if.h"

#include <QString>
#include <atomic>
#include <cstdint>

class CCmdEngine;

// Who a module on a port says it is.
struct ModuleIdentity
{
    QString name; // system name; "" when the module gives none
    QString serial; // formatted serial number, when serialRead
    bool serialRead = false;
    QString productId; // only when the probe asked for it
    uint32_t boardId = kBoardIdUnknown; // from the product ID
};

// What probing one candidate port came to.
struct PortFinding
{
    enum class Outcome
    {
        Module,
        NotModule, // opened, but nothing answered before the deadline
        OpenFailed, // see openError
        Aborted, // stopped on request; the port is left open for its owner to close
    };
    Outcome outcome = Outcome::NotModule;
    CSerialIF::OpenError openError = CSerialIF::OpenError::None;
    QString path;
    ModuleIdentity identity; // when Module
};

// Probing one port the way discovery does, shared by the discovery worker and the
// command-line tool (which probes many ports at once, one engine each).
namespace PortProbe {

constexpr int kPortDeadlineMs = 10000; // a port that has not answered by then is no module
constexpr int kTickMs = 1000;

// Opens port index of the engine's serial interface, asks until a module answers, the
// (scaled) deadline passes or abort is set, reads the identity and closes the port.
// waitedSeconds counts the ticks waited over a whole run. withProduct adds the product ID.
PortFinding Probe(CCmdEngine &engine, int port, const std::atomic<bool> &abort, int &waitedSeconds,
    bool withProduct);

// Name and serial number as discovery reads them; withProduct adds product and board ID.
ModuleIdentity ReadIdentity(CCmdEngine &engine, bool withProduct);

// Whether another program holds the port now: it is opened as a probe would open it, and
// closed again at once.
bool PortHeld(const QString &path);

} // namespace PortProbe
