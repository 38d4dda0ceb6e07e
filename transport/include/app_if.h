#pragma once

#include <QObject>
#include <QString>

class CSerialIF;

// The application's interface to its platform: USB arrival/removal, connection
// events relayed from the engine, serial-port factory and a few platform facts.
class CAppIF : public QObject
{
    Q_OBJECT

public:
    explicit CAppIF(QObject *parent = nullptr)
        : QObject(parent)
    { }
    ~CAppIF() override = default;

    virtual void NotifyModuleTypeChanged() = 0;
    virtual void NotifyNewConnection() = 0;
    virtual void DisConnection() = 0;
    virtual bool IsManufacturingMode() = 0;
    virtual CSerialIF *CreateSerialIF() = 0; // a new, closed port; the caller owns it
    virtual QString GetWorkingDirectory() = 0;
    virtual QString GetFontStyle() = 0;
    virtual QString GetWidgetStyleSheet() = 0;
    virtual QString GetLabelStyle() = 0;
    virtual QString GetAppVersion() = 0;

signals:
    void DeviceAddedSignal();
    void DeviceRemovedSignal();
    void NewConnectionSignal();
    void ChangeModuleTypeSignal();
};

// Start mode: 0 end user (default), 1 manufacturing (-m). Set while the command line is read.
int GetStartMode();
void SetStartMode(int mode);
