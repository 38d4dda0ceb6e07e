#include "velto_combo_box.h"

#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

VeltoComboBox::VeltoComboBox(QWidget *parent)
    : QComboBox(parent)
{ }

void VeltoComboBox::paintEvent(QPaintEvent *)
{
    if (!mDelegateInstalled) {
        // Installed lazily: the page forms replace items and style sheets after
        // construction, and the re-polish must see the final style sheet.
        setItemDelegate(new QStyledItemDelegate(this));
        style()->unpolish(this);
        style()->polish(this);
        mDelegateInstalled = true;
    }

    QStylePainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    // initStyleOption took the widget's palette; no colour is forced, so the label
    // follows the desktop palette instead of a fixed black or white.
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
