#pragma once

#include "comm_protocol.h"

#include <QString>

class CCmdEngine;
class ModuleSession;

// Maintenance actions on the connected module, shared by the window and the command-line tool.
namespace ModuleMaintenance {

// A factory reset can be asked for: a module is connected and no worker uses the engine.
bool CanFactoryReset(const ModuleSession &session);
// Resets the module's settings, network settings included; eResultDisconnected when no
// reset can be asked for now.
eResult_t FactoryReset(ModuleSession &session);

// The question before a reset (window context).
QString FactoryResetTitle();
QString FactoryResetText();
// What came of a reset of the module shown as entry (its name and serial number).
QString FactoryResetResultText(const QString &entry, eResult_t result);

// Gives back an update lock that no update holds any more: update state 8 (aborted), then
// lock 0. The lock records no owner, so a live update elsewhere cannot be told from a lock
// left behind: only ever done when the person asks for it.
eResult_t ReleaseUpdateLock(CCmdEngine &engine);
// The offer beside the refusal, the question before the release, and its outcome.
QString ReleaseLockButtonText();
QString ReleaseLockTitle();
QString ReleaseLockText(const QString &displayName);
QString ReleaseLockResultText(eResult_t result);

} // namespace ModuleMaintenance
