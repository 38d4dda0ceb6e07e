#include "session_rules.h"

#include "comm_protocol.h"
#include "product_id.h"

#include <QCoreApplication>

namespace SessionRules {

namespace {
// The namespace is the context lupdate files these texts under.
QString tr(const char *text)
{
    return QCoreApplication::translate("SessionRules", text);
}

constexpr const char kSupportBaseUrl[] = "https://www.velto.example/support/";
constexpr const char kOwnSupportUrl[] = "https://www.velto.example/trivo-setup/#support";
} // namespace

QString ConnectStatusText(bool portOpened, int connectCode)
{
    if (!portOpened)
        return tr("No Device");

    struct Reason
    {
        int code;
        const char *text;
    };
    static const Reason kReasons[] = {
        { 1, QT_TRANSLATE_NOOP("SessionRules", "Wrong module") },
        { 2, QT_TRANSLATE_NOOP("SessionRules", "Unsupported module") },
        { 3, QT_TRANSLATE_NOOP("SessionRules", "Connection error") },
        { 4, QT_TRANSLATE_NOOP("SessionRules", "Connection error") },
        { 5, QT_TRANSLATE_NOOP("SessionRules", "Protocol mismatch") },
        { 6, QT_TRANSLATE_NOOP("SessionRules", "Unknown device") },
    };
    if (connectCode == 0)
        return tr("Connected to module");
    for (const Reason &reason : kReasons) {
        if (reason.code == connectCode)
            return tr("Connection to module failed: (") + tr(reason.text) + QStringLiteral(")");
    }
    return tr("Unknown connection error");
}

int SelectDeviceCandidate(const QList<int> &portIndexes, const QStringList &serials,
    int previousPortIndex, const QString &lastConnectedSerial, bool *serialMatched)
{
    if (serialMatched)
        *serialMatched = false;
    if (portIndexes.isEmpty())
        return -1;

    int candidate = 0;
    for (int i = 0; i < portIndexes.size(); ++i) {
        if (portIndexes[i] == previousPortIndex)
            candidate = i;
    }
    const int bySerial = serials.indexOf(lastConnectedSerial);
    if (bySerial >= 0 && bySerial < portIndexes.size()) {
        candidate = bySerial;
        if (serialMatched)
            *serialMatched = true;
    }
    return candidate;
}

QString DeviceEntryText(const QString &name, const QString &serial)
{
    return serial.isEmpty() ? name : name + QStringLiteral(" - ") + serial;
}

QString ModelDisplayName(uint32_t boardId)
{
    return CProductID::CanonicalModelName(CProductID::GetModelNameFromBoardID(boardId));
}

QString InfoTypeText(const QString &displayName, const QString &modelName, uint32_t pcbRevision)
{
    if (!modelName.contains(QStringLiteral("10G2")))
        return displayName;
    return displayName + QStringLiteral(" version %1").arg(pcbRevision, 2, 10, QLatin1Char('0'));
}

QString ManualUrlForName(const QString &displayName)
{
    return QString::fromLatin1(kSupportBaseUrl)
        + displayName.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

QString ManualUrl(uint32_t boardId)
{
    if (boardId == kBoardIdUnknown || boardId == kBoardIdUninitialised)
        return QString::fromLatin1(kOwnSupportUrl);
    return ManualUrlForName(ModelDisplayName(boardId));
}

QString ResultText(int result)
{
    // In the order of the result codes, 0 to 12.
    static const char *const kTexts[] = {
        QT_TRANSLATE_NOOP("SessionRules", "done"),
        QT_TRANSLATE_NOOP("SessionRules", "no answer in time"),
        QT_TRANSLATE_NOOP("SessionRules", "the answer was too short"),
        QT_TRANSLATE_NOOP("SessionRules", "the answer was too long"),
        QT_TRANSLATE_NOOP("SessionRules", "the answer was damaged on the way"),
        QT_TRANSLATE_NOOP("SessionRules", "the module does not support this request"),
        QT_TRANSLATE_NOOP("SessionRules", "the module's service stopped"),
        QT_TRANSLATE_NOOP("SessionRules", "the module has no such setting"),
        QT_TRANSLATE_NOOP("SessionRules", "the setting is of another type"),
        QT_TRANSLATE_NOOP("SessionRules", "the answer was of an unexpected type"),
        QT_TRANSLATE_NOOP("SessionRules", "the module gave an unknown answer"),
        QT_TRANSLATE_NOOP("SessionRules", "the module is disconnected"),
        QT_TRANSLATE_NOOP("SessionRules", "unknown error"),
    };
    constexpr int kCount = int(sizeof kTexts / sizeof kTexts[0]);
    static_assert(kCount == eResultUnknownError + 1, "one text per result code");
    return tr(kTexts[result >= 0 && result < kCount ? result : kCount - 1]);
}

QString PermissionDeniedText(const QString &portPath)
{
    return tr("No permission to open %1: add your user to the dialout or plugdev group, or "
              "install the udev rule from packaging/udev, then plug the module in again.")
        .arg(portPath);
}

QString PortBusyText(const QString &portPath)
{
    return tr("%1 is in use by another program: close the other program that talks to the "
              "module, then try again.")
        .arg(portPath);
}

QString NotRespondingText(const QString &entry)
{
    return entry.isEmpty() ? tr("The module is not responding; trying again.")
                           : tr("%1 is not responding; trying again.").arg(entry);
}

QString ModuleLeftText(const QString &entry)
{
    return entry.isEmpty() ? tr("The module was disconnected.")
                           : tr("%1 was disconnected.").arg(entry);
}

QString ModuleSwitchedText(const QString &entry, const QString &previousSerial)
{
    return tr("Now showing %1: the module shown before (%2) is gone.").arg(entry, previousSerial);
}

QString NoAnswerText(const QString &portPath)
{
    return tr("%1: no answer (no module there, or one that does not respond).").arg(portPath);
}

} // namespace SessionRules
