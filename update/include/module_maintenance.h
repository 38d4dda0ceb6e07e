#pragma once

#include "comm_protocol.h"

#include <QString>

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

} // namespace ModuleMaintenance
