#include "module_maintenance.h"

#include "cmd_engine.h"
#include "module_session.h"

#include <QCoreApplication>

namespace ModuleMaintenance {

bool CanFactoryReset(const ModuleSession &session)
{
    // The engine serves one thread at a time: never beside a worker that holds it.
    return session.IsConnected() && session.Holder().IsFree();
}

eResult_t FactoryReset(ModuleSession &session)
{
    if (!CanFactoryReset(session))
        return eResultDisconnected;
    return session.Engine()->FactoryReset();
}

QString FactoryResetTitle()
{
    return QCoreApplication::translate("MainWindow", "Confirm Factory Reset");
}

QString FactoryResetText()
{
    return QCoreApplication::translate("MainWindow",
        "All settings, including network settings, will be reverted to factory defaults.");
}

} // namespace ModuleMaintenance
