// Sleep inhibitor on Linux: logind's Inhibit() hands out a file descriptor; the request
// holds for as long as that descriptor stays open.
#include "sleep_inhibitor.h"

#include "update_logging.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

namespace {

constexpr int kCallTimeoutMs = 2000;

class LogindSleepInhibitor : public SleepInhibitor
{
public:
    bool Inhibit(const QString &why) override
    {
        if (IsHeld())
            return true;
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected()) {
            qCDebug(lcUpdate).noquote() << "No system bus: cannot keep the computer awake";
            return false;
        }
        QDBusInterface manager(QStringLiteral("org.freedesktop.login1"),
            QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), bus);
        manager.setTimeout(kCallTimeoutMs);
        const QDBusReply<QDBusUnixFileDescriptor> reply
            = manager.call(QStringLiteral("Inhibit"), QStringLiteral("sleep:idle"),
                QStringLiteral("Velto Trivo-Setup"), why, QStringLiteral("block"));
        if (!reply.isValid()) {
            qCDebug(lcUpdate).noquote()
                << "Cannot keep the computer awake:" << reply.error().message();
            return false;
        }
        mLock = reply.value();
        return IsHeld();
    }

    void Release() override { mLock = QDBusUnixFileDescriptor(); }
    bool IsHeld() const override { return mLock.isValid(); }

private:
    QDBusUnixFileDescriptor mLock; // closes its copy of the descriptor when replaced
};

} // namespace

std::unique_ptr<SleepInhibitor> SleepInhibitor::CreateDefault()
{
    return std::make_unique<LogindSleepInhibitor>();
}
