#pragma once

#include "app_if.h"

// An application that ignores every notification and offers nothing.
class StubAppIF : public CAppIF
{
public:
    void NotifyModuleTypeChanged() override { }
    void NotifyNewConnection() override { }
    void DisConnection() override { }
    bool IsManufacturingMode() override { return false; }
    CSerialIF *CreateSerialIF() override { return nullptr; }
    QString GetWorkingDirectory() override { return {}; }
    QString GetFontStyle() override { return {}; }
    QString GetWidgetStyleSheet() override { return {}; }
    QString GetLabelStyle() override { return {}; }
    QString GetAppVersion() override { return {}; }
};
