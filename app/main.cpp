// Start-up: the application title, the windows in their order, only the main
// window shown; the program ends when the main window closes.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/application.h"
#include "toolkit/desktop.h"
#include "windows/program_icon.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Application::NameTheProgram();
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("veltra8"));
    app.setQuitOnLastWindowClosed(false);

    CreateForms();
    QObject::connect(Form1, &TForm1::MainWindowClosed, &app, &QApplication::quit, Qt::QueuedConnection);
    Form1->Show();
    int rc = app.exec();
    DestroyForms();
    return rc;
}
