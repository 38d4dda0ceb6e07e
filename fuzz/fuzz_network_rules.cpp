// Feeds arbitrary text to the network controls' rules: address cleaning, the subnet-mask
// check, the ordered checks of an apply, the confirmation text and the web-page address.
//
// Input: byte 0 picks the interface (bits 0-1), DHCP (bit 2) and the speed choice (bits
// 3-5); the rest is UTF-8 text split at NUL bytes into the typed address, mask and gateway.
// Besides the sanitizers, the target checks what callers rely on: a cleaned address is empty
// or four decimal parts of 0-255; an accepted mask is contiguous ones then zeros; a web-page
// address is empty or "http://" and such an address; an accepted static request holds only
// cleaned addresses.
#include "network_rules.h"

#include <QList>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Four decimal parts of 0-255 without leading zeros; the value in *value.
bool isPlainIPv4(const QString &text, uint32_t *value = nullptr)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    uint32_t result = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const uint number = part.toUInt(&ok);
        if (!ok || number > 255 || part.isEmpty() || part.size() > 3
            || (part.size() > 1 && part.startsWith(QLatin1Char('0'))))
            return false;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        result = (result << 8) | number;
    }
    if (value)
        *value = result;
    return true;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkAddress(const QString &typed)
{
    const QString cleaned = NetworkRules::CleanAddress(typed);
    require(cleaned.isEmpty() || isPlainIPv4(cleaned));
    const QString url = NetworkRules::WebPageUrl(typed);
    require(url.isEmpty()
        || (url.startsWith(QLatin1String("http://")) && isPlainIPv4(url.mid(7))
            && url != QLatin1String("http://0.0.0.0")));
    if (NetworkRules::CheckSubnetMask(cleaned) == NetworkRules::MaskCheck::Acceptable) {
        uint32_t mask = 0;
        require(isPlainIPv4(cleaned, &mask));
        const uint32_t inverted = ~mask;
        require(mask != 0 && inverted != 0 && (inverted & (inverted + 1)) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));
    const QStringList fields = text.split(QChar(0));

    NetworkRules::LanRequest request;
    request.netIf = data[0] & 0x3;
    request.dhcp = (data[0] & 0x4) != 0;
    request.ip = fields.value(0);
    request.mask = fields.value(1);
    request.gateway = fields.value(2);
    request.speed = fields.value(3);
    for (const QString &field : fields.mid(0, 3))
        checkAddress(field);

    const NetworkRules::LanCheck check = NetworkRules::CheckLanRequest(request);
    if (check.ok() && !request.dhcp) {
        require(isPlainIPv4(check.change.ip));
        require(NetworkRules::CheckSubnetMask(check.change.mask)
            == NetworkRules::MaskCheck::Acceptable);
        require(check.change.gateway.isEmpty() || isPlainIPv4(check.change.gateway));
    }
    require(!NetworkRules::ConfirmationText(QStringLiteral("RX"), request.netIf, check.change)
                 .isEmpty());
    return 0;
}
