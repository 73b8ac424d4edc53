#include "toolkit/desktop.h"

#include "platform/application.h"

#include <QApplication>
#include <QMessageBox>

namespace Application {

void NameTheProgram()
{
    QApplication::setApplicationName(Title());
    // Empty but not null: appended to a caption it adds nothing, and, unlike
    // no display name at all, it keeps the platform from writing the name
    // above into the title bar of a window without a caption.
    QApplication::setApplicationDisplayName(QStringLiteral(""));
}

void InstallErrorBox()
{
    SetExceptionDisplay([](const QString& text) {
        if (!qApp)
            return;
        QMessageBox box(QMessageBox::Critical, Title(), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

void ShowHint(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace Application
