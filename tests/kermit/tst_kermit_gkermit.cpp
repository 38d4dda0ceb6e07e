// Whole transfers to an independent receiver (gkermit -r) over pseudo-terminals.

#include "gkermit_peer.h"
#include "kermit.h"
#include "kermit_drive.h"
#include "kermit_test_util.h"
#include "posix_serial_if.h"
#include "pty_relay.h"
#include "test_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestKermitGkermit : public QObject
{
    Q_OBJECT

    std::unique_ptr<KermitTransfer> k;

private slots:
    void initTestCase()
    {
        if (!GkermitPeer::available())
            QSKIP("gkermit is not installed");
        k = std::make_unique<KermitTransfer>();
    }

    void transfer_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << "all" << 0;
        QTest::newRow("one byte") << "all" << 1;
        QTest::newRow("every byte value") << "all" << 4 * 1024;
        QTest::newRow("random 3 MiB") << "random" << 3 * 1024 * 1024;
    }
    void transfer()
    {
        QFETCH(QString, kind);
        QFETCH(int, size);
        const QByteArray content = ktest::content(kind, size);
        QTemporaryDir sendDir, recvDir;
        QVERIFY(sendDir.isValid() && recvDir.isValid());
        QVERIFY(writeTestFile(sendDir.filePath("image.vlts"), content));

        PtyRelay relay;
        QVERIFY(relay.isValid());
        GkermitPeer receiver;
        QVERIFY(receiver.start({ "-r" }, relay.path(0), recvDir.path()));

        CPosixSerialIF port;
        QVERIFY(port.OpenDevicePath(relay.path(1)));
        // The receiver stores the file under the announced path: announce a relative one
        // so it lands in the receiver's directory, not over the original.
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(sendDir.path()));
        QByteArray name("image.vlts");
        char *list[2] = { name.data(), nullptr };
        KermitStatus st {};
        QCOMPARE(kermitInitTransfer(k.get(), &st, list, &port), 0);
        const int rc = ktest::driveTransfer(k.get(), &st);
        QDir::setCurrent(oldCwd);
        QCOMPARE(rc, int(kKermitResultDone));
        QCOMPARE(receiver.wait(10000), 0);
        port.CloseSerialPort();

        const QStringList got = QDir(recvDir.path()).entryList(QDir::Files);
        QCOMPARE(got, QStringList { "image.vlts" });
        QFile r(recvDir.filePath(got.first()));
        QVERIFY(r.open(QIODevice::ReadOnly));
        QCOMPARE(sha256Hex(r.readAll()), sha256Hex(content));
        QCOMPARE(st.bytesSoFar, size);
        QCOMPARE(st.filesize, size);
    }
};

QTEST_MAIN(TestKermitGkermit)
#include "tst_kermit_gkermit.moc"
