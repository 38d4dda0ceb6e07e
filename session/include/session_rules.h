#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

// Decisions and texts about a module that the window and the command-line tool share.
// The texts translate in the context SessionRules.
namespace SessionRules {

#if 0 // Read by lupdate only: texts of this namespace translate in its own context.
Q_DECLARE_TR_FUNCTIONS(SessionRules)
#endif

// Status line after a connection attempt: portOpened false gives "No Device",
// otherwise the text for the engine's connection code.
QString ConnectStatusText(bool portOpened, int connectCode);

// Which entry of a fresh discovery list to select: the last connected serial number
// wins, then the entry on the previously selected port index, then the first one;
// -1 for an empty list. serialMatched tells whether the serial number decided.
int SelectDeviceCandidate(const QList<int> &portIndexes, const QStringList &serials,
    int previousPortIndex, const QString &lastConnectedSerial, bool *serialMatched = nullptr);

// Device list entry of the connected module: its name, then " - " and the serial number
// when one is known.
QString DeviceEntryText(const QString &name, const QString &serial);

// The name the user sees for a board ID's model (normalised through the product table).
QString ModelDisplayName(uint32_t boardId);

// Info tab type text: models of the "10G2" generation add their PCB revision.
QString InfoTypeText(const QString &displayName, const QString &modelName, uint32_t pcbRevision);

// Support page for the module on show (the program's own page when none is known).
QString ManualUrl(uint32_t boardId);
QString ManualUrlForName(const QString &displayName);

// What a result code of an exchange or engine operation means, in the user's words
// (never the code's name); "unknown error" for a code outside the table.
QString ResultText(int result);

// Status line when a candidate port exists but may not be opened by this user.
QString PermissionDeniedText(const QString &portPath);
// When another program holds a candidate port.
QString PortBusyText(const QString &portPath);

// Status line when the connected module stops answering; entry is what the device list
// shows for it (may be empty).
QString NotRespondingText(const QString &entry);
// Status line when the connected module goes away (unplugged, port closed).
QString ModuleLeftText(const QString &entry);
// Status line when discovery has put another module on show by itself, the one shown before
// (its serial number) being gone: entry is what the device list shows for the new one.
QString ModuleSwitchedText(const QString &entry, const QString &previousSerial);
// A candidate port that opened but where nothing answered.
QString NoAnswerText(const QString &portPath);

// Pause between the looks at a port another program holds, for the module behind it.
constexpr int kHeldPortRetryMs = 10000;

// Pause between the single reads that look for a silent module's return: a read that
// times out blocks its caller for one header hunt (2 s), so the caller stays free for
// twice as long in between.
constexpr int kSilentRetryMs = 4000;

} // namespace SessionRules
