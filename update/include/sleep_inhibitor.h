#pragma once

#include <QString>
#include <memory>

// Asks the desktop not to suspend while something long runs (a firmware update). Where
// the desktop offers no such request, holding one simply fails and nothing else changes.
class SleepInhibitor
{
public:
    virtual ~SleepInhibitor() = default;

    // True when the desktop has granted the request; a second call keeps the first.
    virtual bool Inhibit(const QString &why) = 0;
    virtual void Release() = 0;
    virtual bool IsHeld() const = 0;

    // The system's own: logind over the system bus.
    static std::unique_ptr<SleepInhibitor> CreateDefault();
};
