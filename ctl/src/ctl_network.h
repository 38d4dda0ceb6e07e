#pragma once

#include "module_action.h"
#include "network_rules.h"

#include <QString>

class ModuleSession;
struct ModelRow;

// The network changes of set-network, dhcp and apply, on the window's rules.
namespace CtlNetwork {

// "control", "media", "media2" -> the interface; false for any other word.
bool ReadInterface(const QString &word, int &netIf);
QString InterfaceKey(int netIf);

// A static setting as given: cleaned and checked as the window does, the speed one that some
// model offers ("" leaves it alone). Empty error when it passed.
NetworkRules::LanCheck CheckStatic(int netIf, const QString &address, const QString &mask,
    const QString &gateway, const QString &speed, QString &error);

// Why the model cannot take the setting: it lacks the interface, or that speed on it ("" for
// no speed). Empty when it can.
QString InterfaceRefusal(const ModelRow &model, int netIf, const QString &speed);
// Writes a static setting and reads the static set back.
ModuleOutcome ApplyStatic(
    ModuleSession &session, const QString &path, int netIf, const NetworkRules::LanChange &change);
// Has the module obtain a DHCP lease (the DHCP worker with its watch) and tells the outcome.
ModuleOutcome ObtainLease(ModuleSession &session, const QString &path, int netIf);

} // namespace CtlNetwork
