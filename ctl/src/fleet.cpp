#include "fleet.h"

#include "ctl_stop.h"
#include "module_session.h"
#include "port_enumeration.h"
#include "posix_serial_if.h"
#include "session_rules.h"

#include <thread>

Fleet::Fleet(const QStringList &paths)
{
    for (const QString &path : paths) {
        auto *serial = new CPosixSerialIF;
        serial->SetPortList({ path });
        // Its own port only, also when discovery lists again to find a rebooted module: a
        // session probing the others' ports would get in the way of their work.
        serial->SetPortLister([path](QStringList &paths) {
            paths = QStringList { path };
            return true;
        });
        mSessions.push_back(std::make_unique<ModuleSession>(serial, nullptr, nullptr));
        StopSignals::Register(mSessions.back().get());
    }
}

Fleet::~Fleet()
{
    for (const auto &session : mSessions)
        StopSignals::Unregister(session.get());
}

void Fleet::Run(const std::function<void(int, ModuleSession &)> &task)
{
    // Joined threads: all a task wrote is visible once Run returns.
    std::vector<std::thread> threads;
    for (size_t i = 0; i < mSessions.size(); ++i) {
        ModuleSession *session = mSessions[i].get();
        threads.emplace_back([&task, i, session] { task(int(i), *session); });
    }
    for (std::thread &thread : threads)
        thread.join();
}

PortProblem OpenProblem(const QString &path, CSerialIF::OpenError error)
{
    switch (error) {
    case CSerialIF::OpenError::PermissionDenied:
        return { path, ExitStatus::PermissionDenied, SessionRules::PermissionDeniedText(path) };
    case CSerialIF::OpenError::Busy:
        return { path, ExitStatus::PortBusy, SessionRules::PortBusyText(path) };
    default:
        return { path, ExitStatus::Ok, QString() };
    }
}

QStringList CandidatePorts()
{
    QStringList paths;
    ListModulePorts(paths);
    return paths;
}

PortScan ScanPorts(const QStringList &paths)
{
    std::vector<PortFinding> findings(size_t(paths.size()));
    Fleet fleet(paths);
    fleet.Run([&findings](int i, ModuleSession &session) {
        int waitedSeconds = 0;
        findings[size_t(i)]
            = PortProbe::Probe(*session.Engine(), 0, StopSignals::Flag(), waitedSeconds, true);
        session.Disconnect();
    });

    PortScan scan;
    for (const PortFinding &finding : findings) {
        if (finding.outcome == PortFinding::Outcome::Module)
            scan.modules << FoundModule { finding.path, finding.identity };
        if (finding.outcome == PortFinding::Outcome::NotModule)
            scan.problems << PortProblem { finding.path, ExitStatus::NoModule,
                SessionRules::NoAnswerText(finding.path) };
        const PortProblem problem = OpenProblem(finding.path, finding.openError);
        if (problem.status != ExitStatus::Ok)
            scan.problems << problem;
    }
    return scan;
}
