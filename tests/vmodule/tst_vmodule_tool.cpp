// The trivo-vmodule executable: options, configuration file, links, clean exit on signals.
#include "vmodule_rig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <csignal>

class TestVmoduleTool : public QObject
{
    Q_OBJECT

    QString mTool;

private slots:
    void initTestCase()
    {
        mTool = qEnvironmentVariable("TRIVO_BINARY_DIR") + "/tools/vmodule/trivo-vmodule";
        QVERIFY2(QFileInfo(mTool).isExecutable(), qPrintable(mTool));
    }

    void helpDocumentsEveryKey()
    {
        QProcess p;
        p.start(mTool, { "--help" });
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const QString help = QString::fromUtf8(p.readAllStandardOutput());
        for (const char *option : { "--dir", "--module", "--config", "--log", "--help" })
            QVERIFY2(help.contains(option), option);
        for (const VmConfigKey &k : vmConfigKeys())
            QVERIFY2(help.contains("  " + k.key + " ") && help.contains(k.help), qPrintable(k.key));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no directory") << QStringList { "--module", "name=a" };
        QTest::newRow("no module") << QStringList { "--dir", "DIR" };
        QTest::newRow("unknown key") << QStringList { "--dir", "DIR", "--module", "colour=blue" };
        QTest::newRow("bad number") << QStringList { "--dir", "DIR", "--module", "protocol=3" };
        QTest::newRow("bad address") << QStringList { "--dir", "DIR", "--module", "lan0.ip=1.2.3" };
        QTest::newRow("bad outcome") << QStringList { "--dir", "DIR", "--module", "dhcp=maybe" };
        QTest::newRow("missing config file")
            << QStringList { "--dir", "DIR", "--config", "/nonexistent" };
    }

    void badArguments()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        args.replaceInStrings("DIR", dir.filePath("ports"));
        QProcess p;
        p.start(mTool, args);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(!p.readAllStandardError().isEmpty());
        QVERIFY(QDir(dir.filePath("ports")).isEmpty());
    }

    // Modules from options or from a configuration file; a port opened through a link talks
    // to its module; either signal removes the links and ends the program cleanly.
    void runsUntilSignalled_data()
    {
        QTest::addColumn<QStringList>("modules");
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("sysName");
        QTest::newRow("options, SIGTERM")
            << QStringList { "--module", "name=rx,product=DECODER10G2,sysname=Rx One", "--module",
                   "name=router,product=ROUTER-16X16" }
            << int(SIGTERM) << "Rx One";
        QTest::newRow("file, SIGINT")
            << QStringList { "--config", "INI" } << int(SIGINT) << "Rx, Two";
    }
    void runsUntilSignalled()
    {
        QFETCH(QStringList, modules);
        QFETCH(int, signal);
        QFETCH(QString, sysName);
        QTemporaryDir dir;
        const QString ports = dir.filePath("ports");
        const QString log = dir.filePath("requests.log");
        const QString ini = dir.filePath("modules.ini");
        QVERIFY(writeTestFile(ini,
            "[rx]\nproduct=DECODER10G2\nsysname=\"Rx, Two\"\nlan1.ip=10.9.8.7\n"
            "[router]\nproduct=ROUTER-16X16\nprotocol=1\n"));
        QProcess p;
        p.start(mTool,
            QStringList { "--dir", ports, "--log", log } + modules.replaceInStrings("INI", ini));
        QVERIFY(p.waitForStarted(3000));
        QVERIFY(waitFor([&] { return QDir(ports).entryList(QDir::System).size() == 2; }, 3000));
        QVERIFY(QFileInfo(ports + "/router").isSymLink());

        // The program's side: a port opened through the link talks to the module.
        {
            StubAppIF app;
            auto *serial = new CPosixSerialIF;
            CCmdEngine engine(serial, nullptr, &app, kBoardIdUnknown);
            QVERIFY(serial->OpenDevicePath(ports + "/rx"));
            QCOMPARE(engine.ConnectModule(), eConnectOK);
            QString name;
            QCOMPARE(engine.GetModuleName(name), eResultOK);
            QCOMPARE(name, sysName);
        }

        ::kill(pid_t(p.processId()), signal);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QDir(ports).entryList(QDir::System | QDir::NoDotAndDotDot).isEmpty());

        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains("rx\tHWDY\t\t2\n"));
        QVERIFY(text.contains("rx\tPGID\t0x00000108\t\n"));
        QVERIFY(!text.contains("router\t"));

        if (!modules.contains("--config"))
            return;
        // The file's other values as the library reads them.
        QList<VmConfig> configs;
        QString error;
        QVERIFY2(vmLoadConfigFile(ini, configs, &error), qPrintable(error));
        QCOMPARE(configs.size(), 2);
        const bool rxFirst = configs[0].name == "rx";
        QCOMPARE(configs[rxFirst ? 0 : 1].lan[1].ip, QString("10.9.8.7"));
        QCOMPARE(configs[rxFirst ? 1 : 0].protocolVersion, 1u);
    }
};

QTEST_MAIN(TestVmoduleTool)
#include "tst_vmodule_tool.moc"
