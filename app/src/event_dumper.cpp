#include "event_dumper.h"

#include <QEvent>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcEvents, "trivo.events", QtInfoMsg)
}

bool CEventDumper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        qCDebug(lcEvents).noquote() << watched << "Received mouse event:" << event;
    else if (event->type() == QEvent::KeyPress)
        qCDebug(lcEvents).noquote() << watched << "Received key press event:" << event;
    return QObject::eventFilter(watched, event);
}
