#pragma once

#include "module_action.h"
#include "network_rules.h"

#include <QString>

class ModuleSession;

// The network changes of set-network, dhcp and apply, on the window's rules.
namespace CtlNetwork {

// "control", "media", "media2" -> the interface; false for any other word.
bool ReadInterface(const QString &word, int &netIf);
QString InterfaceKey(int netIf);

// A static setting as given: cleaned and checked as the window does, the speed named as
// the window's speed choice shows it ("" leaves it alone). Empty error when it passed.
NetworkRules::LanCheck CheckStatic(int netIf, const QString &address, const QString &mask,
    const QString &gateway, const QString &speed, QString &error);

// The module has that interface (and a speed choice on it when one is to be set).
ModuleOutcome CheckInterface(
    ModuleSession &session, const QString &path, int netIf, bool withSpeed);
// Writes a static setting and reads the static set back.
ModuleOutcome ApplyStatic(
    ModuleSession &session, const QString &path, int netIf, const NetworkRules::LanChange &change);
// Has the module obtain a DHCP lease (the DHCP worker with its watch) and tells the outcome.
ModuleOutcome ObtainLease(ModuleSession &session, const QString &path, int netIf);

} // namespace CtlNetwork
