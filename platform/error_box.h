#pragma once
// The windows' side of failure reporting: the standard error box (error
// icon, one OK button, the application title) and the plain hint box.
#include <QString>

class QWidget;

namespace Application {

// Makes the standard error box the display of every reported failure.
// Called once at start-up by the windows.
void InstallErrorBox();

// A plain box with the title and one OK button, no icon.
void ShowHint(QWidget* parent, const QString& text);

}  // namespace Application
