#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QUrl>

class QPushButton;
class QTextBrowser;

// The about box: icon, rich-text body and a link button to the product page.
class TrivoAbout : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kWidthPx = 440;
    static constexpr int kHeightPx = 280;
    static constexpr int kIconSizePx = 64;
    static constexpr int kMarginPx = 20;

    TrivoAbout(QWidget *parent, const QIcon &icon, const QString &title, const QString &body);

    // The body the main window shows: name and version, rights notice, purpose,
    // toolkit licence with links, toolkit version in use.
    static QString BodyText(const QString &appVersion);
    static QUrl ProductPageUrl();

    QTextBrowser *browser() const { return mBrowser; }
    QPushButton *linkButton() const { return mLinkButton; }

public slots:
    void HandleTrivoSetupWebLinkButton();

private:
    QTextBrowser *mBrowser = nullptr;
    QPushButton *mLinkButton = nullptr;
};
