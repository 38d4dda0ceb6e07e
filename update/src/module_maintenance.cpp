#include "module_maintenance.h"

#include "cmd_engine.h"
#include "module_session.h"
#include "session_rules.h"

#include <QCoreApplication>

namespace ModuleMaintenance {

namespace {
constexpr uint32_t kUpdateStateAborted = 8;
} // namespace

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

QString FactoryResetResultText(const QString &entry, eResult_t result)
{
    if (result == eResultOK)
        return QCoreApplication::translate("MainWindow", "%1: factory settings restored.")
            .arg(entry);
    return QCoreApplication::translate("MainWindow", "%1: factory reset failed (%2).")
        .arg(entry, SessionRules::ResultText(result));
}

eResult_t ReleaseUpdateLock(CCmdEngine &engine)
{
    if (const eResult_t rc = engine.SetModuleUpdateState(kUpdateStateAborted); rc != eResultOK)
        return rc;
    return engine.SetUpdateLock(0);
}

QString ReleaseLockButtonText()
{
    return QCoreApplication::translate("MainWindow", "Release the lock");
}

QString ReleaseLockTitle()
{
    return QCoreApplication::translate("MainWindow", "Release the Update Lock");
}

QString ReleaseLockText(const QString &displayName)
{
    return QCoreApplication::translate("MainWindow",
        "The update lock of the %1 does not say who set it: another program may be updating "
        "the module right now, and releasing the lock would break that update.\n\nRelease "
        "the lock only if no other program is updating the module. Release it?")
        .arg(displayName);
}

QString ReleaseLockResultText(eResult_t result)
{
    if (result == eResultOK)
        return QCoreApplication::translate("MainWindow", "The update lock was released.");
    return QCoreApplication::translate("MainWindow", "The update lock was not released (%1).")
        .arg(SessionRules::ResultText(result));
}

} // namespace ModuleMaintenance
