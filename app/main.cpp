#include "command_line.h"
#include "startup.h"

#include "app_if.h"

#include <cstdio>

int main(int argc, char **argv)
{
    const CommandLineResult commandLine = ParseCommandLine(argc, argv);
    if (commandLine.exit) {
        std::fputs(commandLine.output.c_str(), stdout);
        return commandLine.exitCode;
    }
    SetStartMode(commandLine.startMode);
    // The main window joins here once it exists; until then the program only
    // runs the single-instance check.
    return RunApplication(argc, argv, []() -> QWidget * { return nullptr; });
}
