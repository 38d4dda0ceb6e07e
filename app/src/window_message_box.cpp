#include "window_message_box.h"

namespace WindowMessageBox {

namespace {
Responder &responder()
{
    static Responder r;
    return r;
}
} // namespace

void setResponderForTesting(Responder r)
{
    responder() = std::move(r);
}

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
    const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    if (responder())
        return responder()(icon, title, text);

    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box.setWindowModality(Qt::WindowModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void warning(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void critical(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace WindowMessageBox
