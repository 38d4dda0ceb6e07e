#include "trivo_about.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

namespace {
constexpr char kProductPageUrl[] = "https://www.velto.example/products/trivo-setup/";
constexpr char kSupportSiteLabel[] = "www.velto.example/support";
constexpr char kToolkitSourceUrl[] = "https://code.qt.io/";
constexpr char kToolkitLicenceUrl[] = "https://www.gnu.org/licenses/lgpl-3.0.html";
} // namespace

TrivoAbout::TrivoAbout(
    QWidget *parent, const QIcon &icon, const QString &title, const QString &body)
    : QDialog(parent)
{
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(title);
    setToolTip(QString());
    setModal(true);
    resize(kWidthPx, kHeightPx);
    setMinimumSize(kWidthPx, kHeightPx);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(kMarginPx, kMarginPx, kMarginPx, kMarginPx);
    layout->setSpacing(kMarginPx);

    auto *iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(kIconSizePx, kIconSizePx, QIcon::Normal, QIcon::Off));
    iconLabel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(iconLabel, 0, 0, Qt::AlignTop);

    mBrowser = new QTextBrowser(this);
    mBrowser->setReadOnly(true);
    mBrowser->setOpenExternalLinks(true);
    mBrowser->setContentsMargins(0, 0, 0, 0);
    mBrowser->setStyleSheet(
        QStringLiteral("QTextEdit { border: none;background-color: rgba(0,0,0,0); }"));
    mBrowser->setHtml(body);
    layout->addWidget(mBrowser, 0, 1, Qt::AlignTop);

    mLinkButton = new QPushButton(QString::fromLatin1(kSupportSiteLabel), this);
    layout->addWidget(mLinkButton, 1, 0, 1, -1, Qt::AlignHCenter);
    connect(mLinkButton, &QPushButton::released, this, &TrivoAbout::HandleTrivoSetupWebLinkButton);
}

QUrl TrivoAbout::ProductPageUrl()
{
    return QUrl(QString::fromLatin1(kProductPageUrl));
}

void TrivoAbout::HandleTrivoSetupWebLinkButton()
{
    QDesktopServices::openUrl(ProductPageUrl());
}

QString TrivoAbout::BodyText(const QString &appVersion)
{
    return tr("<p><b>Velto Trivo-Setup %1</b></p>"
              "<p>Copyright &copy; 2026 Velto. All rights reserved. "
              "This application updates and controls Velto Trivo products. "
              "A USB connection is required.</p><p></p>"
              "<p>This program uses the Qt cross-platform library, licensed under LGPLv3: "
              "<a href=\"%2\">source code</a>, <a href=\"%3\">licence</a>.</p><p></p>"
              "<p>Using Qt Version: %4</p>")
        .arg(appVersion.toHtmlEscaped(), QString::fromLatin1(kToolkitSourceUrl),
            QString::fromLatin1(kToolkitLicenceUrl), QString::fromLatin1(qVersion()));
}
