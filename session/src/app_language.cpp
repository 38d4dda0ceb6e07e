#include "app_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

namespace {
Q_LOGGING_CATEGORY(lcLanguage, "trivo.language", QtInfoMsg)

bool install(QCoreApplication &app, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(), name, QStringLiteral("_"), directory)) {
        delete translator;
        return false;
    }
    qCDebug(lcLanguage).noquote() << "loaded" << translator->filePath();
    return QCoreApplication::installTranslator(translator);
}
} // namespace

bool InstallTranslations(QCoreApplication &app)
{
    install(app, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return install(app, QStringLiteral("trivo"), QStringLiteral(":/i18n"));
}
