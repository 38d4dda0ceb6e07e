#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window of this frame size goes: the wanted top-left is kept when the whole frame
// fits on one screen's available area; otherwise the window is moved (never resized) to fit,
// centred on the screen under the pointer (else the first screen), and put at that screen's
// top-left corner where it is larger than the screen.
QPoint FittedWindowPosition(const QPoint &wanted, const QSize &frameSize,
    const QList<QRect> &availableScreens, const QPoint &pointer);
