#include "window_placement.h"

#include <QtGlobal>

QPoint FittedWindowPosition(const QPoint &wanted, const QSize &frameSize,
    const QList<QRect> &availableScreens, const QPoint &pointer)
{
    if (availableScreens.isEmpty())
        return wanted;
    const QRect frame(wanted, frameSize);
    for (const QRect &screen : availableScreens) {
        if (screen.contains(frame))
            return wanted;
    }
    QRect target = availableScreens.first();
    for (const QRect &screen : availableScreens) {
        if (screen.contains(pointer)) {
            target = screen;
            break;
        }
    }
    const int x = target.left() + qMax(0, (target.width() - frameSize.width()) / 2);
    const int y = target.top() + qMax(0, (target.height() - frameSize.height()) / 2);
    return { x, y };
}
