#pragma once

#include <QPoint>
#include <QString>

// Identity given to the toolkit; it also names the per-user settings store.
inline constexpr char kOrganisationName[] = "Velto";
inline constexpr char kOrganisationDomain[] = "velto.example";
inline constexpr char kApplicationName[] = "Velto Trivo-Setup";

// Keys of the persisted window settings.
inline constexpr char kSettingPosition[] = "position";
inline constexpr char kSettingCurrentTabIndex[] = "currentTabIndex";
inline constexpr char kSettingLastSerialNumber[] = "mLastConnectedSerialNumber";
inline constexpr char kSettingFirmwarePath[] = "mFirmwarePath";
inline constexpr char kSettingDeviceNamePref[] = "mDeviceNamePref";

// The settings the main window keeps between runs.
struct AppSettings
{
    QPoint position { 200, 200 };
    int currentTabIndex = 0;
    QString lastConnectedSerialNumber = QStringLiteral("01234567");
    QString firmwarePath; // the user's home directory by default
    QString deviceNamePref;

    static inline const QString kDefaultDeviceNamePref = QStringLiteral("USB-HUB");

    // Reads the store (native format, user scope); missing keys give the defaults.
    // The device-name preference is read in manufacturing mode only and stays
    // empty otherwise.
    static AppSettings Read(bool manufacturingMode);
    // Writes all five keys.
    void Write() const;
};
