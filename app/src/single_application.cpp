#include "single_application.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QWidget>
#include <QtEndian>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcInstance, "trivo.instance", QtInfoMsg)

constexpr int kProbeTimeoutMs = 1000;
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
{
    // Two tries: a start racing with another one may lose the listen and then
    // find the winner on the second probe.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QLocalSocket probe;
        probe.connectToServer(mKey);
        if (probe.waitForConnected(kProbeTimeoutMs)) {
            mRunning = true;
            return;
        }
        // Only a refused or absent server means no instance: a slow one must not
        // lose its socket to us.
        const auto error = probe.error();
        if (error != QLocalSocket::ServerNotFoundError
            && error != QLocalSocket::ConnectionRefusedError) {
            qCWarning(lcInstance).noquote()
                << "SingleApplication() - probe failed:" << probe.errorString();
            mRunning = true;
            return;
        }
        if (startServer())
            return;
    }
    qCWarning(lcInstance).noquote() << "SingleApplication() - no instance guard for" << mKey;
}

SingleApplication::~SingleApplication() = default;

QString SingleApplication::DefaultKey()
{
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationName()).arg(::getuid());
}

bool SingleApplication::startServer()
{
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(mKey)) {
        if (server->serverError() == QAbstractSocket::AddressInUseError) {
            // Nobody answered the probe, so the socket file is a crashed instance's.
            QLocalServer::removeServer(mKey);
            if (server->listen(mKey)) {
                mServer = server;
                connect(mServer, &QLocalServer::newConnection, this,
                    &SingleApplication::acceptConnections);
                return true;
            }
        }
        qCDebug(lcInstance).noquote()
            << "SingleApplication - listen failed:" << server->errorString();
        delete server;
        return false;
    }
    mServer = server;
    connect(mServer, &QLocalServer::newConnection, this, &SingleApplication::acceptConnections);
    return true;
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
    if (socket->bytesAvailable() < kLengthBytes)
        return;
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

bool SingleApplication::sendMessage(const QString &text, int timeoutMs)
{
    if (!mRunning)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(mKey);
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
