#pragma once

#include <QMap>
#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// The window's message boxes and file dialogs: message boxes are window-modal, titled,
// with only the title and a close button in their title bar. Tests install a responder
// that sees what would be asked and answers instead of the user.
namespace WindowMessageBox {

// One question as it would be shown.
struct Request
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QString informativeText;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMap<QMessageBox::StandardButton, QString> buttonTexts; // own texts for some buttons
};

using Responder = std::function<QMessageBox::StandardButton(const Request &request)>;

// A null responder restores the real dialogs.
void setResponderForTesting(Responder responder);

QMessageBox::StandardButton ask(QWidget *parent, const Request &request);
// The box ask() shows for a request, built but not shown; the caller owns it.
QMessageBox *createBox(QWidget *parent, const Request &request);
QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title,
    const QString &text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton);

void warning(QWidget *parent, const QString &title, const QString &text);
void critical(QWidget *parent, const QString &title, const QString &text);
void information(QWidget *parent, const QString &title, const QString &text);

// An open-file dialog; tests answer it with a path ("" = cancelled).
struct FileRequest
{
    QString title;
    QString directory;
    QString filter;
};
using FileResponder = std::function<QString(const FileRequest &request)>;
void setFileResponderForTesting(FileResponder responder);
QString openFileName(QWidget *parent, const FileRequest &request);

} // namespace WindowMessageBox
