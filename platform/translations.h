#pragma once
// A program's messages in the user's language: Spanish for a Spanish session
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), else English. Each program builds its
// own translations into its resources as ":/i18n/<program>_<lang>.qm"; the
// English file holds only the plural forms of the source texts, so it is also
// the fallback for any other language. Qt's own texts (file errors) come from
// Qt's translations when they are installed, for Spanish alone: English needs
// none, and another language's would mix with our English.

#include <QString>

// Call once, after the application object exists.
void InstallProgramTranslations(const QString& program);
