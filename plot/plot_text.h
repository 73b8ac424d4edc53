#pragma once
// What veltra8-plot tells its caller: every text the user reads, in one
// translation context so it can be translated later, and the exit codes it
// shares with veltra8-cli, which runs it for `plot`.
#include <QCoreApplication>
#include <QString>

struct PlotText {
    Q_DECLARE_TR_FUNCTIONS(PlotText)
};

// Part of the client's interface: documented, tested, stable.
enum class PlotExit : int {
    Success = 0,
    Internal = 1,
    Usage = 2,  // a bad option or value
    Data = 5,   // input that cannot be read, or nothing in it to plot
    Output = 6, // the picture cannot be written
};

// Why the program stops: one line for standard error, without the
// "veltra8-cli plot: " every message starts with.
struct PlotFailure {
    PlotExit code = PlotExit::Internal;
    QString message;
};
