#include "cli/language.h"

#include "platform/translations.h"

void InstallClientTranslations()
{
    InstallProgramTranslations(QStringLiteral("veltra8-cli"));
}
