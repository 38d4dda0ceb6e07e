#include "single_application.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>
#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr int kProcessWaitMs = 15000;

QString HelperPath()
{
    return QStringLiteral(SINGLE_INSTANCE_HELPER);
}

// One message as the guard reads it: a big-endian length, then the text.
QByteArray frame(quint32 length, const QByteArray &text = QByteArray())
{
    uchar header[4];
    qToBigEndian<quint32>(length, header);
    return QByteArray(reinterpret_cast<const char *>(header), 4) + text;
}
} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    // A key of its own per test, so runs in parallel never meet.
    QString freshKey()
    {
        return QStringLiteral("trivo-test-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(++mKeys);
    }
    int mKeys = 0;

    static QProcess *startHelper(const QString &key, QObject *parent)
    {
        auto *p = new QProcess(parent);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(HelperPath(), { key });
        return p;
    }

private slots:
    void firstInstanceWindowComesBack()
    {
        const QString key = freshKey();
        QProcess *first = startHelper(key, this);
        // Accumulated: the macro evaluates its condition once more after success.
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT(
            (out += first->readAllStandardOutput()).contains("ready"), kProcessWaitMs);

        QProcess *second = startHelper(key, this);
        QVERIFY(second->waitForFinished(kProcessWaitMs));
        QCOMPARE(second->exitCode(), 0);

        QVERIFY(first->waitForFinished(kProcessWaitMs));
        out += first->readAllStandardOutput();
        QVERIFY(out.contains("activated"));
        QCOMPARE(first->exitCode(), 0);
    }

    // SIGTERM, SIGINT and SIGHUP close the window (the program's clean-up runs) and end it.
    void quitSignalClosesWindow()
    {
        for (const int signal : { SIGTERM, SIGINT, SIGHUP }) {
            QProcess *helper = startHelper(freshKey(), this);
            QByteArray out;
            QTRY_VERIFY_WITH_TIMEOUT(
                (out += helper->readAllStandardOutput()).contains("ready"), kProcessWaitMs);
            QCOMPARE(::kill(pid_t(helper->processId()), signal), 0);
            QVERIFY(helper->waitForFinished(kProcessWaitMs));
            QCOMPARE(helper->exitStatus(), QProcess::NormalExit);
            QVERIFY(helper->readAllStandardOutput().contains("closed"));
        }
    }

    // A first instance that takes the connection but never answers: the second
    // gives up at its time-out and reports the message as not delivered.
    void undeliveredMessageTimesOut()
    {
        const QString key = freshKey();
        QLocalServer mute;
        QVERIFY(mute.listen(SingleApplication::ServerPath(key)));
        SingleApplication second(key);
        QVERIFY(second.isRunning());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!second.sendMessage(QStringLiteral("hi"), 300));
        QVERIFY(clock.elapsed() < 2000);
    }

    void staleSocketDoesNotBlock()
    {
        const QString key = freshKey();
        // What a crashed instance leaves: a socket file nobody listens on.
        const QByteArray path = QFile::encodeName(SingleApplication::ServerPath(key));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        qstrncpy(addr.sun_path, path.constData(), sizeof addr.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        ::close(fd);
        QVERIFY(QFile::exists(QString::fromLocal8Bit(path)));

        SingleApplication first(key);
        QVERIFY(!first.isRunning());
        SingleApplication second(key);
        QVERIFY(second.isRunning());
    }

    void messagesSharingOneWriteAreAllDelivered()
    {
        const QString key = freshKey();
        SingleApplication first(key);
        QSignalSpy received(&first, &SingleApplication::messageReceived);
        QLocalSocket client;
        client.connectToServer(SingleApplication::ServerPath(key));
        QVERIFY(client.waitForConnected(1000));
        client.write(frame(2, "hi") + frame(5, "again"));
        QTRY_COMPARE(received.count(), 2);
        QCOMPARE(received.at(1).at(0).toString(), QStringLiteral("again"));
    }

    void oversizedMessageRefusedThenSecondInstanceDelivers()
    {
        const QString key = freshKey();
        SingleApplication first(key);
        QSignalSpy received(&first, &SingleApplication::messageReceived);

        QLocalSocket rogue;
        rogue.connectToServer(SingleApplication::ServerPath(key));
        QVERIFY(rogue.waitForConnected(1000));
        rogue.write(frame(0x40000000u));
        rogue.flush();
        QTRY_COMPARE(rogue.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(received.count(), 0);

        // The guard still serves a second instance afterwards, which then opens no window.
        QProcess *second = startHelper(key, this);
        QSignalSpy finished(second, &QProcess::finished);
        QVERIFY(finished.wait(kProcessWaitMs));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(!second->readAllStandardOutput().contains("ready"));
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("hi"));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
