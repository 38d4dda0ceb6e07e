// The window on a 1366 × 768 screen: a stored position is kept only when the whole window
// fits; otherwise the window moves (its size stays) so that all of it is on the screen.
// File > Quit closes it like the close button.
#include "app_settings.h"
#include "discover_thread.h"
#include "main_window.h"
#include "window_placement.h"

#include <QAction>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

class TstWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        DiscoverThread::setTimeScaleForTesting(0.01);
        MainWindow::setPortListerForTesting([](QStringList &paths) {
            paths.clear();
            return true;
        });
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1366, 768));
    }

    void storedPosition_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<bool>("kept");
        QTest::newRow("default (200, 200) runs off the bottom") << QPoint(200, 200) << false;
        QTest::newRow("far off screen") << QPoint(5000, 5000) << false;
        QTest::newRow("above and left of the screen") << QPoint(-300, -40) << false;
        QTest::newRow("fits") << QPoint(100, 40) << true;
    }

    void storedPosition()
    {
        QFETCH(QPoint, stored);
        QFETCH(bool, kept);
        AppSettings settings;
        settings.position = stored;
        settings.Write();

        MainWindow window;
        const QSize size = window.size();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(QRect(window.pos(), size)),
            qPrintable(
                QStringLiteral("window at %1,%2").arg(window.pos().x()).arg(window.pos().y())));
        QCOMPARE(window.pos() == stored, kept);
        QCOMPARE(window.size(), size); // moved, never resized

        // File > Quit (Ctrl+Q) closes as the window's close does: the settings get written.
        window.show();
        QAction *quit = nullptr;
        for (QAction *action : window.Actions())
            quit = action->text() == "&Quit" ? action : quit;
        QVERIFY(quit && quit->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Q)));
        quit->trigger();
        QVERIFY(!window.isVisible());
        QCOMPARE(AppSettings::Read(false).position, window.pos());
    }

    void pointerPicksTheScreen()
    {
        const QList<QRect> screens { QRect(0, 0, 1366, 768), QRect(1366, 0, 1920, 1080) };
        const QSize frame(717, 630);
        QCOMPARE(FittedWindowPosition(QPoint(5000, 5000), frame, screens, QPoint(2000, 500)),
            QPoint(1366 + (1920 - 717) / 2, (1080 - 630) / 2));
        QCOMPARE(FittedWindowPosition(QPoint(5000, 5000), frame, screens, QPoint(-50, -50)),
            QPoint((1366 - 717) / 2, (768 - 630) / 2));
        // A window larger than every screen goes to the top-left corner of the chosen one.
        QCOMPARE(FittedWindowPosition(QPoint(10, 10), QSize(2000, 900), screens, QPoint(10, 10)),
            QPoint(0, 0));
    }
};

QTEST_MAIN(TstWindowPlacement)
#include "tst_window_placement.moc"
