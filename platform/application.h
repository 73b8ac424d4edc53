#pragma once
// The application object's duties that both front ends rely on: its title,
// the text a failure is reported with, and the guard that every handler run
// from the event loop goes through so that no exception crosses Qt's loop.
// Where a failure is shown is the front end's choice: the windows install
// the standard error box (toolkit/desktop.h); without them a failure is
// written to standard error.
#include <QString>

#include <exception>
#include <functional>

namespace Application {

// "TEMPVELTRA8C"; also the title of every message box.
QString Title();


// The error box text: the message, plus a full stop when its last character's
// code is above that of the full stop (after a letter, a digit or a colon).
QString ExceptionText(const QString& message);

// Reports the exception in flight or given through the installed display.
// Never throws.
void ShowException(const std::exception& e);
void HandleException(std::exception_ptr e);

// Where reported failures go: the function receives the full text. An empty
// function restores the default, a line on standard error.
void SetExceptionDisplay(std::function<void(const QString&)> display);

// Tests may route error texts here instead of the display; pass an empty
// function to restore the display. The sink receives the full text.
void SetExceptionSink(std::function<void(const QString&)> sink);

// Runs a handler; whatever it throws ends that handler only and is reported.
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
