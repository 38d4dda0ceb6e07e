// trivoctl as a process: list (once and watching), info on both board kinds and every page
// family, the choice rules, every exit status, the commands that change modules (state read
// back from the virtual modules, nothing written when refused, what a model lacks skipped or
// refused), and the model list.
#include "module_rack.h"
#include "posix_serial_if.h"
#include "pty_pair.h"
#include "test_data.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <linux/close_range.h>
#include <unistd.h>

namespace {

constexpr int kRunTimeoutMs = 20000;

struct CtlRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

VmConfig moduleConfig(
    const QString &name, const QString &productId, const QString &sysName, const QString &serial)
{
    VmConfig config;
    config.name = name;
    config.productId = productId;
    config.sysName = sysName;
    config.serialNumber = serial;
    return config;
}

QStringList serialsOf(const QJsonArray &modules)
{
    QStringList serials;
    for (const QJsonValue &m : modules)
        serials << m.toObject().value("serial").toString();
    return serials;
}

} // namespace

class TstCtl : public QObject
{
    Q_OBJECT

    QString mTool;
    // Scale of the tool's long waits; the update test gives the rebooted modules more room
    // (its reconnection wait would be under half a second at 0.01 on a loaded machine).
    QByteArray mTimeScale = "0.01";

    QProcess *start(const QStringList &args, const QString &extraPorts,
        const QStringList &runAs = {}, QObject *parent = nullptr)
    {
        auto *p = new QProcess(parent);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TRIVO_EXTRA_PORTS", extraPorts);
        env.insert("TRIVO_TEST_TIME_SCALE", QString::fromLatin1(mTimeScale));
        p->setProcessEnvironment(env);
        // The tool must not inherit the virtual modules' pseudo-terminal masters: holding one,
        // it would never see its module unplugged.
        p->setChildProcessModifier([] { ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC); });
        if (runAs.isEmpty())
            p->start(mTool, args);
        else
            p->start(runAs.first(), runAs.mid(1) + QStringList { mTool } + args);
        return p;
    }

    CtlRun ctl(const QStringList &args, const QString &extraPorts, const QStringList &runAs = {})
    {
        std::unique_ptr<QProcess> p(start(args, extraPorts, runAs));
        CtlRun run;
        if (!p->waitForFinished(kRunTimeoutMs) || p->exitStatus() != QProcess::NormalExit) {
            p->kill();
            p->waitForFinished();
            run.err = QString::fromUtf8(p->readAllStandardError()); // what it said until then
            return run;
        }
        run.exitCode = p->exitCode();
        run.out = p->readAllStandardOutput();
        run.err = QString::fromUtf8(p->readAllStandardError());
        return run;
    }

