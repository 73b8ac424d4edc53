#pragma once
// Messages and help in the user's language, for veltra8-cli and for the
// drawing program whose messages it passes on as its own: both load the
// same translations, built into each program.

// Spanish for a Spanish session (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), else
// English. Call once, after the application object exists.
void InstallClientTranslations();
