#include "app_settings.h"

#include <QTemporaryDir>
#include <QtTest>

class TestAppSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mConfigHome;

    QString storeFile() const { return mConfigHome.filePath("Velto/Velto Trivo-Setup.conf"); }

private slots:
    void initTestCase()
    {
        // Before the first settings object: the store location is fixed then.
        QVERIFY(mConfigHome.isValid());
        qputenv("XDG_CONFIG_HOME", mConfigHome.path().toLocal8Bit());
    }

    void init() { QFile::remove(storeFile()); }

    // The device-name preference is kept for manufacturing mode only.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("manufacturing");
        QTest::newRow("end user") << false;
        QTest::newRow("manufacturing") << true;
    }

    void roundTrip()
    {
        QFETCH(bool, manufacturing);
        AppSettings written;
        written.position = QPoint(-40, 1300);
        written.currentTabIndex = 2;
        written.lastConnectedSerialNumber = QStringLiteral("98765432");
        written.firmwarePath = QStringLiteral("/srv/firmware dir");
        written.deviceNamePref = QStringLiteral("LAB-7");
        written.Write();
        QVERIFY2(QFile::exists(storeFile()), "per-user store of Velto / Velto Trivo-Setup");

        const AppSettings read = AppSettings::Read(manufacturing);
        QCOMPARE(read.position, written.position);
        QCOMPARE(read.currentTabIndex, written.currentTabIndex);
        QCOMPARE(read.lastConnectedSerialNumber, written.lastConnectedSerialNumber);
        QCOMPARE(read.firmwarePath, written.firmwarePath);
        QCOMPARE(read.deviceNamePref, manufacturing ? written.deviceNamePref : QString());
    }
};

QTEST_APPLESS_MAIN(TestAppSettings)
#include "tst_app_settings.moc"
