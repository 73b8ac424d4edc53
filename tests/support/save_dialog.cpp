#include "tests/support/save_dialog.h"

#include "tests/support/modal.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

void AnswerNextSaveDialog(const QString& folder, const QString& name, std::function<void()> afterAccept,
                          SaveDialogSeen* seen)
{
    AnswerNextModal([folder, name, afterAccept = std::move(afterAccept), seen](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog) {
            w->close();
            return;
        }
        if (seen) {
            seen->suffix = dialog->defaultSuffix();
            seen->folder = dialog->directory().absolutePath();
            seen->native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
        }
        // The dialog lists a folder in the background and a name typed
        // before that has finished can be lost, so the folder is opened
        // first and the name typed until the dialog takes it.
        dialog->setDirectory(folder);
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        WaitUntil(
            [&] {
                if (nameEdit)
                    nameEdit->setText(name);
                else
                    dialog->selectFile(QDir(folder).filePath(name));
                // accept() is protected.
                QMetaObject::invokeMethod(dialog, "accept");
                return !dialog->isVisible();
            },
            3000);
        if (dialog->isVisible()) {
            dialog->close();
            return;
        }
        if (afterAccept)
            afterAccept();
    });
}
