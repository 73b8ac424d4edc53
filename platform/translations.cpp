#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void InstallProgramTranslations(const QString& program)
{
    static QTranslator own;
    static QTranslator qt;
    if (!own.load(QLocale::system(), program, QStringLiteral("_"), QStringLiteral(":/i18n"))
        && !own.load(QStringLiteral(":/i18n/") + program + QStringLiteral("_en")))
        return;
    if (own.language() != QLatin1String("en")
        && qt.load(QStringLiteral("qtbase_") + own.language(), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
    // Installed last, so searched first: the parser's texts read the same
    // with or without Qt's translations.
    QCoreApplication::installTranslator(&own);
}
