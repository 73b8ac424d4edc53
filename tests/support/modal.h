#pragma once
// Answers modal windows in GUI tests: a modal box or dialog blocks the test in
// its own event loop, so the answer is scheduled before the call that opens it.
#include "tests/support/wait.h"

#include <QString>
#include <QWidget>

#include <functional>

// Calls `answer` with the next application-modal widget that appears (a
// message box, a dialog, a modal window), within `timeoutMs`.
void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000);

// Presses the button of the next message box whose text is `buttonText`
// ("OK", "&Yes", ...); records the box's text in *seenText if given.
void PressInNextMessageBox(const QString& buttonText, QString* seenText = nullptr, int timeoutMs = 5000);

