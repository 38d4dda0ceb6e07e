#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// The window's message boxes: window-modal, titled, with only the title and a close
// button in their title bar. Tests install a responder that answers instead of the user.
namespace WindowMessageBox {

using Responder = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon icon, const QString &title, const QString &text)>;

// A null responder restores the real dialogs.
void setResponderForTesting(Responder responder);

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
    const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton);

void warning(QWidget *parent, const QString &title, const QString &text);
void critical(QWidget *parent, const QString &title, const QString &text);

} // namespace WindowMessageBox
