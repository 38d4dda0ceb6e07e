#include "event_dumper.h"
#include "trivo_about.h"
#include "velto_combo_box.h"

#include "log_capture.h"
#include "url_sink.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

class TestAppWidgets : public QObject
{
    Q_OBJECT

private slots:
    void aboutBox()
    {
        TrivoAbout about(nullptr, QIcon(":/media/images/icon.png"), "About Trivo-Setup",
            TrivoAbout::BodyText("v1.2.3.4"));
        QCOMPARE(about.size(), QSize(440, 280));
        QCOMPARE(about.minimumSize(), QSize(440, 280));
        about.resize(200, 100);
        QCOMPARE(about.size(), QSize(440, 280));

        QVERIFY(about.browser()->openExternalLinks());

        // The link button opens the product page.
        UrlSink sink;
        QDesktopServices::setUrlHandler("https", &sink, "open");
        about.show();
        QTest::mouseClick(about.linkButton(), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(sink.urls, QList<QUrl> { TrivoAbout::ProductPageUrl() });
        QVERIFY(TrivoAbout::ProductPageUrl().isValid());
    }

    void aboutBody_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("heading");
        QTest::newRow("known") << "v2.4.3.54"
                               << "Velto Trivo-Setup v2.4.3.54";
        QTest::newRow("markup escaped") << "v1<b>"
                                        << "Velto Trivo-Setup v1<b>";
    }

    void aboutBody()
    {
        QFETCH(QString, version);
        QFETCH(QString, heading);
        QTextDocument doc;
        doc.setHtml(TrivoAbout::BodyText(version));
        const QString text = doc.toPlainText();
        QVERIFY2(text.startsWith(heading), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Using Qt Version: %1").arg(qVersion())));
        QVERIFY(text.contains("LGPLv3")); // the toolkit's licence must be named
    }

    void comboDelegateInstalledOnFirstPaint()
    {
        VeltoComboBox combo;
        combo.addItems({ "DHCP", "Static" });
        QVERIFY(!combo.delegateInstalled());
        combo.grab();
        QVERIFY(combo.delegateInstalled());
        auto *delegate = qobject_cast<QStyledItemDelegate *>(combo.itemDelegate());
        QVERIFY(delegate != nullptr);
        combo.grab();
        QCOMPARE(combo.itemDelegate(), delegate);
    }

    // The label follows the widget's palette, focused or not, so a dark desktop
    // palette never gets black text and a light one never white text.
    void comboLabelUsesPalette_data()
    {
        QTest::addColumn<bool>("focused");
        QTest::newRow("unfocused") << false;
        QTest::newRow("focused") << true;
    }

    void comboLabelUsesPalette()
    {
        QFETCH(bool, focused);
        const QColor textColour(255, 0, 0);
        QPalette pal;
        pal.setColor(QPalette::Button, QColor(0, 0, 96));
        pal.setColor(QPalette::Window, QColor(0, 0, 96));
        pal.setColor(QPalette::ButtonText, textColour);
        pal.setColor(QPalette::Text, textColour);
        pal.setColor(QPalette::WindowText, textColour);

        VeltoComboBox combo;
        combo.setPalette(pal);
        combo.addItem("WWWWWWWW");
        combo.resize(220, 32);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        if (focused) {
            combo.activateWindow();
            combo.setFocus();
            QTRY_VERIFY(combo.hasFocus());
        }
        const QImage image = combo.grab().toImage();
        int textPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                textPixels += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        QVERIFY2(textPixels > 20, qPrintable(QString::number(textPixels)));
    }

    void eventDumperLogsPressesAndPassesEvents()
    {
        QLoggingCategory::setFilterRules("trivo.*=true");
        LogCapture log;
        QLineEdit edit;
        CEventDumper dumper;
        edit.installEventFilter(&dumper);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));

        QTest::keyClick(&edit, Qt::Key_A);
        QTest::mouseClick(&edit, Qt::LeftButton);
        QLoggingCategory::setFilterRules(QString());

        QCOMPARE(edit.text(), QStringLiteral("a")); // the key still reached the widget
        QCOMPARE(log.count("Received key press event:"), 1); // press only, not release
        QCOMPARE(log.count("Received mouse event:"), 1);
    }
};

QTEST_MAIN(TestAppWidgets)
#include "tst_app_widgets.moc"
