#include "linux_app_if.h"
#include "port_enumeration.h"
#include "udev_monitor.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using OptU = std::optional<unsigned>;
Q_DECLARE_METATYPE(OptU)
Q_DECLARE_METATYPE(UsbDeviceChange)

class TestLinuxAppIF : public QObject
{
    Q_OBJECT

private slots:
    void udevAction_data()
    {
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<bool>("isNull");
        QTest::addColumn<UsbDeviceChange>("change");
        QTest::newRow("add") << QByteArray("add") << false << UsbDeviceChange::Added;
        QTest::newRow("remove") << QByteArray("remove") << false << UsbDeviceChange::Removed;
        QTest::newRow("bind") << QByteArray("bind") << false << UsbDeviceChange::None;
        QTest::newRow("add with suffix") << QByteArray("added") << false << UsbDeviceChange::None;
        QTest::newRow("upper case") << QByteArray("ADD") << false << UsbDeviceChange::None;
        QTest::newRow("no action") << QByteArray() << true << UsbDeviceChange::None;
    }

    void udevAction()
    {
        QFETCH(QByteArray, action);
        QFETCH(bool, isNull);
        QFETCH(UsbDeviceChange, change);
        QCOMPARE(ClassifyUdevAction(isNull ? nullptr : action.constData()), change);
    }

    void versionFormat_data()
    {
        QTest::addColumn<OptU>("major");
        QTest::addColumn<OptU>("minor");
        QTest::addColumn<OptU>("patch");
        QTest::addColumn<OptU>("tweak");
        QTest::addColumn<QString>("text");
        const OptU none;
        QTest::newRow("full") << OptU(2) << OptU(4) << OptU(3) << OptU(54) << "v2.4.3.54";
        QTest::newRow("zeros") << OptU(0) << OptU(0) << OptU(0) << OptU(0) << "v0.0.0.0";
        QTest::newRow("no tweak") << OptU(1) << OptU(2) << OptU(3) << none << "0.0.0.0";
        QTest::newRow("no major") << none << OptU(2) << OptU(3) << OptU(4) << "0.0.0.0";
    }

    void versionFormat()
    {
        QFETCH(OptU, major);
        QFETCH(OptU, minor);
        QFETCH(OptU, patch);
        QFETCH(OptU, tweak);
        QFETCH(QString, text);
        QCOMPARE(FormatAppVersion(major, minor, patch, tweak), text);
    }

    void versionPart_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<OptU>("part");
        QTest::newRow("digits") << QByteArray("54") << OptU(54);
        QTest::newRow("empty definition") << QByteArray("") << OptU();
        QTest::newRow("not a number") << QByteArray("beta") << OptU();
        QTest::newRow("undefined macro") << QByteArray("TRIVO_VERSION_TWEAK") << OptU();
        QTest::newRow("negative") << QByteArray("-1") << OptU();
    }

    void versionPart()
    {
        QFETCH(QByteArray, text);
        QFETCH(OptU, part);
        QCOMPARE(ParseVersionPart(text.constData()), part);
    }

    // The build defines the version; the program must show it, not the unknown text.
    void appVersionFromBuild()
    {
        LinuxAppIF appIf;
        const QString expected = QStringLiteral("v%1.%2.%3.%4")
                                     .arg(TRIVO_VERSION_MAJOR)
                                     .arg(TRIVO_VERSION_MINOR)
                                     .arg(TRIVO_VERSION_PATCH)
                                     .arg(TRIVO_VERSION_TWEAK);
        QCOMPARE(appIf.GetAppVersion(), expected);
    }

    void directoryWatcherReportsEntries()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath("module-a")));
        DirectoryEntryWatcher watcher({ dir.path(), dir.filePath("missing") });
        QCOMPARE(watcher.watchedDirectories().size(), 1);
        QSignalSpy added(&watcher, &DirectoryEntryWatcher::entryAdded);
        QSignalSpy removed(&watcher, &DirectoryEntryWatcher::entryRemoved);

        QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath("module-b")));
        QTRY_COMPARE(added.count(), 1);
        QCOMPARE(added.at(0).at(0).toString(), dir.filePath("module-b"));
        QCOMPARE(removed.count(), 0);

        QVERIFY(QFile::remove(dir.filePath("module-a")));
        QTRY_COMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).toString(), dir.filePath("module-a"));
        QCOMPARE(added.count(), 1);

        // A link swapped for a new one between two looks is gone and back.
        added.clear();
        removed.clear();
        const QString b = dir.filePath("module-b");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath("tmp")));
        QVERIFY(::rename(QFile::encodeName(dir.filePath("tmp")), QFile::encodeName(b)) == 0);
        QTRY_VERIFY(removed.contains(QVariantList { b }));
        QTRY_VERIFY(added.contains(QVariantList { b }));
    }

    // The main window (a widget) gets device notices; other owners only when they ask
    // (the command-line tool). The extra-port directories stand in for USB here, as the
    // system's events cannot be faked.
    void deviceSignalsOnlyWhenWatched_data()
    {
        QTest::addColumn<bool>("widgetParent");
        QTest::addColumn<bool>("asked");
        QTest::newRow("widget") << true << false;
        QTest::newRow("plain object") << false << false;
        QTest::newRow("plain object, asked") << false << true;
    }

    void deviceSignalsOnlyWhenWatched()
    {
        QFETCH(bool, widgetParent);
        QFETCH(bool, asked);
        const bool watched = widgetParent || asked;
        QTemporaryDir dir;
        qputenv(kExtraPortsEnvVar, dir.path().toLocal8Bit());
        QWidget window;
        QObject owner;
        auto *appIf = new LinuxAppIF(widgetParent ? static_cast<QObject *>(&window) : &owner);
        if (asked)
            appIf->WatchDevices();
        qunsetenv(kExtraPortsEnvVar);
        QCOMPARE(appIf->IsWatchingDevices(), watched);
        QSignalSpy added(appIf, &CAppIF::DeviceAddedSignal);
        QSignalSpy removed(appIf, &CAppIF::DeviceRemovedSignal);

        // Each change is waited for (or given time to show up) before the next.
        const QString link = dir.filePath("vmodule0");
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
        QCOMPARE(QTest::qWaitFor([&] { return added.count() > 0; }, watched ? 5000 : 300), watched);
        QVERIFY(QFile::remove(link));
        QCOMPARE(
            QTest::qWaitFor([&] { return removed.count() > 0; }, watched ? 5000 : 300), watched);
        QCOMPARE(added.count(), watched ? 1 : 0);
        QCOMPARE(removed.count(), added.count());
    }
};

QTEST_MAIN(TestLinuxAppIF)
#include "tst_linux_app_if.moc"
