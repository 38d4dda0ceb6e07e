#include "linux_app_if.h"

#include "port_enumeration.h"
#include "posix_serial_if.h"
#include "udev_monitor.h"

#include <QDir>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcAppIf, "trivo.platform", QtInfoMsg)

#define TRIVO_STRINGIFY_VALUE(x) #x
#define TRIVO_STRINGIFY(x) TRIVO_STRINGIFY_VALUE(x)
// An empty definition reads as "", a missing one as the macro's own name; neither
// parses as a number, so both give an unknown part.
constexpr const char *kVersionParts[] = {
    TRIVO_STRINGIFY(TRIVO_VERSION_MAJOR),
    TRIVO_STRINGIFY(TRIVO_VERSION_MINOR),
    TRIVO_STRINGIFY(TRIVO_VERSION_PATCH),
    TRIVO_STRINGIFY(TRIVO_VERSION_TWEAK),
};

constexpr char kFontStyle[] = "font: 9pt \"Arial\";";
constexpr char kWidgetStyleSheet[]
    = "QComboBox{ margin: 3px; padding-left: 5px; } QSpinBox{ margin: 2px; padding-left: 5px; } "
      "QPushButton { max-height: 20px; }";
} // namespace

std::optional<unsigned> ParseVersionPart(const char *text)
{
    if (text == nullptr)
        return std::nullopt;
    bool ok = false;
    const unsigned value = QString::fromLatin1(text).toUInt(&ok, 10);
    return ok ? std::optional<unsigned>(value) : std::nullopt;
}

QString FormatAppVersion(std::optional<unsigned> major, std::optional<unsigned> minor,
    std::optional<unsigned> patch, std::optional<unsigned> tweak)
{
    if (!major || !minor || !patch || !tweak)
        return QStringLiteral("0.0.0.0");
    return QStringLiteral("v%1.%2.%3.%4").arg(*major).arg(*minor).arg(*patch).arg(*tweak);
}

LinuxAppIF::LinuxAppIF(QObject *parent)
    : CAppIF(parent)
{
    // The main window gets device changes from the start; other owners ask for them.
    if (parent != nullptr && parent->isWidgetType())
        WatchDevices();
}

void LinuxAppIF::WatchDevices()
{
    if (mUdevMonitor != nullptr)
        return;
    mUdevMonitor = new UdevMonitor(this);
    connect(mUdevMonitor, &UdevMonitor::deviceAdded, this, &CAppIF::DeviceAddedSignal);
    connect(mUdevMonitor, &UdevMonitor::deviceRemoved, this, &CAppIF::DeviceRemovedSignal);

    mExtraPortWatcher = new DirectoryEntryWatcher(ExtraPortEntries(), this);
    connect(mExtraPortWatcher, &DirectoryEntryWatcher::entryAdded, this,
        [this] { emit DeviceAddedSignal(); });
    connect(mExtraPortWatcher, &DirectoryEntryWatcher::entryRemoved, this,
        [this] { emit DeviceRemovedSignal(); });
}

LinuxAppIF::~LinuxAppIF() = default;

bool LinuxAppIF::IsUdevActive() const
{
    return mUdevMonitor != nullptr && mUdevMonitor->isActive();
}

void LinuxAppIF::NotifyModuleTypeChanged()
{
    emit ChangeModuleTypeSignal();
}

void LinuxAppIF::NotifyNewConnection()
{
    emit NewConnectionSignal();
}

void LinuxAppIF::DisConnection()
{
    qCDebug(lcAppIf).noquote() << "DisConnection";
}

bool LinuxAppIF::IsManufacturingMode()
{
    return GetStartMode() == 1;
}

CSerialIF *LinuxAppIF::CreateSerialIF()
{
    return new CPosixSerialIF;
}

QString LinuxAppIF::GetWorkingDirectory()
{
    return QDir::currentPath();
}

QString LinuxAppIF::GetFontStyle()
{
    return QString::fromLatin1(kFontStyle);
}

QString LinuxAppIF::GetWidgetStyleSheet()
{
    return QString::fromLatin1(kWidgetStyleSheet);
}

QString LinuxAppIF::GetLabelStyle()
{
    return GetFontStyle();
}

QString LinuxAppIF::GetAppVersion()
{
    return FormatAppVersion(ParseVersionPart(kVersionParts[0]), ParseVersionPart(kVersionParts[1]),
        ParseVersionPart(kVersionParts[2]), ParseVersionPart(kVersionParts[3]));
}
