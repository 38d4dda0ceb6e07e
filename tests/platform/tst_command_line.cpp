#include "command_line.h"

#include <QStringList>
#include <QtTest>

namespace {
const std::string kUsage = "usage:  trivoconfig [switches]\n"
                           "  -m             Manufacturing mode\n"
                           "  -u             End user mode\n"
                           "  -r             Only say whether it already runs for this user\n"
                           "  -h -?          help\n"
                           "\n";

std::vector<std::string> ToArgs(const QStringList &list)
{
    std::vector<std::string> args;
    for (const QString &s : list)
        args.push_back(s.toStdString());
    return args;
}
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("startMode");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // printed before the usage text

        const QString none;
        QTest::newRow("no arguments") << QStringList {} << 0 << false << 0 << none;
        QTest::newRow("-m") << QStringList { "-m" } << 1 << false << 0 << none;
        QTest::newRow("-u") << QStringList { "-u" } << 0 << false << 0 << none;
        QTest::newRow("-m then -u") << QStringList { "-m", "-u" } << 0 << false << 0 << none;
        QTest::newRow("-u then -m") << QStringList { "-u", "-m" } << 1 << false << 0 << none;
        QTest::newRow("-m then -U") << QStringList { "-m", "-U" } << 0 << false << 0 << none;
        QTest::newRow("second letter only")
            << QStringList { "-manufacture" } << 1 << false << 0 << none;
        QTest::newRow("-psn ignored")
            << QStringList { "-m", "-psn_0_123" } << 1 << false << 0 << none;
        QTest::newRow("launcher switch and value") << QStringList { "-NSDocumentRevisionsDebugMode",
            "YES", "-m" } << 1 << false << 0 << none;
        QTest::newRow("launcher switch last")
            << QStringList { "-m", "-NSDocumentRevisionsDebugMode" } << 1 << false << 0 << none;

        QTest::newRow("-h") << QStringList { "-h" } << 0 << true << 0 << none;
        QTest::newRow("-?") << QStringList { "-?" } << 0 << true << 0 << none;
        QTest::newRow("help after -m") << QStringList { "-m", "-h" } << 1 << true << 0 << none;
        QTest::newRow("help before bad") << QStringList { "-h", "bad" } << 0 << true << 0 << none;

        QTest::newRow("-x") << QStringList { "-x" } << 0 << true << kExitBadUsage
                            << "Error: Invalid switch x";
        QTest::newRow("-P is not -p")
            << QStringList { "-P" } << 0 << true << kExitBadUsage << "Error: Invalid switch P";
        QTest::newRow("launcher switch prefix only")
            << QStringList { "-NSDocumentRevisionsDebugModeX" } << 0 << true << kExitBadUsage
            << "Error: Invalid switch N";
        QTest::newRow("lone hyphen")
            << QStringList { "-" } << 0 << true << kExitBadUsage << "Error: Invalid switch ";
        QTest::newRow("invalid before help") << QStringList { "-x", "-h" } << 0 << true
                                             << kExitBadUsage << "Error: Invalid switch x";
        QTest::newRow("no hyphen")
            << QStringList { "m" } << 0 << true << kExitBadUsage << "error: bad parameter m\n";
        QTest::newRow("empty argument")
            << QStringList { "-m", "" } << 1 << true << kExitBadUsage << "error: bad parameter \n";
    }

    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, startMode);
        QFETCH(bool, exits);
        QFETCH(int, exitCode);
        QFETCH(QString, message);

        const CommandLineResult r = ParseCommandLine(ToArgs(args));
        QCOMPARE(r.exit, exits);
        if (exits) {
            QCOMPARE(r.exitCode, exitCode);
            QCOMPARE(QString::fromStdString(r.output), message + QString::fromStdString(kUsage));
        } else {
            QCOMPARE(r.startMode, startMode);
            QVERIFY(r.output.empty());
        }
    }

    // -r starts nothing; the mode switches around it still count.
    void checkRunningSwitch()
    {
        QVERIFY(!ParseCommandLine(ToArgs({ "-m" })).checkRunning);
        const CommandLineResult r = ParseCommandLine(ToArgs({ "-m", "-running" }));
        QVERIFY(!r.exit);
        QVERIFY(r.checkRunning);
        QCOMPARE(r.startMode, 1);
    }

    // main hands over argc/argv: the program name must not be read as a parameter.
    void skipsProgramName()
    {
        char prog[] = "trivoconfig";
        char sw[] = "-m";
        char *argv[] = { prog, sw, nullptr };
        const CommandLineResult r = ParseCommandLine(2, argv);
        QVERIFY(!r.exit);
        QCOMPARE(r.startMode, 1);
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
