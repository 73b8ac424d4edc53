// A full logger memory (2000 samples) downloaded through the real windows
// from the simulator paced at 115200 8N1. Prints the measured time from the
// download button to the filled table against the wire time of the bytes
// plus the program's fixed pauses (the 1000 ms request wait and the 450 ms
// clear step), and the peak resident memory.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "toolkit/string_grid.h"
#include "serial/comport.h"
#include "sim/simulator.h"
#include "bench/paced_logger.h"
#include "bench/report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

void waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;

    Simulator sim(PacedFullMemory(dir, 470));
    sim.Start();

    Flags().SkipPortSetup = true;
    CreateForms();
    Form1->ComPort1->SetPort(QString::fromStdString(sim.SlavePath()));
    Form1->AbRockerSwitch1Click();
    waitFor([] { return Form1->FramesParsed() > 0; }, 5000);

    QElapsedTimer clock;
    qint64 filledAt = -1;
    int rows = 0;
    // The table window opens modally inside the capture; the watcher notes
    // the moment it is filled and closes it.
    QTimer watcher;
    watcher.setInterval(1);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (Form5->isVisible() && filledAt < 0) {
            filledAt = clock.elapsed();
            rows = Form5->StringGrid1->RowCount() - 1;
            Form5->Close();
        }
    });
    watcher.start();
    clock.start();
    Form1->AbColBitBtn4Click();
    waitFor([&] { return filledAt >= 0; }, 60000);

    double bytes = Form1->RichEdit1->Text().size();
    double wire = bytes * 10.0 / 115200.0;
    double fixed = 1.45;
    double measured = filledAt / 1000.0;
    std::printf("download of %d samples paced at 115200 8N1: %.0f bytes\n", rows, bytes);
    std::printf("  measured %.3f s, wire %.3f s + fixed pauses %.2f s = %.3f s, ratio %.4f\n", measured, wire, fixed,
        wire + fixed, measured / (wire + fixed));
    ReportFigure("download paced at 115200 8N1: measured / (wire + 1.45 s)", measured / (wire + fixed), "ratio",
        "wire " + std::to_string(wire).substr(0, 6) + " s + 1.45 s");
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("  peak resident memory %.1f MiB\n", u.ru_maxrss / 1024.0);
    ReportFigure("peak resident memory, full table", u.ru_maxrss / 1024.0, "MiB", "2000 samples");

    DestroyForms();
    sim.Stop();
    return rows == 2000 ? 0 : 1;
}
