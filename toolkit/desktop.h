#pragma once
// The windows' side of the application object: the program's name on the
// desktop, the standard error box (error icon, one OK button, the
// application title) and the plain hint box.
#include <QString>

class QWidget;

namespace Application {

// Names the program to the platform, once the application object exists:
// the title as its name, and an empty display name. Title bars then show each
// window's caption exactly, and nothing for a window without one; a display
// name would be appended to every caption and stand in for an empty one.
void NameTheProgram();

// Makes the standard error box the display of every reported failure.
// Called once at start-up by the windows.
void InstallErrorBox();

// A plain box with the title and one OK button, no icon.
void ShowHint(QWidget* parent, const QString& text);

}  // namespace Application
