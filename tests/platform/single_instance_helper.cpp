// Runs the start-up path with a given instance key, for the single-instance tests.
//   single_instance_helper <key>
// As first instance it shows a minimised probe window, prints "ready", and when
// the window is brought back from the minimised state prints "activated" and ends;
// a close of the window prints "closed".
// As a later instance the window is never made and the exit code is the start-up's.

#include "startup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
class ProbeWindow : public QWidget
{
protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::WindowStateChange && !isMinimized() && !mActivated) {
            mActivated = true;
            std::puts("activated");
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        QWidget::changeEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        std::puts("closed");
        std::fflush(stdout);
        QWidget::closeEvent(event);
    }

private:
    bool mActivated = false;
};
} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 3;
    const QString key = QString::fromLocal8Bit(argv[1]);
    return RunApplication(
        argc, argv,
        [] {
            auto *window = new ProbeWindow;
            window->showMinimized();
            std::puts("ready");
            std::fflush(stdout);
            return window;
        },
        key);
}
