#include "window_message_box.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <memory>

namespace WindowMessageBox {

namespace {
Responder &responder()
{
    static Responder r;
    return r;
}

FileResponder &fileResponder()
{
    static FileResponder r;
    return r;
}
} // namespace

void setResponderForTesting(Responder r)
{
    responder() = std::move(r);
}

void setFileResponderForTesting(FileResponder r)
{
    fileResponder() = std::move(r);
}

QMessageBox *createBox(QWidget *parent, const Request &request)
{
    auto *box = new QMessageBox(request.icon, request.title, request.text, request.buttons, parent);
    // Text of a box may quote what a module reported: never interpret it as markup.
    box->setTextFormat(Qt::PlainText);
    // What a box says (an address to open, a port's path) can be copied.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (!request.informativeText.isEmpty()) {
        box->setInformativeText(request.informativeText);
        if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
            label->setTextFormat(Qt::PlainText);
    }
    for (auto it = request.buttonTexts.cbegin(); it != request.buttonTexts.cend(); ++it) {
        if (QAbstractButton *button = box->button(it.key()))
            button->setText(it.value());
    }
    box->setDefaultButton(request.defaultButton);
    box->setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    box->setWindowModality(Qt::WindowModal);
    return box;
}

QMessageBox::StandardButton ask(QWidget *parent, const Request &request)
{
    if (responder())
        return responder()(request);
    const std::unique_ptr<QMessageBox> box(createBox(parent, request));
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
    const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    return ask(parent, Request { icon, title, text, QString(), buttons, defaultButton, {} });
}

void warning(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void critical(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

QString openFileName(QWidget *parent, const FileRequest &request)
{
    if (fileResponder())
        return fileResponder()(request);
    return QFileDialog::getOpenFileName(parent, request.title, request.directory, request.filter);
}

} // namespace WindowMessageBox
