#include "log_capture.h"
#include "posix_serial_if.h"
#include "pty_pair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

int openFdCount()
{
    return int(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

// Whether the terminal refuses further opens (TIOCEXCL); root may still open it, so ask.
bool exclusiveFlagSet(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == EBUSY;
    int flag = 0;
    const bool ok = ::ioctl(fd, TIOCGEXCL, &flag) == 0;
    ::close(fd);
    return ok && flag != 0;
}

// Pieces for the master to write, each after a pause in ms.
using Steps = QList<QPair<int, QByteArray>>;

// Writes the pieces to the master, pausing before each one, on its own thread.
class MasterScript
{
public:
    MasterScript(PtyPair &pty, Steps steps)
        : mThread([&pty, steps] {
            for (const auto &[pauseMs, bytes] : steps) {
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
                pty.write(bytes);
            }
        })
    { }
    ~MasterScript() { mThread.join(); }

private:
    std::thread mThread;
};

} // namespace

Q_DECLARE_METATYPE(Steps)

class TestPosixSerialIF : public QObject
{
    Q_OBJECT

private:
    // An interface opened on a fresh pseudo-terminal.
    struct Opened
    {
        PtyPair pty;
        CPosixSerialIF port;
        bool ok = false;
        Opened()
        {
            port.SetPortList({ pty.path() });
            ok = pty.isValid() && port.OpenSerialPort(0);
        }
    };

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules("trivo.serial.debug=true"); }

    void freshObjectIsClosedAndEmpty()
    {
        CPosixSerialIF port;
        QCOMPARE(port.GetNumPorts(), 0);
        QVERIFY(!port.IsOpen());
        QVERIFY(!port.CloseSerialPort());
        uint8_t b[4] = { 1, 2, 3, 4 };
        QCOMPARE(port.Read(b, 4), 0u);
        uint32_t written = 77;
        QVERIFY(!port.Write(b, 4, &written));
        QCOMPARE(written, 77u);
        port.FlushInput();
        QVERIFY(!port.IsOpen());
    }

    void indexOutOfRangeKeepsOpenPort_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("equal to count") << 1;
        QTest::newRow("negative") << -1;
    }

    void indexOutOfRangeKeepsOpenPort()
    {
        QFETCH(int, index);
        Opened o;
        QVERIFY(o.ok);
        LogCapture log;
        QVERIFY(!o.port.OpenSerialPort(index));
        QVERIFY(log.contains(QString("Opened serial port %1 only 1 ports available").arg(index)));
        QVERIFY(o.port.IsOpen());
        QCOMPARE(o.port.OpenPortPath(), o.pty.path());
    }

    // A failed enumeration falls back to numbered ports; a later good one replaces them.
    void enumerationAndFallback()
    {
        CPosixSerialIF port;
        bool fail = true;
        port.SetPortLister([&fail](QStringList &paths) {
            paths = { "/dev/ttyACM3", "/tmp/modules/module1" };
            return !fail;
        });
        port.EnumeratePorts();
        QVERIFY(port.EnumerationFailed());
        QCOMPARE(port.GetNumPorts(), 256);
        QCOMPARE(port.PortPath(7), QStringLiteral("/dev/ttyACM7"));
        QCOMPARE(port.PortPath(7), CPosixSerialIF::NumberedPortPath(7));

        LogCapture log;
        QCOMPARE(port.GetPortNumber(7), -1);
        QVERIFY(log.contains("Error getting serial port number"));
        QVERIFY(!port.OpenSerialPort(256));
        QVERIFY(log.contains("Opened serial port 256 only 0 ports available"));
        if (!QFile::exists("/dev/ttyACM255")) {
            QVERIFY(!port.OpenSerialPort(255));
            QCOMPARE(port.LastOpenError(), CPosixSerialIF::OpenError::NoSuchPort);
            QCOMPARE(port.LastOpenErrno(), ENOENT);
        }

        fail = false;
        port.EnumeratePorts();
        QVERIFY(!port.EnumerationFailed());
        QCOMPARE(port.PortList(), QStringList({ "/dev/ttyACM3", "/tmp/modules/module1" }));
        QCOMPARE(port.GetNumPorts(), 2);
        QCOMPARE(port.PortPath(2), QString());
    }

    void portNumber_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("number");
        QTest::newRow("ACM") << "/dev/ttyACM12" << 12;
        QTest::newRow("link") << "/tmp/x/module0" << 0;
        QTest::newRow("pts") << "/dev/pts/31" << 31;
        QTest::newRow("digits inside only") << "/dev/tty5x" << 0;
        QTest::newRow("digits in directory only") << "/run/m7/module" << 0;
    }

    void portNumber()
    {
        QFETCH(QString, path);
        QFETCH(int, number);
        CPosixSerialIF port;
        port.SetPortList({ "/dev/null", path });
        QCOMPARE(port.GetPortNumber(1), number);
        LogCapture log;
        QCOMPARE(port.GetPortNumber(2), -1);
        QVERIFY(log.contains("Error getting serial port number"));
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("errnoValue");
        QTest::newRow("absent") << "absent" << int(CPosixSerialIF::OpenError::NoSuchPort) << ENOENT;
        QTest::newRow("no permission")
            << "chmod000" << int(CPosixSerialIF::OpenError::PermissionDenied) << EACCES;
        QTest::newRow("not a terminal")
            << "regular" << int(CPosixSerialIF::OpenError::Other) << ENOTTY;
    }

    void openErrors()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QFETCH(int, errnoValue);
        if (kind == "chmod000" && geteuid() == 0)
            QSKIP("permission checks do not apply to root");

        QTemporaryDir dir;
        const QString path = dir.filePath("module0");
        if (kind != "absent") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.close();
            if (kind == "chmod000")
                QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0), 0);
        }
        const int fdsBefore = openFdCount();
        CPosixSerialIF port;
        port.SetPortList({ path });
        QVERIFY(!port.OpenSerialPort(0));
        QVERIFY(!port.IsOpen());
        QCOMPARE(int(port.LastOpenError()), error);
        QCOMPARE(port.LastOpenErrno(), errnoValue);
        QCOMPARE(openFdCount(), fdsBefore);
    }

    void secondOpenOfSamePortIsBusy()
    {
        Opened first;
        QVERIFY(first.ok);
        CPosixSerialIF second;
        second.SetPortList({ first.pty.path() });
        QVERIFY(!second.OpenSerialPort(0));
        QCOMPARE(second.LastOpenError(), CPosixSerialIF::OpenError::Busy);
        QVERIFY(exclusiveFlagSet(first.pty.path()));
        QVERIFY(first.port.CloseSerialPort());
        // The master keeps the terminal alive: the flag must not outlive our descriptor.
        QVERIFY(!exclusiveFlagSet(first.pty.path()));
        QVERIFY(!first.port.CloseSerialPort());
        QVERIFY(second.OpenSerialPort(0));
        QVERIFY(second.OpenSerialPort(0)); // reopening closes first: no Busy from ourselves
        QVERIFY(second.IsOpen());
    }

    // The owner may forget to close: the descriptor (and with it the lock) must not leak.
    void destructorReleasesPort()
    {
        PtyPair pty;
        const int fdsBefore = openFdCount();
        {
            CPosixSerialIF port;
            port.SetPortList({ pty.path() });
            QVERIFY(port.OpenSerialPort(0));
            QCOMPARE(openFdCount(), fdsBefore + 1);
        }
        QCOMPARE(openFdCount(), fdsBefore);
        QVERIFY(!exclusiveFlagSet(pty.path()));
        CPosixSerialIF again;
        QVERIFY(again.OpenDevicePath(pty.path()));
    }

    void bytesPassBothWays()
    {
        Opened o;
        QVERIFY(o.ok);
        const QByteArray out("\x00\x11\xff\r\n\x13\x11 raw", 12);
        uint32_t written = 0;
        QVERIFY(o.port.Write(
            reinterpret_cast<const uint8_t *>(out.constData()), uint32_t(out.size()), &written));
        QCOMPARE(written, uint32_t(out.size()));
        QCOMPARE(o.pty.read(1000, out.size()), out);

        QVERIFY(o.pty.write(out));
        QByteArray in(out.size(), '\0');
        QElapsedTimer t;
        t.start();
        QCOMPARE(o.port.Read(reinterpret_cast<uint8_t *>(in.data()), uint32_t(in.size())),
            uint32_t(out.size()));
        QVERIFY(t.elapsed() < 500);
        QCOMPARE(in, out);
    }

    // Bounded mode: a read gives up after 1 s of silence, or 500 ms after the last byte.
    // Unbounded mode waits for everything asked for.
    void read_data()
    {
        QTest::addColumn<bool>("bounded");
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("silence") << true << Steps {} << 1 << QByteArray() << 950 << 1400;
        QTest::newRow("inter-byte gap")
            << true << Steps { { 0, "abc" }, { 200, "de" }, { 900, "late" } } << 10
            << QByteArray("abcde") << 650 << 1050;
        QTest::newRow("unbounded waits for all") << false << Steps { { 0, "ab" }, { 1200, "cd" } }
                                                 << 4 << QByteArray("abcd") << 1150 << 5000;
    }

    void read()
    {
        QFETCH(bool, bounded);
        QFETCH(Steps, steps);
        QFETCH(int, size);
        QFETCH(QByteArray, expected);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        Opened o;
        QVERIFY(o.ok);
        o.port.SetTimeoutMode(bounded);
        QByteArray in(size, '\0');
        QElapsedTimer t;
        t.start();
        {
            MasterScript script(o.pty, steps);
            QCOMPARE(o.port.Read(reinterpret_cast<uint8_t *>(in.data()), uint32_t(size)),
                uint32_t(expected.size()));
            const qint64 ms = t.elapsed();
            QVERIFY2(ms >= minMs && ms < maxMs, qPrintable(QString::number(ms)));
        }
        QCOMPARE(in.left(expected.size()), expected);
        QVERIFY(o.port.IsOpen());
    }

    // ReadWithin never waits past its limit, in either time-out mode, and returns as soon
    // as bytes come.
    void readWithin_data()
    {
        QTest::addColumn<bool>("bounded");
        QTest::addColumn<int>("sendAfterMs"); // -1: nothing comes
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<int>("expected");
        QTest::newRow("silence, bounded") << true << -1 << 200 << 0;
        QTest::newRow("silence, unbounded") << false << -1 << 200 << 0;
        QTest::newRow("no wait") << true << -1 << 0 << 0;
        QTest::newRow("bytes before the limit") << false << 100 << 3000 << 3;
    }
    void readWithin()
    {
        QFETCH(bool, bounded);
        QFETCH(int, sendAfterMs);
        QFETCH(int, waitMs);
        QFETCH(int, expected);
        Opened o;
        QVERIFY(o.ok);
        o.port.SetTimeoutMode(bounded);
        Steps steps;
        if (sendAfterMs >= 0)
            steps.append({ sendAfterMs, "abc" });
        MasterScript script(o.pty, steps);
        uint8_t b[16] = {};
        QElapsedTimer t;
        t.start();
        QCOMPARE(o.port.ReadWithin(b, sizeof b, waitMs), uint32_t(expected));
        const qint64 ms = t.elapsed(), until = sendAfterMs >= 0 ? sendAfterMs : waitMs;
        QVERIFY2(ms >= until - 10 && ms < until + 300, qPrintable(QString::number(ms)));
    }

    // Waiting bytes go at once, and so do bytes still trickling in when the flush starts.
    void flushDiscardsInput()
    {
        Opened o;
        QVERIFY(o.ok);
        QVERIFY(o.pty.write("xyz"));
        QThread::msleep(20);
        QElapsedTimer t;
        t.start();
        o.port.FlushInput();
        QVERIFY(t.elapsed() < 300);
        QVERIFY(o.port.IsOpen());
        {
            Steps steps;
            for (int i = 0; i < 50; ++i)
                steps.append({ 0, QByteArray(1, char('a' + i % 26)) });
            MasterScript script(o.pty, steps);
            QThread::msleep(1);
            o.port.FlushInput();
        }
        o.port.FlushInput();
        QVERIFY(o.pty.write("Z"));
        uint8_t b = 0;
        QCOMPARE(o.port.Read(&b, 1), 1u);
        QCOMPARE(char(b), 'Z');
    }

    void hangUpClosesPort_data()
    {
        QTest::addColumn<QString>("noticedBy");
        QTest::newRow("IsOpen") << "IsOpen";
        QTest::newRow("Read") << "Read";
        QTest::newRow("ReadWithin") << "ReadWithin";
        QTest::newRow("Write") << "Write";
        QTest::newRow("FlushInput") << "FlushInput";
    }

    void hangUpClosesPort()
    {
        QFETCH(QString, noticedBy);
        Opened o;
        QVERIFY(o.ok);
        const int fdsOpen = openFdCount();
        o.pty.closeMaster();
        QElapsedTimer t;
        t.start();
        uint8_t b[8] = {};
        uint32_t written = 0;
        if (noticedBy == "Read")
            QCOMPARE(o.port.Read(b, 1), 0u);
        else if (noticedBy == "ReadWithin")
            QCOMPARE(o.port.ReadWithin(b, 8, 5000), 0u);
        else if (noticedBy == "Write")
            QVERIFY(!o.port.Write(b, 8, &written));
        else if (noticedBy == "FlushInput")
            o.port.FlushInput();
        QVERIFY(!o.port.IsOpen());
        QVERIFY(t.elapsed() < 500);
        QCOMPARE(openFdCount(), fdsOpen - 2); // ours and the master
        QVERIFY(!o.port.CloseSerialPort());
    }
};

QTEST_MAIN(TestPosixSerialIF)
#include "tst_posix_serial_if.moc"
