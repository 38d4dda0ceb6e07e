#pragma once

#include <atomic>

// Who uses the session's engine right now besides its owner's thread. The engine has no
// lock of its own: the owner (the window's thread, or the command-line tool's) uses it
// only while nobody holds it, and a worker holds it from its start to its end.
enum class EngineUser : int
{
    None = 0,
    Discovery,
    Dhcp,
    Update,
};

class EngineHolder
{
public:
    // Takes the engine for user when nobody holds it; false (nothing changes) otherwise.
    bool Acquire(EngineUser user);
    // Gives the engine back; does nothing unless user holds it.
    void Release(EngineUser user);

    EngineUser Holder() const { return mUser.load(); }
    bool IsFree() const { return Holder() == EngineUser::None; }
    bool IsHeldBy(EngineUser user) const { return Holder() == user; }

    // The holder as the diagnostics name it ("DHCP thread", "discover thread", ...).
    static const char *UserName(EngineUser user);

private:
    std::atomic<EngineUser> mUser { EngineUser::None };
};
