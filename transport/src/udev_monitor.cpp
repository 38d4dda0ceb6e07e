#include "udev_monitor.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cstring>
#include <libudev.h>
#include <sys/stat.h>

namespace {
Q_LOGGING_CATEGORY(lcHotplug, "trivo.hotplug", QtInfoMsg)

struct ActionMapping
{
    const char *action;
    UsbDeviceChange change;
};

// "bind", "unbind", "change", "move" and "online"/"offline" do not change which
// devices are present.
constexpr ActionMapping kActionMappings[] = {
    { "add", UsbDeviceChange::Added },
    { "remove", UsbDeviceChange::Removed },
};
} // namespace

UsbDeviceChange ClassifyUdevAction(const char *action)
{
    if (action == nullptr)
        return UsbDeviceChange::None;
    for (const ActionMapping &m : kActionMappings) {
        if (std::strcmp(action, m.action) == 0)
            return m.change;
    }
    return UsbDeviceChange::None;
}

UdevMonitor::UdevMonitor(QObject *parent)
    : QObject(parent)
{
    mUdev = udev_new();
    if (mUdev == nullptr) {
        qCWarning(lcHotplug).noquote() << "UdevMonitor() - udev_new failed; no hotplug notices";
        return;
    }
    mMonitor = udev_monitor_new_from_netlink(mUdev, "udev");
    if (mMonitor == nullptr
        || udev_monitor_filter_add_match_subsystem_devtype(mMonitor, "usb", "usb_device") < 0
        || udev_monitor_enable_receiving(mMonitor) < 0) {
        qCWarning(lcHotplug).noquote()
            << "UdevMonitor() - cannot receive udev events; no hotplug notices";
        return;
    }
    // The monitor's socket is non-blocking, so readEvents can drain it completely.
    mNotifier = new QSocketNotifier(udev_monitor_get_fd(mMonitor), QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &UdevMonitor::readEvents);
}

UdevMonitor::~UdevMonitor()
{
    delete mNotifier;
    if (mMonitor != nullptr)
        udev_monitor_unref(mMonitor);
    if (mUdev != nullptr)
        udev_unref(mUdev);
}

void UdevMonitor::readEvents()
{
    while (udev_device *device = udev_monitor_receive_device(mMonitor)) {
        const char *action = udev_device_get_action(device);
        const UsbDeviceChange change = ClassifyUdevAction(action);
        qCDebug(lcHotplug).noquote()
            << "UdevMonitor - USB device" << action << udev_device_get_syspath(device);
        udev_device_unref(device);
        if (change == UsbDeviceChange::Added)
            emit deviceAdded();
        else if (change == UsbDeviceChange::Removed)
            emit deviceRemoved();
    }
}

DirectoryEntryWatcher::DirectoryEntryWatcher(const QStringList &directories, QObject *parent)
    : QObject(parent)
    , mWatcher(new QFileSystemWatcher(this))
{
    for (const QString &dir : directories) {
        const QString path = QDir(dir).absolutePath();
        if (!QFileInfo(path).isDir() || mEntries.contains(path))
            continue;
        if (!mWatcher->addPath(path)) {
            qCWarning(lcHotplug).noquote() << "DirectoryEntryWatcher() - cannot watch" << path;
            continue;
        }
        mEntries.insert(path, listEntries(path));
    }
    connect(mWatcher, &QFileSystemWatcher::directoryChanged, this, &DirectoryEntryWatcher::rescan);
}

QStringList DirectoryEntryWatcher::watchedDirectories() const
{
    return mWatcher->directories();
}

QHash<QString, QString> DirectoryEntryWatcher::listEntries(const QString &directory)
{
    QHash<QString, QString> entries;
    const QDir dir(directory);
    // System includes dangling links: a link whose module is down is still an entry.
    const QStringList names
        = dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        // A link replaced by a new one (a module that came back on another terminal)
        // within one change notice must still count as gone and back, so an entry
        // is known by its inode, change time and link target, not by name alone.
        const QString path = dir.filePath(name);
        struct stat st
        {
        };
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        entries.insert(name,
            QStringLiteral("%1:%2.%3:%4")
                .arg(st.st_ino)
                .arg(st.st_ctim.tv_sec)
                .arg(st.st_ctim.tv_nsec)
                .arg(QFile::symLinkTarget(path)));
    }
    return entries;
}

void DirectoryEntryWatcher::rescan(const QString &directory)
{
    const auto known = mEntries.find(directory);
    if (known == mEntries.end())
        return;
    const QHash<QString, QString> now = listEntries(directory);
    const QHash<QString, QString> before = known.value();
    known.value() = now;

    const QDir dir(directory);
    QStringList removed;
    QStringList added;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto current = now.constFind(it.key());
        if (current == now.cend() || current.value() != it.value())
            removed.append(it.key());
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const auto previous = before.constFind(it.key());
        if (previous == before.cend() || previous.value() != it.value())
            added.append(it.key());
    }
    removed.sort();
    added.sort();
    // Removals first: a replaced entry reads as unplug, then re-plug.
    for (const QString &name : removed)
        emit entryRemoved(dir.filePath(name));
    for (const QString &name : added)
        emit entryAdded(dir.filePath(name));
}
