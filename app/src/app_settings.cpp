#include "app_settings.h"

#include <QDir>
#include <QSettings>

namespace {
// The per-user store in the platform's native format.
class Store : public QSettings
{
public:
    Store()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope,
            QString::fromLatin1(kOrganisationName), QString::fromLatin1(kApplicationName))
    { }
};
} // namespace

AppSettings AppSettings::Read(bool manufacturingMode)
{
    const AppSettings defaults;
    const Store settings;
    AppSettings s;
    s.position = settings.value(kSettingPosition, defaults.position).toPoint();
    s.currentTabIndex = settings.value(kSettingCurrentTabIndex, defaults.currentTabIndex).toInt();
    s.lastConnectedSerialNumber
        = settings.value(kSettingLastSerialNumber, defaults.lastConnectedSerialNumber).toString();
    s.firmwarePath = settings.value(kSettingFirmwarePath, QDir::homePath()).toString();
    if (manufacturingMode)
        s.deviceNamePref
            = settings.value(kSettingDeviceNamePref, kDefaultDeviceNamePref).toString();
    return s;
}

void AppSettings::Write() const
{
    Store settings;
    settings.setValue(kSettingPosition, position);
    settings.setValue(kSettingCurrentTabIndex, currentTabIndex);
    settings.setValue(kSettingLastSerialNumber, lastConnectedSerialNumber);
    settings.setValue(kSettingFirmwarePath, firmwarePath);
    settings.setValue(kSettingDeviceNamePref, deviceNamePref);
}
