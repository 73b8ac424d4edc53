#include "cli/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

// The English file holds only the plural forms of the source texts, so it is
// also the fallback for any other language. Qt's own texts (file errors)
// come from Qt's translations when they are installed, for Spanish alone:
// English needs none, and another language's would mix with our English.
void InstallClientTranslations()
{
    static QTranslator client;
    static QTranslator qt;
    if (!client.load(QLocale::system(), QStringLiteral("veltra8-cli"), QStringLiteral("_"), QStringLiteral(":/i18n"))
        && !client.load(QStringLiteral(":/i18n/veltra8-cli_en")))
        return;
    if (client.language() != QLatin1String("en")
        && qt.load(QStringLiteral("qtbase_") + client.language(), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
    // Installed last, so searched first: the parser's texts read the same
    // with or without Qt's translations.
    QCoreApplication::installTranslator(&client);
}
