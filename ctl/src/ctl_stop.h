#pragma once

#include <atomic>
#include <thread>

class ModuleSession;

// Ends the tool's work on SIGINT, SIGTERM, SIGHUP (a dropped SSH session) or SIGQUIT, and
// when standard output or error can no longer be written (a vanished terminal): every
// registered session stops its exchange at once (its port then reads as gone), probes see
// the stop flag, and the event loop quits, so an update still gives the module its lock
// back. A second signal ends the process at once. SIGPIPE is ignored: a closed pipe is a
// failed write, not the end of the process. One per process: Block() comes first thing in
// main, before any other thread exists, so that only this object's thread receives the
// signals; the object goes before the application object.
class StopSignals
{
public:
    static void Block();
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    static const std::atomic<bool> &Flag();
    static bool Requested() { return Flag().load(); }
    // The same stop as a signal's, asked for by the tool itself (an output it cannot write);
    // a second request changes nothing.
    static void Request();

    // Sessions in use on any thread; a session registered after a stop is stopped at once.
    static void Register(ModuleSession *session);
    static void Unregister(ModuleSession *session);

private:
    void waitForSignals();
    static void stopAll();

    std::thread mThread;
};
