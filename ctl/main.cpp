#include "trivoctl.h"

#include "app_language.h"

#include <QCoreApplication>

// The tool's texts follow the system locale from the moment its application object exists.
static void LoadTranslations()
{
    InstallTranslations(*QCoreApplication::instance());
}
Q_COREAPP_STARTUP_FUNCTION(LoadTranslations)

int main(int argc, char **argv)
{
    return TrivoctlMain(argc, argv);
}
