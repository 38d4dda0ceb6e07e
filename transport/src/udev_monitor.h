#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QFileSystemWatcher;
class QSocketNotifier;
struct udev;
struct udev_monitor;

// What a udev action of a USB device means for the device list.
enum class UsbDeviceChange
{
    None,
    Added,
    Removed
};
UsbDeviceChange ClassifyUdevAction(const char *action);

// Watches the kernel's USB device events (whole devices, not their interfaces)
// on the thread that creates it and reports each arrival and removal once.
class UdevMonitor : public QObject
{
    Q_OBJECT

public:
    explicit UdevMonitor(QObject *parent = nullptr);
    ~UdevMonitor() override;

    // False when the system gave no event source (no udev, no netlink access).
    bool isActive() const { return mNotifier != nullptr; }

signals:
    void deviceAdded();
    void deviceRemoved();

private:
    void readEvents();

    struct udev *mUdev = nullptr;
    struct udev_monitor *mMonitor = nullptr;
    QSocketNotifier *mNotifier = nullptr;
};

// Watches directories of device links (virtual modules) and reports every entry
// that appears or disappears, so a virtual module's reboot looks like unplug and
// re-plug. Directories that do not exist when it starts are not watched.
class DirectoryEntryWatcher : public QObject
{
    Q_OBJECT

public:
    explicit DirectoryEntryWatcher(const QStringList &directories, QObject *parent = nullptr);

    QStringList watchedDirectories() const;

signals:
    void entryAdded(const QString &path);
    void entryRemoved(const QString &path);

private:
    void rescan(const QString &directory);
    static QHash<QString, QString> listEntries(const QString &directory);

    QFileSystemWatcher *mWatcher = nullptr;
    // directory -> (entry name -> identity) as last seen
    QHash<QString, QHash<QString, QString>> mEntries;
};
