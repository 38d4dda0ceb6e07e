#pragma once

#include "cmd_engine.h"
#include "fake_serial_if.h"
#include "log_capture.h"
#include "module_sim.h"
#include "stub_app_if.h"
#include "wire_frame.h"

#include <QRegularExpression>
#include <QStringList>
#include <functional>

// Records the engine's notifications in order.
class AppSpy : public StubAppIF
{
public:
    QStringList calls;
    void NotifyModuleTypeChanged() override { calls << "type"; }
    void NotifyNewConnection() override { calls << "new"; }
    void DisConnection() override { calls << "gone"; }
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

// Loads a module's parameters: keys "0x..." are IDs, others names; a value "!n" is status n.
inline void load(ModuleSim &sim, const QVariantMap &params)
{
    for (auto it = params.begin(); it != params.end(); ++it) {
        const QString v = it.value().toString();
        const bool status = it.value().typeId() == QMetaType::QString && v.startsWith('!');
        if (it.key().startsWith("0x")) {
            const uint32_t id = it.key().toUInt(nullptr, 16);
            if (status)
                sim.idStatus[id] = v.mid(1).toUInt();
            else
                sim.byID[id] = it.value();
        } else if (status) {
            sim.nameStatus[it.key()] = v.mid(1).toUInt();
        } else {
            sim.byName[it.key()] = it.value();
        }
    }
}

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

// A call into the engine; out shows the caller's out-value afterwards. Out-values start
// as sentinels (4711, "unchanged", true) so that "left unchanged" is visible.
using Operation = std::function<eResult_t(CCmdEngine &, QString &out)>;
Q_DECLARE_METATYPE(Operation)

template <typename F> Operation intOut(F f)
{
    return [f](CCmdEngine &e, QString &out) {
        uint32_t v = 4711;
        const eResult_t rc = f(e, v);
        out = QString::number(v);
        return rc;
    };
}

template <typename F> Operation textOut(F f)
{
    return [f](CCmdEngine &e, QString &out) {
        out = QStringLiteral("unchanged");
        return f(e, out);
    };
}

template <typename F> Operation boolOut(F f)
{
    return [f](CCmdEngine &e, QString &out) {
        bool v = true;
        const eResult_t rc = f(e, v);
        out = v ? QStringLiteral("true") : QStringLiteral("false");
        return rc;
    };
}

template <typename F> Operation noOut(F f)
{
    return [f](CCmdEngine &e, QString &) { return f(e); };
}
