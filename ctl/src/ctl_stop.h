#pragma once

#include <atomic>
#include <thread>

class ModuleSession;

// Ends the tool's work on SIGINT or SIGTERM: every registered session stops its exchange
// at once (its port then reads as gone), probes see the stop flag, and the event loop
// quits. A second signal ends the process at once. One per process: Block() comes first
// thing in main, before any other thread exists, so that only this object's thread
// receives the signals; the object goes before the application object.
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

    // Sessions in use on any thread; a session registered after a stop is stopped at once.
    static void Register(ModuleSession *session);
    static void Unregister(ModuleSession *session);

private:
    void waitForSignals();

    std::thread mThread;
};
