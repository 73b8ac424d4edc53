// Start-up: from creating the application to the main window shown and
// painted, with all eight windows created as the program does.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "bench/report.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    Flags().SkipPortSetup = true;  // the port setup dialog waits for a person
    CreateForms();
    Form1->Show();
    Form1->grab();  // the first complete paint
    QCoreApplication::processEvents();
    double ms = clock.nsecsElapsed() / 1e6;
    std::printf("start-up to the main window shown: %.1f ms\n", ms);
    ReportFigure("start-up to main window shown", ms, "ms", "");
    DestroyForms();
    return 0;
}
