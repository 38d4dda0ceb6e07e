#pragma once

#include "app_if.h"
#include "cmd_engine.h"
#include "fake_serial_if.h"
#include "log_capture.h"
#include "module_sim.h"

#include <QRegularExpression>
#include <QStringList>
#include <memory>

// Records the engine's notifications in order.
class AppSpy : public CAppIF
{
public:
    QStringList calls;
    void NotifyModuleTypeChanged() override { calls << "type"; }
    void NotifyNewConnection() override { calls << "new"; }
    void DisConnection() override { calls << "gone"; }
    bool IsManufacturingMode() override { return false; }
    CSerialIF *CreateSerialIF() override { return nullptr; }
    QString GetWorkingDirectory() override { return {}; }
    QString GetFontStyle() override { return {}; }
    QString GetWidgetStyleSheet() override { return {}; }
    QString GetLabelStyle() override { return {}; }
    QString GetAppVersion() override { return {}; }
};

// An engine talking to a simulated module over a fake port.
struct EngineRig
{
    explicit EngineRig(uint32_t boardID = kBoardIdUnknown, CAppIF *app = nullptr)
        : serial(new FakeSerialIF)
        , engine(serial, nullptr, app, boardID)
    {
        sim.attach(*serial);
    }

    FakeSerialIF *serial; // owned by the engine
    ModuleSim sim;
    CCmdEngine engine;
};

// The engine's failure line, with the source line left open.
inline QString errorLinePattern(int code, const QString &subject, const QString &operation)
{
    return QStringLiteral(
        "^Got error code %1 %2 for %3 in %4 \\(\\) at cmd_engine[a-z_]*\\.cpp \\d+$")
        .arg(code)
        .arg(CCommProtocol::enumToString(code), QRegularExpression::escape(subject),
            QRegularExpression::escape(operation));
}

// Every captured line must match the pattern at the same position, and no more lines.
#define COMPARE_LOG_LINES(lines, patterns)                                                         \
    do {                                                                                           \
        const QStringList _l = (lines);                                                            \
        const QStringList _p = (patterns);                                                         \
        QVERIFY2(_l.size() == _p.size(), qPrintable(_l.join(" | ")));                              \
        for (int _i = 0; _i < _p.size(); ++_i)                                                     \
            QVERIFY2(QRegularExpression(_p[_i]).match(_l[_i]).hasMatch(),                          \
                qPrintable(_l[_i] + " !~ " + _p[_i]));                                             \
    } while (0)
