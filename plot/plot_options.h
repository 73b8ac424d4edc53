#pragma once
// The command line of veltra8-plot, spelled as `veltra8-cli plot` spells it:
//   veltra8-plot -o OUT [--channels 1,2,5] [--from TIME] [--to TIME]
//                [--size WxH] [--title TEXT] [--interval MINUTES] [CSV]
// TIME is YYYY-MM-DDThh:mm:ss; without CSV (or with "-") the samples come on
// standard input.
#include "chart/time_plot.h"
#include "plot/plot_text.h"

#include <QString>
#include <QStringList>

#include <variant>

struct PlotRequest {
    QString input;  // empty: standard input
    QString inputName;  // what the messages call standard input, when given
    QString output;
    TTimePlot::Format format = TTimePlot::Format::Png;
    TimePlotOptions plot;
    qint64 interval = 0;  // seconds; 0 lets the plot infer it
};

// What --help prints on standard output.
struct PlotHelp {
    QString text;
};

// `arguments` as the program got them, its own name first.
std::variant<PlotRequest, PlotHelp, PlotFailure> ParsePlotArguments(const QStringList& arguments);
