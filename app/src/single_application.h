#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QLocalSocket;
class QWidget;

// One instance per user. The first instance listens on a local socket named by
// the key in the user's runtime directory; a later one finds it there, hands it a
// message and ends. A socket file left by a crashed instance is removed, so it
// never blocks the next start.
//
// Wire format of a message: 32-bit big-endian length, UTF-8 text; the receiver
// answers one acknowledgement byte once the message has been handed on.
class SingleApplication : public QObject
{
    Q_OBJECT

public:
    // Largest message accepted, so a stray client cannot make us buffer without end.
    static constexpr int kMaxMessageBytes = 64 * 1024;

    explicit SingleApplication(const QString &key, QObject *parent = nullptr);
    ~SingleApplication() override;

    // The key for this program and user: application name plus user id.
    static QString DefaultKey();
    // Where the socket of a key lives: the user's private runtime directory.
    static QString ServerPath(const QString &key);

    QString key() const { return mKey; }
    bool isRunning() const { return mRunning; }

    // Delivers text to the running instance; true once it acknowledged the text
    // within timeoutMs. Blocks; meant for the second instance before it ends.
    bool sendMessage(const QString &text, int timeoutMs);

    // Brings window to the front on every message when activateOnMessage is set.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);
    QWidget *activationWindow() const { return mWindow; }

public slots:
    void activateWindow();

signals:
    void messageReceived(const QString &message);

private:
    void acceptConnections();
    void readMessage(QLocalSocket *socket);

    QString mKey;
    QString mServerPath;
    bool mRunning = false;
    QLocalServer *mServer = nullptr;
    QPointer<QWidget> mWindow;
    QMetaObject::Connection mActivation;
};
