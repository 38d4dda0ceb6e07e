#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Receives the addresses the program asks the desktop to open:
// QDesktopServices::setUrlHandler("https", &sink, "open").
class UrlSink : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};
