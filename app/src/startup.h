#pragma once

#include <QString>
#include <functional>

class QWidget;

// Time a second instance waits for the first to take its message.
constexpr int kInstanceMessageTimeoutMs = 5000;

// Everything of main after the command line: application object and identity,
// the single-instance guard, the main window and the event loop. makeWindow is
// called only in the first instance; the window shows itself. A null window ends
// the program at once with exit code 0. SIGTERM, SIGINT and SIGHUP close the window as the
// user's close does (its clean-up runs) and end the program with exit code 0.
int RunApplication(int argc, char **argv, std::function<QWidget *()> makeWindow);

// Whether an instance already runs for this user, without raising its window:
// prints one line and returns 0 when it does, 1 when it does not.
int ReportRunningInstance(int argc, char **argv);

// The same with an explicit instance key instead of the one for this user.
int RunApplication(
    int argc, char **argv, std::function<QWidget *()> makeWindow, const QString &instanceKey);
