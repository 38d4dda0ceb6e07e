#pragma once

#include "exit_status.h"
#include "port_probe.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class ModuleSession;

// One session per port, each used on its own thread, so that work on many modules costs
// about as long as on the slowest one, not the sum.
class Fleet
{
public:
    explicit Fleet(const QStringList &paths);
    ~Fleet();

    // Runs task(index, session) for every port at once and waits for all of them.
    void Run(const std::function<void(int, ModuleSession &)> &task);

private:
    std::vector<std::unique_ptr<ModuleSession>> mSessions;
};

// A module found on a port.
struct FoundModule
{
    QString path;
    ModuleIdentity identity;
};

// A port that could not be looked at, with the status and message that say why.
struct PortProblem
{
    QString path;
    ExitStatus status = ExitStatus::Ok;
    QString message;
};

// The problem behind an open error; Ok for errors that only mean "no module here".
PortProblem OpenProblem(const QString &path, CSerialIF::OpenError error);

struct PortScan
{
    QList<FoundModule> modules; // in port order
    // Ports the user may not open or another program holds, and ports where nothing
    // answered (status NoModule).
    QList<PortProblem> problems;
};

// The candidate ports: modules' USB serial ports and the extra ports (virtual modules).
QStringList CandidatePorts();
// Probes the ports at once as discovery does and reads each module's identity.
PortScan ScanPorts(const QStringList &paths);
