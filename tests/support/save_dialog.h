#pragma once
// Saving through the program's file dialog in GUI tests, as a user does it:
// the folder opened, the name typed, the dialog accepted.
#include <QString>

#include <functional>

// What the save dialog offered when it opened.
struct SaveDialogSeen {
    QString suffix;  // added to a name typed without one
    QString folder;  // where it opened
    bool native = true;
};

// Answers the next modal window: a save dialog is opened at `folder`, given
// `name` and accepted, then `afterAccept` runs (to answer the overwrite
// question, say); any other window is closed. A dialog that will not take
// the name is closed after a few seconds, so the test fails instead of
// hanging. Schedule it before the click that opens the dialog.
void AnswerNextSaveDialog(const QString& folder, const QString& name, std::function<void()> afterAccept = {},
                          SaveDialogSeen* seen = nullptr);
