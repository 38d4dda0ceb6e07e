#include "single_application.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QWidget>
#include <QtEndian>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcInstance, "trivo.instance", QtInfoMsg)

constexpr int kProbeTimeoutMs = 1000;
constexpr int kStartLockTimeoutMs = 3000;
constexpr int kLengthBytes = 4;
constexpr char kAck = '\x06';

int RemainingMs(const QDeadlineTimer &deadline)
{
    return int(qMax<qint64>(0, deadline.remainingTime()));
}
} // namespace

SingleApplication::SingleApplication(const QString &key, QObject *parent)
    : QObject(parent)
    , mKey(key)
    , mServerPath(ServerPath(key))
{
    // Probe and listen under a lock, so two instances started at once cannot both
    // find no server and both listen. A crashed holder's lock counts as stale.
    QLockFile startLock(mServerPath + QStringLiteral(".lock"));
    if (!startLock.tryLock(kStartLockTimeoutMs))
        qCWarning(lcInstance).noquote() << "SingleApplication() - start lock not taken";

    QLocalSocket probe;
    probe.connectToServer(mServerPath);
    if (probe.waitForConnected(kProbeTimeoutMs)) {
        mRunning = true;
        return;
    }
    // Only a refused or absent server means no instance: a slow one must not lose
    // its socket to us.
    const auto error = probe.error();
    if (error != QLocalSocket::ServerNotFoundError
        && error != QLocalSocket::ConnectionRefusedError) {
        qCWarning(lcInstance).noquote()
            << "SingleApplication() - probe failed:" << probe.errorString();
        mRunning = true;
        return;
    }
    // Nobody answered, so a socket file still there is a crashed instance's.
    QLocalServer::removeServer(mServerPath);
    auto *server = new QLocalServer(this);
    if (!server->listen(mServerPath)) {
        // Start anyway, only without the guard.
        qCWarning(lcInstance).noquote()
            << "SingleApplication() - listen failed:" << server->errorString();
        delete server;
        return;
    }
    mServer = server;
    connect(mServer, &QLocalServer::newConnection, this, &SingleApplication::acceptConnections);
}

SingleApplication::~SingleApplication() = default;

QString SingleApplication::DefaultKey()
{
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationName()).arg(::getuid());
}

QString SingleApplication::ServerPath(const QString &key)
{
    // The runtime directory belongs to the user alone (mode 0700), so no other
    // user can reach the socket or put a file in its place.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QLatin1Char('/') + key;
}

void SingleApplication::acceptConnections()
{
    while (QLocalSocket *socket = mServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleApplication::readMessage(QLocalSocket *socket)
{
    // Several messages may arrive in one read; each complete one is handed on.
    while (socket->bytesAvailable() >= kLengthBytes) {
        uchar header[kLengthBytes];
        socket->peek(reinterpret_cast<char *>(header), kLengthBytes);
        const quint32 length = qFromBigEndian<quint32>(header);
        if (length > quint32(kMaxMessageBytes)) {
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < qint64(kLengthBytes + length))
            return;
        socket->skip(kLengthBytes);
        const QString text = QString::fromUtf8(socket->read(length));
        socket->write(&kAck, 1);
        socket->flush();
        emit messageReceived(text);
    }
}

bool SingleApplication::sendMessage(const QString &text, int timeoutMs)
{
    if (!mRunning)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(mServerPath);
    if (!socket.waitForConnected(RemainingMs(deadline)))
        return false;

    const QByteArray payload = text.toUtf8();
    if (payload.size() > kMaxMessageBytes)
        return false;
    uchar header[kLengthBytes];
    qToBigEndian<quint32>(quint32(payload.size()), header);
    socket.write(reinterpret_cast<const char *>(header), kLengthBytes);
    socket.write(payload);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(RemainingMs(deadline)))
            return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(RemainingMs(deadline)))
            return false;
    }
    char ack = 0;
    return socket.getChar(&ack) && ack == kAck;
}

void SingleApplication::setActivationWindow(QWidget *window, bool activateOnMessage)
{
    mWindow = window;
    disconnect(mActivation);
    if (activateOnMessage)
        mActivation = connect(
            this, &SingleApplication::messageReceived, this, &SingleApplication::activateWindow);
}

void SingleApplication::activateWindow()
{
    if (mWindow.isNull())
        return;
    // A window still hidden is waiting for its first discovery run to end and
    // shows itself then; only a window the user has already seen is brought back.
    if (!mWindow->isVisible())
        return;
    mWindow->setWindowState((mWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    mWindow->raise();
    mWindow->activateWindow();
}
