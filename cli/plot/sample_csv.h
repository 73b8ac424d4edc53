#pragma once
// Reads the samples of the command-line client's CSV for plotting:
//   sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8
// RFC 4180 (comma, CR LF or LF line ends, quoted fields, UTF-8 with or
// without a byte-order mark), `time` as YYYY-MM-DDThh:mm:ss or empty, each
// temperature with a dot decimal or empty. A million rows are read in well
// under a second: fields are looked at where they lie in the read buffer, and
// no QString is made for them.
#include "chart/time_plot.h"
#include "cli/plot/plot_text.h"

#include <QString>

#include <string_view>
#include <variant>

class QIODevice;

// How a time text reads. A logger's download can carry stamps that are no
// calendar date (day 33, month 13): they have the right shape but no place
// on a time axis.
enum class TimeField { Empty, Valid, Impossible, Malformed };

// Reads YYYY-MM-DDThh:mm:ss; when Valid, `seconds` counts from 1970-01-01
// 00:00:00 as TimeSamples::Seconds does.
TimeField ReadTime(std::string_view text, qint64& seconds);
QString TimeText(qint64 seconds);

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
