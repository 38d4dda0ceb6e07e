// The window in German (the test runs under LANG=de_DE.UTF-8): status texts, menu titles and
// page texts come from the embedded catalogue, standard buttons from Qt's own.
#include "app_language.h"
#include "device_page.h"
#include "main_window.h"
#include "module_rack.h"
#include "window_fixture.h"

#include <QLabel>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>

class TstWindowLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QLocale().language(), QLocale::German);
        QVERIFY(InstallTranslations(*QCoreApplication::instance()));
        WindowFixture::setUp();
    }

    void cleanup() { mFixture.close(); }

    void connectedWindowSpeaksGerman()
    {
        ModuleRack rack;
        VirtualModule *module = rack.add("a", "RECORDER", "Studio A", "AB12");
        START_WINDOW(window, { module->linkPath() });
        QCOMPARE(window->StatusText(), QString("Mit dem Modul verbunden"));

        QStringList menus;
        for (const QAction *action : window->menuBar()->actions()) {
            if (!action->isSeparator())
                menus << action->text();
        }
        QCOMPARE(menus, QStringList({ "&Datei", "&Bearbeiten", "&Hilfe" }));

        const QTabWidget *tabs = window->CurrentPage()->groupBox();
        QCOMPARE(tabs->tabText(0), QString("Netzwerk"));
        QTRY_VERIFY(window->CurrentPage()->imageSerialNumberLabel()->text().contains("  SN: AB12"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Abbrechen"));
    }

    void noModuleStatusInGerman()
    {
        START_WINDOW(window, {});
        QCOMPARE(window->StatusText(), QString("Keine Velto-Trivo-Geräte gefunden."));
        QCOMPARE(window->CurrentPage()->imageSerialNumberLabel()->text(), QString("Kein Gerät"));
    }

private:
    WindowFixture mFixture;
};

QTEST_MAIN(TstWindowLanguage)
#include "tst_window_language.moc"
