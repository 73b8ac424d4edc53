#pragma once
// The application object's duties that the windows rely on: its title, the
// standard error box, plain hint boxes, and the guard that every handler run
// from the event loop goes through so that no exception crosses Qt's loop.
#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace Application {

// "TEMPVELTRA8C"; also the title of every message box.
QString Title();

// Names the program to the platform, once the application object exists:
// the title as its name, and an empty display name. Title bars then show each
// window's caption exactly, and nothing for a window without one; a display
// name would be appended to every caption and stand in for an empty one.
void NameTheProgram();

// The error box text: the message, plus a full stop when its last character's
// code is above that of the full stop (after a letter, a digit or a colon).
QString ExceptionText(const QString& message);

// Shows the standard error box (error icon, one OK button, the title) for the
// exception in flight or given. Never throws.
void ShowException(const std::exception& e);
void HandleException(std::exception_ptr e);

// A plain box with the title and one OK button, no icon.
void ShowHint(QWidget* parent, const QString& text);

// Tests may route error texts here instead of a modal box; pass an empty
// function to restore the box. The sink receives the full box text.
void SetExceptionSink(std::function<void(const QString&)> sink);

// Runs a handler; whatever it throws ends that handler only and is shown in
// the standard error box.
template <typename F>
void Guard(F&& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        HandleException(std::current_exception());
    }
}

}  // namespace Application
