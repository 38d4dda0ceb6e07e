#pragma once

#include "comm_protocol.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class CCmdEngine;

// The network controls' rules, shared by the window and the command-line tool: address
// cleaning and checks, the confirmation text, the web-page address, and the
// authentication and system-name sequences. Texts translate in the context NetworkRules.
namespace NetworkRules {

#if 0 // Read by lupdate only: texts of this namespace translate in its own context.
Q_DECLARE_TR_FUNCTIONS(NetworkRules)
#endif

// A box to show: a warning or an information, with its title and text.
struct Notice
{
    bool warning = false;
    QString title;
    QString text;
    bool isEmpty() const { return title.isEmpty(); }
};

// "192.168.001.010" -> "192.168.1.10": leading zeros go from every dotted part, then the
// text goes through the IPv4 parser and back. Empty when it is no IPv4 address.
QString CleanAddress(const QString &typed);

// How far a subnet mask matches the contiguous masks 128.0.0.0 to 255.255.255.254.
enum class MaskCheck
{
    Invalid,
    Incomplete, // could still become a mask
    Acceptable,
};
MaskCheck CheckSubnetMask(const QString &mask);

// One interface's settings as the user typed them.
struct LanRequest
{
    int netIf = 0; // CCmdEngine::eNetIf_t
    bool dhcp = false;
    QString ip;
    QString mask;
    QString gateway;
    QString speed; // one of the interface's speed choice; empty where there is none
};

// The values to apply: cleaned addresses, or "To be determined by DHCP" three times.
struct LanChange
{
    bool dhcp = false;
    QString ip;
    QString mask;
    QString gateway;
    QString speed; // empty: the speed is left alone
};

struct LanCheck
{
    LanChange change;
    Notice refusal; // the first check that failed; empty when all passed
    bool ok() const { return refusal.isEmpty(); }
};

// Cleans a request and runs the checks in order (a DHCP request has none).
LanCheck CheckLanRequest(const LanRequest &request);

QString ConfirmationTitle();
// "Change the <display name><interface> to the following: ..." with an optional speed line.
QString ConfirmationText(const QString &displayName, int netIf, const LanChange &change);
// Status line after SetModuleNetworkConfiguration.
QString ApplyResultText(eResult_t result);
QString DhcpAlreadyRunningText();
// Status line after a UPnP host write; empty when the module took it.
QString UPnPResultText(eResult_t result);

// The web page of an interface: "http://a.b.c.d" for an IPv4 address other than 0.0.0.0,
// empty for anything else a module reports (no address, a path, another scheme).
QString WebPageUrl(const QString &activeIp);
Notice NoAddressNotice();
// No browser could be started for an address: the address, for the user to open.
Notice NoBrowserNotice(const QString &url);

// Disables web authentication and, on the models where it goes with it, resets the password.
// confirm is asked the question and says whether to go on. The notice says what came of
// it: empty when the user cancelled, a warning naming the step that failed.
using Confirm = std::function<bool(const QString &title, const QString &question)>;
Notice DisableAuthentication(CCmdEngine &engine, uint32_t boardId, const Confirm &confirm);

// A system name entered by the user.
struct SystemNameResult
{
    bool nameRead = false; // name holds the module's name, read back
    QString name;
    QString statusText; // the failure to show on the status line, if any
    bool restored = false; // the text was blank: nothing written, name is the module's own
};

// A blank text gives the module's own name back: nothing is written, the name is read back.
// Otherwise, when connected, the text is written and the name read back.
SystemNameResult ApplySystemName(CCmdEngine &engine, const QString &typed, bool connected);

} // namespace NetworkRules