private slots:
    void initTestCase()
    {
        mTool = qEnvironmentVariable("TRIVO_BINARY_DIR") + "/ctl/trivoctl";
        QVERIFY2(QFileInfo(mTool).isExecutable(), qPrintable(mTool));
    }

    // Both board kinds, human and JSON; a module's control characters never reach the terminal.
    void listShowsEveryModule()
    {
        ModuleRack rack;
        VirtualModule *rx = rack.add("a-rx", "DECODER10G2", "Stage Left", "1VM000007");
        VirtualModule *router = rack.add("b-router", "ROUTER-16X16", "Rack\x1b[2J 3", "1VM000042");
        const struct
        {
            VirtualModule *module;
            QString sysName, serial, productId, boardId, model;
        } expected[] = {
            { rx, "Stage Left", "1VM000007", "DECODER10G2", "0x00000304", "RX-10G2-HDMI" },
            { router, "Rack\x1b[2J 3", "1VM000042", "ROUTER-16X16", "0x00000212", "ROUTER 16x16" },
        };

        const CtlRun json = ctl({ "list", "--json" }, rack.dir());
        QCOMPARE(json.exitCode, 0);
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(json.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError); // nothing but the document
        QCOMPARE(doc.value("status").toString(), QString("ok"));
        QVERIFY(doc.value("problems").toArray().isEmpty());
        const QJsonArray modules = doc.value("modules").toArray();
        QCOMPARE(modules.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QJsonObject m = modules[i].toObject();
            QCOMPARE(m.value("port").toString(), expected[i].module->linkPath());
            QCOMPARE(m.value("name").toString(), expected[i].sysName);
            QCOMPARE(m.value("serial").toString(), expected[i].serial);
            QCOMPARE(m.value("productId").toString(), expected[i].productId);
            QCOMPARE(m.value("boardId").toString(), expected[i].boardId);
            QCOMPARE(m.value("model").toString(), expected[i].model);
        }

        const CtlRun human = ctl({ "list" }, rack.dir());
        QCOMPARE(human.exitCode, 0);
        QVERIFY(!human.out.contains('\x1b'));
        const QStringList lines = QString::fromUtf8(human.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith("PORT"), qPrintable(lines[0]));
        for (int i = 0; i < 2; ++i) {
            const QString sysName = QString(expected[i].sysName).replace('\x1b', QChar(0xFFFD));
            const QStringList cells { expected[i].module->linkPath(), sysName, expected[i].serial,
                expected[i].productId, expected[i].model };
            QCOMPARE(lines[i + 1].split(QRegularExpression("  +")), cells);
        }
    }

    void watchSeesArrivalAndRemoval()
    {
        ModuleRack rack;
        VirtualModule *first = rack.add("a", "DECODER10G2", "First", "1VM000001");
        std::unique_ptr<QProcess> watch(start({ "list", "--watch", "--json" }, rack.dir()));
        QList<QJsonObject> events;
        const auto waitFor = [&](const QString &event, const QString &serial) {
            return QTest::qWaitFor(
                [&] {
                    while (watch->canReadLine())
                        events << QJsonDocument::fromJson(watch->readLine()).object();
                    for (const QJsonObject &e : qAsConst(events)) {
                        if (e.value("event") == event && e.value("serial") == serial)
                            return true;
                    }
                    watch->waitForReadyRead(50);
                    return false;
                },
                20000);
        };
        QVERIFY(waitFor("added", "1VM000001"));
        rack.add("b", "ROUTER-16X16", "Second", "1VM000002");
        QVERIFY(waitFor("added", "1VM000002"));
        first->stop();
        QVERIFY(waitFor("removed", "1VM000001"));
        QCOMPARE(events.size(), 3); // each line one event, nothing twice
        QCOMPARE(events.last().value("port").toString(), rack.dir() + "/a");

        watch->terminate();
        QVERIFY(watch->waitForFinished(10000));
        QCOMPARE(watch->exitStatus(), QProcess::NormalExit);
        QCOMPARE(watch->exitCode(), 0);
    }

    // A stop during a probe ends the tool at once, not after the probe's time-outs.
    void interruptEndsProbe()
    {
        PtyPair silent;
        std::unique_ptr<QProcess> list(start({ "list" }, silent.path()));
        QVERIFY(list->waitForStarted());
        QTest::qWait(500);
        list->terminate();
        QVERIFY(list->waitForFinished(3000)); // a silent port alone holds a probe for 6 s
        QCOMPARE(list->exitCode(), 130);
    }

    // JSON against what the virtual module holds, on each board kind.
    void infoMatchesModule_data()
    {
        QTest::addColumn<QString>("productId");
        QTest::addColumn<int>("interfaces");
        QTest::addColumn<QString>("type");
        QTest::newRow("numeric IDs") << "DECODER10G2" << 3 << "RX-10G2-HDMI version 07";
        QTest::newRow("names") << "ROUTER-16X16" << 1 << "ROUTER 16x16";
    }

    void infoMatchesModule()
    {
        QFETCH(QString, productId);
        QFETCH(int, interfaces);
        QFETCH(QString, type);
        VmConfig config = moduleConfig("m", productId, "Edit Suite", "1VM000101");
        config.swVersion = "5.1.2";
        config.safebootVersion = "1.0.9";
        config.bootloaderVersion = "2014.01";
        config.pcbRevision = 7;
        config.safebootMode = 1;
        config.authentication = false;
        config.lan[0].ipConfig = 1; // DHCP, so the address in force differs from the static one
        config.lan[1].speedActual = "10000";
        config.lan[2].linkUp = false;
        vmCompleteConfig(config);
        ModuleRack rack;
        rack.add(config);

        const CtlRun run = ctl({ "info", "--json" }, rack.dir());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json().value("status").toString(), QString("ok"));
        const QJsonArray modules = run.json().value("modules").toArray();
        QCOMPARE(modules.size(), 1);
        const QJsonObject m = modules[0].toObject();
        QCOMPARE(m.value("status").toString(), QString("ok"));
        QCOMPARE(m.value("port").toString(), rack.dir() + "/m");
        QCOMPARE(m.value("name").toString(), config.sysName);
        QCOMPARE(m.value("serial").toString(), config.serialNumber);
        QCOMPARE(m.value("productId").toString(), productId);
        QCOMPARE(m.value("type").toString(), type);
        const QJsonObject versions = m.value("versions").toObject();
        QCOMPARE(versions.value("software").toString(), config.swVersion);
        QCOMPARE(versions.value("safeboot").toString(), config.safebootVersion);
        QCOMPARE(versions.value("bootloader").toString(), config.bootloaderVersion);
        QCOMPARE(m.value("safebootMode").toInt(), 1);
        QCOMPARE(m.value("authentication").toBool(true), false);

        const QJsonArray ifs = m.value("interfaces").toArray();
        QCOMPARE(ifs.size(), interfaces);
        const bool numeric = interfaces > 1;
        for (int i = 0; i < interfaces; ++i) {
            const VmInterface &lan = config.lan[i];
            const QJsonObject f = ifs[i].toObject();
            const bool dhcp = lan.ipConfig == 1;
            QCOMPARE(
                f.value("interface").toString(), (QStringList { "control", "media", "media2" }[i]));
            QCOMPARE(f.value("mode").toString(), QString(dhcp ? "dhcp" : "static"));
            QCOMPARE(f.value("address").toString(), dhcp ? lan.dhcpIp : lan.ip);
            QCOMPARE(f.value("mask").toString(), dhcp ? lan.dhcpMask : lan.mask);
            QCOMPARE(f.value("gateway").toString(), dhcp ? lan.dhcpGateway : lan.gateway);
            const QJsonObject staticSet = f.value("static").toObject();
            QCOMPARE(staticSet.value("address").toString(), lan.ip);
            QCOMPARE(staticSet.value("mask").toString(), lan.mask);
            QCOMPARE(staticSet.value("gateway").toString(), lan.gateway);
            QCOMPARE(f.value("mac").toString(), lan.mac);
            QCOMPARE(f.value("link").toBool(!lan.linkUp), lan.linkUp);
            QCOMPARE(f.value("speed").toString(), i > 0 ? lan.speedActual : QString());
            QCOMPARE(f.value("upnp").isBool(), numeric && i == 0);
        }
    }

    // What a module has is its model's: info reads the interfaces of the model's page,
    // whatever else the module answers for (the recorder here plays three LANs, the unknown
    // product two); --all skips a module whose model lacks what a command needs and says so,
    // a module chosen by its port is refused naming its model, and with every module skipped
    // none was found.
    void modelDecides()
    {
        const struct
        {
            const char *productId;
            QStringList titles;
        } families[] = {
            { "RECORDER-PLUS", { "Network" } },
            { "USBHUB", { "Network" } },
            { "ROUTER-16X4", { "Network" } },
            { "PRISM", { "Network" } },
            { "ENCODER-SDI", { "Control Network", "Media Network" } },
            { "CONDOR", { "Primary Network", "Secondary Network" } },
            { "ENCODER10G2-HDMI-P", { "Control LAN", "Media LAN 1", "Media LAN 2" } },
            { "QUASAR", { "Control LAN", "Media LAN 1", "Media LAN 2" } },
            { "MYSTERY-BOX", { "Network" } },
        };
        ModuleRack rack;
        for (const auto &family : families) {
            VmConfig config = moduleConfig(family.productId, family.productId, "M", "SN");
            config.lanCount = QString(family.productId) == "RECORDER-PLUS" ? 3 : -1;
            config.dhcpDelayMs = 20; // well within the scaled lease watch (300 ms)
            rack.add(config);
        }
        // The modules come in port order: each is found by its port's name.
        const auto familyOf = [&](const QJsonValue &m) {
            return std::find_if(std::begin(families), std::end(families), [&m](const auto &f) {
                return m.toObject().value("port").toString().endsWith(f.productId);
            });
        };
        CtlRun run = ctl({ "info", "--all", "--json" }, rack.dir());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QJsonArray modules = run.json().value("modules").toArray();
        QCOMPARE(modules.size(), int(std::size(families)));
        for (const QJsonValue &m : modules) {
            QStringList keys, titles;
            for (const QJsonValue &iface : m.toObject().value("interfaces").toArray()) {
                keys << iface.toObject().value("interface").toString();
                titles << iface.toObject().value("title").toString();
                QVERIFY(!iface.toObject().value("mac").toString().isEmpty());
            }
            QCOMPARE(titles, familyOf(m)->titles);
            QCOMPARE(keys, QStringList({ "control", "media", "media2" }).mid(0, titles.size()));
        }

        run = ctl({ "dhcp", "media2", "--all", "--yes", "--json" }, rack.dir());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        modules = run.json().value("modules").toArray();
        for (const QJsonValue &m : modules)
            QCOMPARE(m.toObject().value("status").toString(),
                QString(familyOf(m)->titles.size() == 3 ? "ok" : "skipped"));
        QVERIFY2(run.err.contains("PLUS: skipped, the RECORDER Plus has no media2 interface"),
            qPrintable(run.err));

        const QString recorder = rack.dir() + "/RECORDER-PLUS";
        run = ctl({ "set-network", "media2", "10.1.2.3", "255.255.0.0", "--port", recorder, "-y" },
            rack.dir());
        QCOMPARE(run.exitCode, 8);
        QVERIFY2(run.err.contains("PLUS: the RECORDER Plus has no media2 interface"),
            qPrintable(run.err));

        ModuleRack routers;
        routers.add("r", "ROUTER-16X16", "Router", "F4");
        run = ctl({ "upnp", "on", "--all" }, routers.dir());
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains("the ROUTER 16x16 has no UPnP host"), qPrintable(run.err));
    }

    // The registry as the user sees it: every model, one table row each.
    void modelsListsRegistry()
    {
        const QJsonArray models = ctl({ "models", "--json" }, QString()).json()["models"].toArray();
        QJsonObject rx25g;
        for (const QJsonValue &m : models)
            rx25g = m.toObject()["model"] == "RX-25G" ? m.toObject() : rx25g;
        QCOMPARE(rx25g["productIds"].toArray(), QJsonArray { "QUASAR" });
        QCOMPARE(rx25g["update"].toBool(true), false);
        QCOMPARE(rx25g["interfaces"].toArray().at(2).toObject()["speeds"].toArray().size(), 5);
        const CtlRun human = ctl({ "models" }, QString());
        QCOMPARE(human.exitCode, 0);
        const QString out = QString::fromUtf8(human.out);
        QCOMPARE(out.count('\n'), models.size() + 1);
        QVERIFY2(out.contains(QRegularExpression(
                     "\n0x00000212 +ROUTER 16x16 +ROUTER-16X16 +router +control +- +no +-\n")),
            qPrintable(out));
    }

    // Which modules a command works on, and the refusals of a bad command line.
    void choiceRules_data()
    {
        QTest::addColumn<int>("modules");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("serials"); // of the JSON modules array

        const QStringList none;
        QTest::newRow("none found") << 0 << QStringList { "info", "--json" } << 3 << none;
        QTest::newRow("list, none found") << 0 << QStringList { "list", "--json" } << 3 << none;
        QTest::newRow("one") << 1 << QStringList { "info", "--json" } << 0 << QStringList { "SN0" };
        QTest::newRow("several") << 2 << QStringList { "info", "--json" } << 4
                                 << QStringList { "SN0", "SN1" };
        QTest::newRow("--serial") << 3 << QStringList { "info", "--json", "--serial", "SN1" } << 0
                                  << QStringList { "SN1" };
        QTest::newRow("--serial unknown")
            << 2 << QStringList { "info", "--json", "--serial", "SN9" } << 3 << none;
        QTest::newRow("--port") << 2 << QStringList { "info", "--json", "--port", "PORT1" } << 0
                                << QStringList { "SN1" };
        QTest::newRow("--all") << 3 << QStringList { "info", "--json", "--all" } << 0
                               << QStringList { "SN0", "SN1", "SN2" };
        QTest::newRow("port does not exist")
            << 1 << QStringList { "info", "--port", "/dev/no-such-port" } << 2 << none;
        QTest::newRow("two kinds of choice")
            << 2 << QStringList { "info", "--all", "--serial", "SN1" } << 2 << none;
        QTest::newRow("unknown option") << 1 << QStringList { "list", "--bogus" } << 2 << none;
        QTest::newRow("unknown command") << 1 << QStringList { "frobnicate" } << 2 << none;
        QTest::newRow("missing argument") << 1 << QStringList { "info", "--port" } << 2 << none;
        QTest::newRow("no command") << 1 << QStringList {} << 2 << none;
        QTest::newRow("option of another command")
            << 1 << QStringList { "info", "--watch" } << 2 << none;
    }

    void choiceRules()
    {
        QFETCH(int, modules);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QStringList, serials);
        ModuleRack rack;
        for (int i = 0; i < modules; ++i) {
            rack.add(moduleConfig(QString("m%1").arg(i), i % 2 ? "ROUTER-16X16" : "DECODER10G2",
                "Module", QString("SN%1").arg(i)));
        }
        args.replaceInStrings(QRegularExpression("^PORT(\\d)$"), rack.dir() + "/m\\1");

        const CtlRun run = ctl(args, rack.dir());
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 2) {
            QVERIFY(run.out.isEmpty()); // refused before anything was sent or printed
            QVERIFY2(run.err.contains("trivoctl --help"), qPrintable(run.err));
            return;
        }
        QCOMPARE(serialsOf(run.json().value("modules").toArray()), serials);
    }

    // The commands that change one setting: the module's value afterwards, and refusals that
    // write nothing (no confirmation without a terminal, bad values, a model without it).
    void changeCommands_data()
    {
        QTest::addColumn<QString>("settings"); // of the virtual module
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("key"); // the module's value afterwards
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("request"); // a request it received ("" none written)

        const QString rx = "product=DECODER10G2";
        const QString router = "product=ROUTER-16X16";
        const QString name = "eParamID_SysName";
        QTest::newRow("set-name") << rx << QStringList { "set-name", "Stage Right" } << 0 << name
                                  << "Stage Right"
                                  << "PSID 0x00000108 Stage Right";
        QTest::newRow("set-name by names")
            << router << QStringList { "set-name", "Rack 7" } << 0 << name << "Rack 7"
            << "PSNM eParamID_SysName Rack 7";
        // As in the window: the module keeps its own name, nothing is written.
        QTest::newRow("blank name")
            << rx << QStringList { "set-name", " " } << 0 << name << "Virtual Module"
            << "";
        QTest::newRow("release-lock")
            << rx + ",update-lock=1" << QStringList { "release-lock", "--yes" } << 0 << "0x20E"
            << "0"
            << "PSID 0x00000206 8";
        QTest::newRow("upnp on") << rx << QStringList { "upnp", "on" } << 0 << "0x10D"
                                 << "1"
                                 << "PSID 0x0000010d 1";
        QTest::newRow("upnp maybe") << rx << QStringList { "upnp", "maybe" } << 8 << "0x10D"
                                    << "0"
                                    << "";
        const QString auth = "eParamID_Authentication";
        QTest::newRow("disable-auth")
            << rx << QStringList { "disable-auth", "--yes" } << 0 << auth << "0"
            << "PSNM eParamID_Authentication 0";
        QTest::newRow("disable-auth unconfirmed")
            << rx << QStringList { "disable-auth" } << 2 << auth << "1"
            << "";
        QTest::newRow("factory-reset")
            << rx << QStringList { "factory-reset", "-y" } << 0 << name << "Virtual Module"
            << "PSID 0x63010000 2";
        QTest::newRow("factory-reset unconfirmed")
            << rx << QStringList { "factory-reset" } << 2 << name << "Virtual Module"
            << "";
        const QStringList setNet { "set-network", "control", "010.001.002.003", "255.255.0.0",
            "10.1.0.1", "--yes" };
        QTest::newRow("set-network, cleaned") << rx << setNet << 0 << "0x102"
                                              << "10.1.2.3"
                                              << "PSID 0x00000104 10.1.0.1";
        QTest::newRow("set-network unconfirmed") << rx << setNet.mid(0, 5) << 2 << "0x102"
                                                 << "192.168.1.50"
                                                 << "";
        const auto badNet = [&](const char *row, const QStringList &values) {
            QTest::newRow(row) << rx
                               << QStringList { "set-network" } + values + QStringList { "--yes" }
                               << 8 << "0x102"
                               << "192.168.1.50"
                               << "";
        };
        badNet("not IPv4", { "control", "10.1.2", "255.255.0.0", "10.1.0.1" });
        badNet("mask with a hole", { "control", "10.1.2.3", "255.0.255.0", "10.1.0.1" });
        badNet("control LAN without gateway", { "control", "10.1.2.3", "255.255.0.0" });
        badNet("unknown interface", { "eth0", "10.1.2.3", "255.255.0.0", "10.1.0.1" });
        badNet("unknown speed", { "media", "10.1.2.3", "255.255.0.0", "", "40G" });
        badNet("speed on a 10G receiver", { "media", "10.1.2.3", "255.255.0.0", "", "25G" });
        QTest::newRow("speed on a 25G receiver")
            << "product=QUASAR"
            << QStringList { "set-network", "media", "10.1.2.3", "255.255.0.0", "", "25G FEC74",
                   "-y" }
            << 0 << "0x3E"
            << "25G FEC74"
            << "PSID 0x0000002b 10.1.2.3";
        QTest::newRow("dhcp") << rx << QStringList { "dhcp", "media", "--yes" } << 0
                              << "eParamID_MediaIPConfig"
                              << "1"
                              << "PSNM eParamID_MediaIPConfig 1";
        QTest::newRow("dhcp, no lease")
            << rx + ",dhcp=never" << QStringList { "dhcp", "control", "--yes" } << 7
            << "eParamID_IPConfig"
            << "1"
            << "PSNM eParamID_IPConfig 1";
    }

    void changeCommands()
    {
        QFETCH(QString, settings);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, request);
        VmConfig config = moduleConfig("m", "DECODER10G2", "Virtual Module", "1VM000201");
        config.dhcpDelayMs = 20; // well within the scaled lease watch (300 ms)
        QVERIFY(vmParseModuleSettings(settings, config, nullptr));
        ModuleRack rack;
        VirtualModule *module = rack.add(config);

        const CtlRun run = ctl(args + QStringList { "--json" }, rack.dir());
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QCOMPARE(module->peek(key), value);
        const QStringList requests = requestLines(module);
        if (request.isEmpty())
            QVERIFY2(requests.filter(QRegularExpression("^PS")).isEmpty(),
                qPrintable(requests.join('\n')));
        else
            QVERIFY2(requests.contains(request), qPrintable(requests.join('\n')));
        const QJsonObject doc = run.json();
        QVERIFY(!doc.isEmpty());
        if (exitCode == 0)
            QCOMPARE(doc.value("modules").toArray().at(0).toObject().value("status").toString(),
                QString("ok"));
        else
            QVERIFY(!run.err.isEmpty());
    }

    // Updates on several modules at once, one made to fail; a failure half-way; refusals.
    void update_data()
    {
        QTest::addColumn<QStringList>("settings"); // one virtual module each
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("statuses"); // per module
        QTest::addColumn<QString>("message");

        QTest::newRow("parallel, one fails")
            << QStringList { "", "verify=checksum", "product=ROUTER-16X16" }
            << QStringList { "--all", "--yes" } << 10
            << QStringList { "ok", "update-failed", "skipped" }
            << "Update Failed: Firmware image checksum failed";
        QTest::newRow("model without update")
            << QStringList { "product=ROUTER-16X16" } << QStringList { "--yes" } << 8
            << QStringList { "validation" }
            << "the ROUTER 16x16 cannot be updated from this program";
        QTest::newRow("unplugged half-way")
            << QStringList { "fault-unplug-after-bytes=60000" } << QStringList { "--yes" } << 9
            << QStringList { "update-failed" } << "Update Failed: File transfer failed";
        QTest::newRow("lock left set")
            << QStringList { "update-lock=1" } << QStringList { "--yes" } << 9
            << QStringList { "update-failed" } << "'trivoctl release-lock' gives the lock back.";
        QTest::newRow("unconfirmed") << QStringList { "" } << QStringList {} << 2 << QStringList {}
                                     << "needs a confirmation";
        QTest::newRow("missing file") << QStringList { "" } << QStringList { "--yes", "MISSING" }
                                      << 8 << QStringList {} << "Cannot read the firmware file";
    }

    void update()
    {
        QFETCH(QStringList, settings);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QStringList, statuses);
        QFETCH(QString, message);
        mTimeScale = "0.05";
        const auto restoreScale = qScopeGuard([this] { mTimeScale = "0.01"; });
        ModuleRack rack;
        QList<VirtualModule *> modules;
        for (int i = 0; i < settings.size(); ++i) {
            VmConfig config
                = moduleConfig(QString("m%1").arg(i), "DECODER10G2", "M", QString("UP%1").arg(i));
            config.verifyDelayMs = 100;
            config.commitMs = 300;
            config.returnDelayMs = 300;
            config.kermitTimeoutMs = 1000;
            config.newSwVersion = "3.5.0";
            QVERIFY(vmParseModuleSettings(settings[i], config, nullptr));
            modules << rack.add(config);
        }
        const QString package = rack.dir() + "/fw.vlts";
        QVERIFY(writeTestFile(package, testPayload(200 * 1024, 11)));
        const QStringList file { args.contains("MISSING") ? package + ".missing" : package };
        args.removeAll("MISSING");

        const CtlRun run = ctl(QStringList { "update", "--json" } + file + args, rack.dir());
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        const QJsonArray results = run.json().value("modules").toArray();
        QCOMPARE(results.size(), statuses.size());
        for (int i = 0; i < statuses.size(); ++i) {
            const QJsonObject m = results[i].toObject();
            QVERIFY2(m.value("status").toString() == statuses[i],
                qPrintable(m.value("message").toString()));
            const bool ok = statuses[i] == "ok";
            QCOMPARE(m.value("version").toString(), ok ? QString("3.5.0") : QString());
            QCOMPARE(modules[i]->peek("eParamID_SWVersion"), ok ? "3.5.0" : "3.4.0");
            if (!ok && statuses[i] != "skipped")
                QVERIFY(m.value("message").toString().endsWith(message));
        }
        if (statuses.isEmpty())
            QVERIFY(requestLines(modules[0]).filter("0x00000206").isEmpty());
    }

    void interruptedUpdateGivesLockBack_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("waitFor"); // the request the stop follows ("" none)
        QTest::addColumn<int>("signal"); // 0: standard output and error are a closed pipe
        const QString verifying = "verify-delay-ms=60000";
        const QString verification = "PSID 0x0000020d";
        QTest::newRow("SIGTERM") << verifying << verification << int(SIGTERM);
        QTest::newRow("SIGHUP, a dropped session") << verifying << verification << int(SIGHUP);
        QTest::newRow("SIGQUIT") << verifying << verification << int(SIGQUIT);
        QTest::newRow("waiting for the upload location") << "upload-empty-ms=600000"
                                                         << "0x0000020f" << int(SIGTERM);
        QTest::newRow("terminal gone") << verifying << "" << 0;
    }

    // A stop during the update gives the module its lock back: the next update is not refused.
    void interruptedUpdateGivesLockBack()
    {
        QFETCH(QString, settings);
        QFETCH(QString, waitFor);
        QFETCH(int, signal);
        // Unscaled: the stop has to come within the 5 s wait for the upload location.
        mTimeScale = "1";
        const auto restoreScale = qScopeGuard([this] { mTimeScale = "0.01"; });
        ModuleRack rack;
        VmConfig config = moduleConfig("m", "DECODER10G2", "M", "INT1");
        QVERIFY(vmParseModuleSettings(settings, config, nullptr));
        VirtualModule *module = rack.add(config);
        const QString package = rack.dir() + "/fw.vlts";
        QVERIFY(writeTestFile(package, testPayload(64 * 1024, 2)));
        // A pipe whose reader goes after the first line: a later write fails.
        const QStringList closedPipe { "bash", "-c", "set -o pipefail; \"$@\" 2>&1 | head -c1",
            "bash" };
        std::unique_ptr<QProcess> update(
            start({ "update", package, "--yes" }, rack.dir(), signal ? QStringList() : closedPipe));
        if (signal) {
            QVERIFY(QTest::qWaitFor(
                [&] { return !requestLines(module).filter(waitFor).isEmpty(); }, 20000));
            QCOMPARE(::kill(pid_t(update->processId()), signal), 0);
        }
        QVERIFY(update->waitForFinished(20000));
        QCOMPARE(update->exitStatus(), QProcess::NormalExit);
        QCOMPARE(update->exitCode(), 130);
        const QString said = QString::fromUtf8(update->readAllStandardError());
        QVERIFY2(!said.contains("Update succeeded"), qPrintable(said));
        // The module may still be reading the last writes.
        const auto told = [module] {
            const QStringList requests = requestLines(module);
            return requests.contains("PSID 0x0000020e 0") && requests.contains("PSID 0x00000206 8");
        };
        QVERIFY2(QTest::qWaitFor(told, 5000), qPrintable(requestLines(module).join('\n')));
    }

    // A plan is checked whole before anything is sent; a dry run writes nothing; --yes leaves
    // each module with its planned settings; modules outside the plan and rows without a
    // module are reported.
    void applyPlan()
    {
        ModuleRack rack;
        VmConfig rxConfig = moduleConfig("a", "DECODER10G2", "Old A", "PLAN1");
        rxConfig.dhcpDelayMs = 20; // well within the scaled lease watch (300 ms)
        VirtualModule *rx = rack.add(rxConfig);
        VirtualModule *router = rack.add(moduleConfig("b", "ROUTER-16X16", "Old B", "PLAN2"));
        VirtualModule *other = rack.add(moduleConfig("c", "DECODER10G2", "Other", "OTHER"));
        const QString plan = rack.dir() + "/plan.json";
        const auto writePlan
            = [&plan](const QByteArray &text) { return writeTestFile(plan, text); };
        const auto sets = [&] {
            QStringList lines;
            for (VirtualModule *m : { rx, router, other })
                lines << requestLines(m).filter(QRegularExpression("^PS"));
            return lines;
        };

        QVERIFY(writePlan(R"({"PLAN1": {"name": "A", "media": {"address": "10.0.0.300",
            "mask": "255.255.255.0"}, "eth9": {}}, "PLAN2": []})"));
        CtlRun run = ctl({ "apply", plan, "--yes", "--json" }, rack.dir());
        QCOMPARE(run.exitCode, 8);
        QCOMPARE(run.json().value("errors").toArray().size(), 3);
        for (VirtualModule *m : { rx, router, other })
            QVERIFY(requestLines(m).isEmpty());

        QVERIFY(writePlan(R"({"PLAN1": {"name": "Stage A", "control": {"dhcp": true},
            "media": {"address": "010.0.0.7", "mask": "255.255.255.0", "gateway": "10.0.0.1"}},
            "PLAN2": {"name": "Router B"}, "GONE": {"name": "x"}})"));
        run = ctl({ "apply", plan, "--json" }, rack.dir());
        QCOMPARE(run.exitCode, 10); // a row without a module
        QVERIFY2(sets().isEmpty(), qPrintable(sets().join('\n')));
        QJsonObject doc = run.json();
        QCOMPARE(doc.value("missing").toArray(), QJsonArray { "GONE" });
        QCOMPARE(serialsOf(doc.value("notInPlan").toArray()), QStringList { "OTHER" });
        const QJsonArray modules = doc.value("modules").toArray();
        QCOMPARE(serialsOf(modules), (QStringList { "PLAN1", "PLAN2" }));
        const QJsonArray changes = modules[0].toObject().value("changes").toArray();
        QCOMPARE(changes.size(), 3);
        QCOMPARE(changes[2].toObject().value("to").toString(),
            QString("static 10.0.0.7 mask 255.255.255.0 gateway 10.0.0.1"));

        run = ctl({ "apply", plan, "--yes", "--json" }, rack.dir());
        QVERIFY2(run.exitCode == 10, qPrintable(run.err));
        for (const QJsonValue &m : run.json().value("modules").toArray())
            QCOMPARE(m.toObject().value("status").toString(), QString("ok"));
        QCOMPARE(rx->peek("eParamID_SysName"), QString("Stage A"));
        QCOMPARE(rx->peek("eParamID_IPConfig"), QString("1"));
        QCOMPARE(rx->peek("eParamID_MediaIPConfig"), QString("2"));
        QCOMPARE(rx->peek("0x2B"), QString("10.0.0.7"));
        QCOMPARE(rx->peek("0x2D"), QString("10.0.0.1"));
        QCOMPARE(router->peek("eParamID_SysName"), QString("Router B"));
        QCOMPARE(other->peek("eParamID_SysName"), QString("Other"));
        QVERIFY(requestLines(other).filter(QRegularExpression("^PS")).isEmpty());

        // Applied once, the plan holds: nothing left to change.
        run = ctl({ "apply", plan, "--json" }, rack.dir());
        for (const QJsonValue &m : run.json().value("modules").toArray())
            QVERIFY(m.toObject().value("changes").toArray().isEmpty());
    }

    // Failures of ports and modules, each with its status and message.
    void failures_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        // In words, never the result code's name.
        const QString unsupported = "(the module does not support this request)";
        QTest::newRow("refused") << "refusing" << QStringList { "info", "--all" } << 7
                                 << unsupported;
        QTest::newRow("partial") << "good+refusing" << QStringList { "info", "--all" } << 10
                                 << unsupported;
        QTest::newRow("busy, info") << "busy" << QStringList { "info", "--port", "PORT" } << 6
                                    << "in use by another program";
        QTest::newRow("busy, list")
            << "busy" << QStringList { "list" } << 6 << "in use by another program";
        QTest::newRow("no permission, info")
            << "locked" << QStringList { "info", "--port", "PORT" } << 5 << "dialout";
        QTest::newRow("no permission, list") << "locked" << QStringList { "list" } << 5 << "udev";
        // Listed under problems, failing nothing beside the module found.
        QTest::newRow("silent port among modules")
            << "good+silent" << QStringList { "list", "--json" } << 0 << "no answer";
    }

    void failures()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);

        ModuleRack rack;
        QString ports = rack.dir();
        QString port;
        if (setup.startsWith("good"))
            rack.add(moduleConfig("good", "DECODER10G2", "Good", "1VM000010"));
        if (setup.endsWith("refusing")) {
            VmConfig config = moduleConfig("refusing", "DECODER10G2", "Bad", "1VM000011");
            config.faults.nackReason = "UNSUPCMD";
            config.faults.nackType = "PGNM";
            rack.add(config);
        }
        PtyPair silent;
        if (setup.endsWith("silent"))
            ports += ":" + silent.path();
        CPosixSerialIF holder;
        if (setup == "busy") {
            port = rack.add(moduleConfig("held", "DECODER10G2", "Held", "1VM000012"))->linkPath();
            QVERIFY(holder.OpenDevicePath(port));
        }
        QTemporaryDir lockedDir;
        QStringList runAs;
        if (setup == "locked") {
            // Root opens every file: run the tool as an unprivileged user then.
            if (::geteuid() == 0) {
                if (QStandardPaths::findExecutable("setpriv").isEmpty())
                    QSKIP("cannot run as an unprivileged user here");
                runAs
                    = QStringList { "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups" };
            }
            QFile::setPermissions(lockedDir.path(), QFileDevice::Permissions(0x7555));
            port = lockedDir.filePath("ttyLocked");
            QFile file(port);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::Permissions()));
            ports = port;
        }
        args.replaceInStrings("PORT", port);

        const CtlRun run = ctl(args, ports, runAs);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (setup == "good+silent")
            QCOMPARE(serialsOf(run.json().value("modules").toArray()), QStringList { "1VM000010" });
    }
};

QTEST_MAIN(TstCtl)
#include "tst_ctl.moc"
