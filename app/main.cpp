#include "command_line.h"
#include "main_window.h"
#include "startup.h"

#include "app_if.h"
#include "app_language.h"

#include <QCoreApplication>
#include <cstdio>

// The window's texts follow the system locale from the moment its application object exists.
static void LoadTranslations()
{
    InstallTranslations(*QCoreApplication::instance());
}
Q_COREAPP_STARTUP_FUNCTION(LoadTranslations)

int main(int argc, char **argv)
{
    const CommandLineResult commandLine = ParseCommandLine(argc, argv);
    if (commandLine.exit) {
        std::fputs(commandLine.output.c_str(), stdout);
        return commandLine.exitCode;
    }
    if (commandLine.checkRunning)
        return ReportRunningInstance(argc, argv);
    SetStartMode(commandLine.startMode);
    return RunApplication(argc, argv, []() -> QWidget * { return new MainWindow; });
}
