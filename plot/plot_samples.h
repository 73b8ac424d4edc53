#pragma once
// Reads the samples of the command-line client's CSV (data/sample_csv) for
// plotting. A million rows are read in well under a second: fields are
// looked at where they lie in the read buffer, and no QString is made for
// them.
#include "chart/time_plot.h"
#include "plot/plot_text.h"

#include <QString>

#include <variant>

class QIODevice;

struct SampleCsv {
    // In file order. A channel with no reading in any row is left empty, so
    // the plot leaves it out of the legend.
    TimeSamples samples;
    // Rows read but left out of the plot.
    size_t withoutTime = 0;
    size_t impossibleTime = 0;
};

// Reads the whole device; `name` names it in messages. A failure says
// where: the name and, for what is in the text, the line.
std::variant<SampleCsv, PlotFailure> ReadSampleCsv(QIODevice& in, const QString& name);
