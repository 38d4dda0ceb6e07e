#pragma once

#include "app_if.h"

#include <QPointer>
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

// The platform interface on Linux. With a widget parent (the main window) it
// reports USB device arrival and removal from udev, and entries appearing in or
// disappearing from the extra-port directories; with any other parent it reports
// no device changes at all.
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

    // For diagnosis and tests: whether device changes are being watched.
    bool IsWatchingDevices() const { return !mParentWidget.isNull(); }
    bool IsUdevActive() const;

private:
    QPointer<QObject> mParentWidget; // the parent when it is a widget
    UdevMonitor *mUdevMonitor = nullptr;
    DirectoryEntryWatcher *mExtraPortWatcher = nullptr;
};
