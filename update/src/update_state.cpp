#include "update_state.h"

#include <QCoreApplication>

QString GetUpdateResultText(int result)
{
    static const char *const kTexts[] = {
        QT_TRANSLATE_NOOP("MainWindow", "Update succeeded"),
        QT_TRANSLATE_NOOP("MainWindow", "Uploading unavailable"),
        QT_TRANSLATE_NOOP("MainWindow", "Invalid firmware file"),
        QT_TRANSLATE_NOOP("MainWindow", "File transfer failed"),
        QT_TRANSLATE_NOOP("MainWindow", "Image verification failed"),
        QT_TRANSLATE_NOOP("MainWindow", "Firmware image is for a different product"),
        QT_TRANSLATE_NOOP("MainWindow", "No firmware image found.  Did you upload anything yet?"),
        QT_TRANSLATE_NOOP("MainWindow", "Firmware image is too large"),
        QT_TRANSLATE_NOOP("MainWindow", "Firmware image checksum failed"),
        QT_TRANSLATE_NOOP("MainWindow", "Firmware image digital signature check failed"),
        QT_TRANSLATE_NOOP("MainWindow", "Image commit failed"),
        QT_TRANSLATE_NOOP("MainWindow", "Could not reboot module"),
        QT_TRANSLATE_NOOP("MainWindow", "Could not reconnect with module"),
        QT_TRANSLATE_NOOP("MainWindow", "Module not connected"),
        QT_TRANSLATE_NOOP("MainWindow", "Update aborted"),
    };
    const bool known = result >= 0 && result < int(sizeof kTexts / sizeof kTexts[0]);
    return QCoreApplication::translate(
        "MainWindow", known ? kTexts[result] : QT_TRANSLATE_NOOP("MainWindow", "Unknown error"));
}
