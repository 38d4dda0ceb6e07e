#include "port_enumeration.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(QList<SerialPortRecord>)

namespace {
SerialPortRecord Usb(const char *path, quint16 vid, quint16 pid)
{
    return SerialPortRecord { QString::fromLatin1(path), true, vid, pid };
}
SerialPortRecord NoIds(const char *path)
{
    return SerialPortRecord { QString::fromLatin1(path), false, 0, 0 };
}
} // namespace

class TestPortListing : public QObject
{
    Q_OBJECT

private slots:
    void filter_data()
    {
        QTest::addColumn<QList<SerialPortRecord>>("records");
        QTest::addColumn<QStringList>("paths");
        const quint16 vid = kModuleUsbVendorId;
        const quint16 pid = kModuleUsbProductId;

        QTest::newRow("empty") << QList<SerialPortRecord> {} << QStringList {};
        QTest::newRow("one module") << QList<SerialPortRecord> { Usb("/dev/ttyACM0", vid, pid) }
                                    << QStringList { "/dev/ttyACM0" };
        QTest::newRow("other product of the vendor")
            << QList<SerialPortRecord> { Usb("/dev/ttyACM0", vid, quint16(pid + 1)) }
            << QStringList {};
        QTest::newRow("other vendor, same product")
            << QList<SerialPortRecord> { Usb("/dev/ttyUSB0", quint16(vid + 1), pid) }
            << QStringList {};
        // The IDs are not looked at when the record says it has none.
        QTest::newRow("ids flagged absent")
            << QList<SerialPortRecord> { SerialPortRecord { "/dev/ttyS1", false, vid, pid } }
            << QStringList {};
        QTest::newRow("system order kept")
            << QList<SerialPortRecord> { Usb("/dev/ttyACM3", vid, pid), NoIds("/dev/ttyS0"),
                   Usb("/dev/ttyACM1", vid, quint16(pid + 1)), Usb("/dev/ttyACM0", vid, pid) }
            << QStringList { "/dev/ttyACM3", "/dev/ttyACM0" };
    }

    void filter()
    {
        QFETCH(QList<SerialPortRecord>, records);
        QFETCH(QStringList, paths);
        QCOMPARE(FilterModulePorts(records), paths);
    }

    void extraPorts()
    {
        QTemporaryDir root;
        const QString dir = root.filePath("ports");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(QFile::link("/dev/null", dir + "/vm-b"));
        QVERIFY(QFile::link("/dev/null", dir + "/vm-a"));
        QVERIFY(QFile::link(root.filePath("gone"), dir + "/vm-c")); // module rebooting
        const QString single = root.filePath("single");
        QVERIFY(QFile::link("/dev/null", single));

        qputenv(kExtraPortsEnvVar,
            QStringLiteral("%1::%2:%3").arg(dir, root.filePath("missing"), single).toLocal8Bit());
        const QStringList paths = ExtraPortPaths();
        const QStringList entries = ExtraPortEntries();
        qunsetenv(kExtraPortsEnvVar);

        QCOMPARE(paths, (QStringList { dir + "/vm-a", dir + "/vm-b", single }));
        QCOMPARE(entries, (QStringList { dir, root.filePath("missing"), single }));
        QVERIFY(ExtraPortPaths().isEmpty());
    }

    // The packaged udev rule must grant access to exactly the IDs the program lists.
    void udevRuleMatchesModuleIds()
    {
        QFile rules(QStringLiteral(UDEV_RULES_FILE));
        QVERIFY(rules.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(rules.readAll());
        const QRegularExpression vendor(QStringLiteral("idVendor}==\"([0-9a-f]{4})\""));
        const QRegularExpression product(QStringLiteral("idProduct}==\"([0-9a-f]{4})\""));
        int rulesSeen = 0;
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            if (line.trimmed().startsWith(QLatin1Char('#')) || line.trimmed().isEmpty())
                continue;
            const auto v = vendor.match(line);
            const auto p = product.match(line);
            QVERIFY2(v.hasMatch() && p.hasMatch(), qPrintable(line));
            QCOMPARE(v.captured(1).toUShort(nullptr, 16), kModuleUsbVendorId);
            QCOMPARE(p.captured(1).toUShort(nullptr, 16), kModuleUsbProductId);
            QVERIFY2(line.contains(QLatin1String("TAG+=\"uaccess\"")), qPrintable(line));
            ++rulesSeen;
        }
        QVERIFY(rulesSeen >= 1);
    }
};

QTEST_APPLESS_MAIN(TestPortListing)
#include "tst_port_listing.moc"
