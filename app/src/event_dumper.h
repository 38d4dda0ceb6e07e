#pragma once

#include <QObject>

// Diagnostic event filter: logs mouse-button and key presses of the watched
// object and lets every event pass on. Install it by hand while diagnosing.
class CEventDumper : public QObject
{
    Q_OBJECT

public:
    explicit CEventDumper(QObject *parent = nullptr)
        : QObject(parent)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
