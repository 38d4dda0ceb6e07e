#include "network_rules.h"

#include "cmd_engine.h"
#include "model_registry.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRegularExpression>
#include <iterator>

namespace NetworkRules {

namespace {

// The namespace is the context lupdate files these texts under.
QString tr(const char *text)
{
    return QCoreApplication::translate("NetworkRules", text);
}

// Contiguous masks from 128.0.0.0 to 255.255.255.254; 255.255.255.255 and 0.0.0.0 are no masks.
constexpr const char kMaskPattern[]
    = "^(254|252|248|240|224|192|128)\\.0\\.0\\.0|255\\.(254|252|248|240|224|192|128|0)\\.0\\.0|"
      "255\\.255\\.(254|252|248|240|224|192|128|0)\\.0|255\\.255\\.255\\.(254|252|248|240|224|"
      "192|128|0)";

const char *const kInterfaceNames[] = { "", QT_TRANSLATE_NOOP("NetworkRules", " Media LAN"),
    QT_TRANSLATE_NOOP("NetworkRules", " Media 2 LAN") };

QString interfaceName(int netIf)
{
    if (netIf <= 0 || netIf >= int(std::size(kInterfaceNames)))
        return QString();
    return tr(kInterfaceNames[netIf]);
}

QString toBeDetermined()
{
    return tr("To be determined by DHCP");
}

// The first check an address fails, in the order the user is told.
Notice refuse(const char *title, const char *text, const QString &typed)
{
    return Notice { true, tr(title), tr(text).arg(typed) };
}

QString errorSuffix(eResult_t result)
{
    return tr(" (error %1)").arg(int(result));
}

} // namespace

QString CleanAddress(const QString &typed)
{
    QStringList parts = typed.split(QLatin1Char('.'));
    // The parser would read "10.0.5" as 10.0.0.5: only four parts make an address here.
    if (parts.size() != 4)
        return QString();
    for (QString &part : parts) {
        // The address mask pads short parts with blanks.
        part = part.trimmed();
        while (part.size() > 1 && part.startsWith(QLatin1Char('0')))
            part.remove(0, 1);
    }
    QHostAddress address;
    if (!address.setAddress(parts.join(QLatin1Char('.')))
        || address.protocol() != QAbstractSocket::IPv4Protocol)
        return QString();
    return address.toString();
}

MaskCheck CheckSubnetMask(const QString &mask)
{
    // What a validator does with the expression: a match of the whole text, or a text that
    // ends before the expression could.
    static const QRegularExpression expression(
        QRegularExpression::anchoredPattern(QLatin1String(kMaskPattern)));
    const QRegularExpressionMatch match
        = expression.match(mask, 0, QRegularExpression::PartialPreferCompleteMatch);
    if (match.hasMatch())
        return MaskCheck::Acceptable;
    if (mask.isEmpty() || match.hasPartialMatch())
        return MaskCheck::Incomplete;
    return MaskCheck::Invalid;
}

LanCheck CheckLanRequest(const LanRequest &request)
{
    LanCheck check;
    LanChange &change = check.change;
    change.dhcp = request.dhcp;
    change.speed = request.speed;
    if (request.dhcp) {
        change.ip = change.mask = change.gateway = toBeDetermined();
        return check;
    }
    change.ip = CleanAddress(request.ip);
    change.mask = CleanAddress(request.mask);
    change.gateway = CleanAddress(request.gateway);

    const char *const badIpTitle = QT_TRANSLATE_NOOP("NetworkRules", "Bogus IP Address");
    const char *const badMaskTitle = QT_TRANSLATE_NOOP("NetworkRules", "Bogus Subnet Mask");
    const char *const badMaskText = QT_TRANSLATE_NOOP("NetworkRules", "Invalid subnet mask:\n\n%1");
    if (change.ip.isEmpty() || change.ip == QLatin1String("255.255.255.255")
        || change.ip == QLatin1String("0.0.0.0"))
        check.refusal = refuse(
            badIpTitle, QT_TRANSLATE_NOOP("NetworkRules", "Invalid IP Address:\n\n%1"), request.ip);
    else if (change.mask.isEmpty())
        check.refusal = refuse(badMaskTitle, badMaskText, request.mask);
    else if (const MaskCheck mask = CheckSubnetMask(change.mask); mask == MaskCheck::Invalid)
        check.refusal = refuse(badMaskTitle, badMaskText, request.mask);
    else if (mask == MaskCheck::Incomplete)
        check.refusal = refuse(badMaskTitle,
            QT_TRANSLATE_NOOP("NetworkRules", "Incomplete subnet mask:\n\n%1"), request.mask);
    // Media LANs may do without a gateway.
    else if (change.gateway.isEmpty() && request.netIf == CCmdEngine::eNetIfControl)
        check.refusal = refuse(QT_TRANSLATE_NOOP("NetworkRules", "Bogus Gateway Address"),
            QT_TRANSLATE_NOOP("NetworkRules", "Invalid gateway address:\n\n%1"), request.gateway);
    return check;
}

QString ConfirmationTitle()
{
    return tr("Network Change Confirmation");
}

QString ConfirmationText(const QString &displayName, int netIf, const LanChange &change)
{
    // One pass: nothing filled in is read as a placeholder again.
    QString text = QStringLiteral("%1%2%3%4%5%6%7%8%9%10%11")
                       .arg(tr("Change the "), displayName, interfaceName(netIf),
                           tr(" to the following:\n\nAddress Type: "),
                           change.dhcp ? tr("DHCP") : tr("Static"), tr("\nIP Address: "), change.ip,
                           tr("\nNetmask: "), change.mask, tr("\nGateway: "), change.gateway);
    if (!change.speed.isEmpty())
        text += tr("\nSpeed: %1").arg(change.speed);
    return text;
}

QString ApplyResultText(eResult_t result)
{
    return result == eResultOK ? tr("Connected to module") : tr("Set Network Configuration Failed");
}

QString DhcpAlreadyRunningText()
{
    return tr("DHCP Service is already running");
}

QString UPnPResultText(eResult_t result)
{
    return result == eResultOK ? QString() : tr("Set UPnP Host failed") + errorSuffix(result);
}

QString WebPageUrl(const QString &activeIp)
{
    // Only a plain dotted address: a module must not make the program open anything else.
    static const QRegularExpression dotted(
        QStringLiteral("^\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    if (!dotted.match(activeIp).hasMatch())
        return QString();
    const QString address = CleanAddress(activeIp);
    if (address.isEmpty() || address == QLatin1String("0.0.0.0"))
        return QString();
    return QStringLiteral("http://") + address;
}

Notice NoAddressNotice()
{
    return Notice { true, tr("Incomplete LAN Configuration"),
        tr("This ethernet interface doesn't have an IP address.") };
}

Notice NoBrowserNotice(const QString &url)
{
    return Notice { true, tr("No Web Browser"),
        tr("No web browser could be started. Open this address in one:\n\n%1").arg(url) };
}

Notice DisableAuthentication(CCmdEngine &engine, uint32_t boardId, const Confirm &confirm)
{
    const QString title = tr("Web Access Authentication");
    const auto failed = [&title](const QString &what, eResult_t result) {
        return Notice { true, title, what + errorSuffix(result) };
    };
    bool enabled = false;
    // A failed read must not pass for "already disabled".
    if (const eResult_t rc = engine.GetModuleAuthenticationEnabled(enabled); rc != eResultOK)
        return failed(tr("The authentication setting could not be read."), rc);
    if (!enabled)
        return Notice { false, title, tr("Authentication is already disabled.") };

    const bool resetsPassword = ModelRegistry::RowOrUnknown(boardId).passwordReset;
    const QString question = !resetsPassword
        ? tr("Are you sure you want to disable authentication?")
        : tr("Are you sure you want to disable authentication and reset the password to the "
             "factory default value?");
    if (!confirm(tr("Authentication Settings"), question))
        return Notice();

    if (const eResult_t rc = engine.SetModuleAuthenticationEnabled(false); rc != eResultOK)
        return failed(tr("Authentication could not be disabled."), rc);
    if (!resetsPassword)
        return Notice { false, title, tr("Authentication disabled.") };
    if (const eResult_t rc = engine.ResetModulePassword(); rc != eResultOK)
        return failed(tr("Authentication disabled, but the password could not be reset to the "
                         "factory default."),
            rc);
    return Notice { false, title,
        tr("Authentication disabled and password reset to factory default.") };
}

SystemNameResult ApplySystemName(CCmdEngine &engine, const QString &typed, bool connected)
{
    SystemNameResult result;
    if (typed.trimmed().isEmpty()) {
        result.restored = true;
        result.nameRead = engine.GetModuleName(result.name) == eResultOK;
        return result;
    }
    if (!connected)
        return result;
    QString answer;
    if (const eResult_t rc = engine.SetModuleName(typed, answer); rc != eResultOK) {
        result.statusText = tr("Set Module Name failed with error %1").arg(int(rc));
        return result;
    }
    result.nameRead = engine.GetModuleName(result.name) == eResultOK;
    return result;
}

} // namespace NetworkRules
