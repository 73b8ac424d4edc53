#include "platform/error_box.h"

#include "platform/application.h"

#include <QApplication>
#include <QMessageBox>

namespace Application {

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
