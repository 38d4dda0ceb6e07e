// The network controls' shared rules: cleaning and checking what the user typed, the
// confirmation text, and the only web addresses a module may make the program open.
#include "cmd_engine.h"
#include "network_rules.h"

#include <QtTest>

using NetworkRules::LanRequest;

class TstNetworkRules : public QObject
{
    Q_OBJECT

private slots:
    void checkLanRequest_data()
    {
        QTest::addColumn<int>("netIf");
        QTest::addColumn<QStringList>("typed"); // IP, mask, gateway; "DHCP" first for DHCP
        QTest::addColumn<QString>("title"); // box title, empty when the request passes
        QTest::addColumn<QString>("text"); // box text, or the applied values joined by '|'
        const QString ipTitle = "Bogus IP Address";
        const QString maskTitle = "Bogus Subnet Mask";
        const QString tbd = "To be determined by DHCP";
        QTest::newRow("leading zeros cleaned")
            << 0 << QStringList { "192.168.001.010", "255.255.255.000", "192.168.001.001" }
            << QString() << "192.168.1.10|255.255.255.0|192.168.1.1";
        QTest::newRow("blanks of the address mask")
            << 1 << QStringList { "10.1  .20 .3  ", "255.0  .0  .0  ", "" } << QString()
            << "10.1.20.3|255.0.0.0|";
        QTest::newRow("all zeros refused as typed")
            << 0 << QStringList { "000.000.000.000", "255.255.255.0", "10.0.0.1" } << ipTitle
            << "Invalid IP Address:\n\n000.000.000.000";
        QTest::newRow("broadcast refused")
            << 0 << QStringList { "255.255.255.255", "255.255.255.0", "10.0.0.1" } << ipTitle
            << "Invalid IP Address:\n\n255.255.255.255";
        QTest::newRow("mask empty") << 0 << QStringList { "10.0.0.2", "", "10.0.0.1" } << maskTitle
                                    << "Invalid subnet mask:\n\n";
        QTest::newRow("mask all ones")
            << 0 << QStringList { "10.0.0.2", "255.255.255.255", "10.0.0.1" } << maskTitle
            << "Invalid subnet mask:\n\n255.255.255.255";
        QTest::newRow("mask zero") << 0 << QStringList { "10.0.0.2", "0.0.0.0", "10.0.0.1" }
                                   << maskTitle << "Invalid subnet mask:\n\n0.0.0.0";
        QTest::newRow("mask partly matching")
            << 0 << QStringList { "10.0.0.2", "255.255.255.12", "10.0.0.1" } << maskTitle
            << "Incomplete subnet mask:\n\n255.255.255.12";
        QTest::newRow("mask /1") << 0 << QStringList { "10.0.0.2", "128.0.0.0", "10.0.0.1" }
                                 << QString() << "10.0.0.2|128.0.0.0|10.0.0.1";
        QTest::newRow("no gateway on the control LAN")
            << 0 << QStringList { "10.0.0.2", "255.0.0.0", "" } << "Bogus Gateway Address"
            << "Invalid gateway address:\n\n";
        QTest::newRow("no gateway on media LAN 2")
            << 2 << QStringList { "10.0.0.2", "255.0.0.0", "" } << QString()
            << "10.0.0.2|255.0.0.0|";
        QTest::newRow("DHCP runs no checks")
            << 0 << QStringList { "DHCP", "x", "", "" } << "" << tbd + "|" + tbd + "|" + tbd;
    }

    void checkLanRequest()
    {
        QFETCH(int, netIf);
        QFETCH(QStringList, typed);
        QFETCH(QString, title);
        QFETCH(QString, text);
        LanRequest request;
        request.netIf = netIf;
        request.dhcp = typed.first() == "DHCP";
        if (request.dhcp)
            typed.removeFirst();
        request.ip = typed[0];
        request.mask = typed[1];
        request.gateway = typed[2];
        const NetworkRules::LanCheck check = NetworkRules::CheckLanRequest(request);
        QCOMPARE(check.refusal.title, title);
        if (check.ok()) {
            const NetworkRules::LanChange &change = check.change;
            QCOMPARE(QStringList({ change.ip, change.mask, change.gateway }).join('|'), text);
            QCOMPARE(change.dhcp, request.dhcp);
        } else {
            QVERIFY(check.refusal.warning);
            QCOMPARE(check.refusal.text, text);
        }
    }

    void confirmationText_data()
    {
        QTest::addColumn<int>("netIf");
        QTest::addColumn<bool>("dhcp");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("text");
        QTest::newRow("media LAN, DHCP")
            << 1 << true << QString()
            << "Change the RX-25G Media LAN to the following:\n\nAddress Type: DHCP\n"
               "IP Address: To be determined by DHCP\nNetmask: To be determined by DHCP\n"
               "Gateway: To be determined by DHCP";
        QTest::newRow("25G media LAN 2 with speed")
            << 2 << false << "25G FEC108"
            << "Change the RX-25G Media 2 LAN to the following:\n\nAddress Type: Static\n"
               "IP Address: 10.0.0.2\nNetmask: 255.0.0.0\nGateway: 10.0.0.1\nSpeed: 25G FEC108";
    }

    void confirmationText()
    {
        QFETCH(int, netIf);
        QFETCH(bool, dhcp);
        QFETCH(QString, speed);
        QFETCH(QString, text);
        LanRequest request { netIf, dhcp, "10.0.0.2", "255.0.0.0", "10.0.0.1", speed };
        const NetworkRules::LanCheck check = NetworkRules::CheckLanRequest(request);
        QVERIFY(check.ok());
        QCOMPARE(NetworkRules::ConfirmationText("RX-25G", netIf, check.change), text);
    }

    void webPageUrl_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("url"); // empty: nothing is opened
        // Addresses, none, files and paths: tst_window_network, through the window.
        QTest::newRow("port after address") << "10.0.0.1:8080" << QString();
        QTest::newRow("other host") << "evil.example" << QString();
        QTest::newRow("out of range") << "10.0.0.256" << QString();
        QTest::newRow("blank before") << " 10.0.0.1" << QString();
    }

    void webPageUrl()
    {
        QFETCH(QString, reported);
        QFETCH(QString, url);
        QCOMPARE(NetworkRules::WebPageUrl(reported), url);
    }
};

QTEST_GUILESS_MAIN(TstNetworkRules)
#include "tst_network_rules.moc"
