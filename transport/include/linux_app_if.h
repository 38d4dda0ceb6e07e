#pragma once

#include "app_if.h"

#include <QString>
#include <optional>

class UdevMonitor;
class DirectoryEntryWatcher;

// "v1.2.3.4" from the four parts of the program's version; "0.0.0.0" (no leading v)
// when any part is unknown.
QString FormatAppVersion(std::optional<unsigned> major, std::optional<unsigned> minor,
    std::optional<unsigned> patch, std::optional<unsigned> tweak);

// A version part as the build gives it: decimal digits, or nothing when unknown.
std::optional<unsigned> ParseVersionPart(const char *text);

// The platform interface on Linux. With a widget parent (the main window), or once
// WatchDevices is called, it reports USB device arrival and removal from udev, and
// entries appearing in or disappearing from the extra-port directories; otherwise it
// reports no device changes at all.
class LinuxAppIF : public CAppIF
{
    Q_OBJECT

public:
    explicit LinuxAppIF(QObject *parent = nullptr);
    ~LinuxAppIF() override;

    void NotifyModuleTypeChanged() override;
    void NotifyNewConnection() override;
    void DisConnection() override;
    bool IsManufacturingMode() override;
    CSerialIF *CreateSerialIF() override;
    QString GetWorkingDirectory() override;
    QString GetFontStyle() override;
    QString GetWidgetStyleSheet() override;
    QString GetLabelStyle() override;
    QString GetAppVersion() override;

    // Starts reporting device changes on this thread (owners without widgets, such as the
    // command-line tool); does nothing when they are reported already.
    void WatchDevices();

    // For diagnosis and tests: whether device changes are being watched.
    bool IsWatchingDevices() const { return mUdevMonitor != nullptr; }
    bool IsUdevActive() const;

private:
    UdevMonitor *mUdevMonitor = nullptr;
    DirectoryEntryWatcher *mExtraPortWatcher = nullptr;
};
