#pragma once
// The options that judge readings against limits, spelled alike in
// `stats`, `report` and `live`: --limit (repeatable), --delay, --mode and
// --activation-energy; and, for the commands that read files, the rows to
// judge: --from, --to, --channels.
#include "analysis/judgement.h"
#include "cli/command_line.h"
#include "cli/series_files.h"

#include <optional>

class JudgementLine {
    Q_DECLARE_TR_FUNCTIONS(JudgementLine)
public:
    static void AddLimits(CommandLine& line);
    static void AddSelection(CommandLine& line);
    // The limits, delay, mode and channels (none when --channels is not
    // given); raises CliFailure (Exit::Usage) naming the bad text.
    static JudgementOptions Read(const CommandLine& line);
};

// Whether channel k (index k - 1) was named for itself, by --channels or a
// limit of its own: a limit for every channel judges the channels with
// readings, while a channel named for itself is judged even without any,
// and then fails.
std::array<bool, 8> NamedChannels(const CommandLine& line);

// Which rows of a merged series are judged.
struct RowSelection {
    std::optional<qint64> From, To;
};
RowSelection ReadSelection(const CommandLine& line);

// Runs the judgement over the merged rows in the selection, each weighed
// by its own file's sampling interval. Raises CliFailure (Exit::Data) when
// no row with a real time is selected.
SeriesJudgement JudgeSeries(const SeriesFiles& files, const MergedSeries& merged, const RowSelection& selection,
    const JudgementOptions& options, const std::array<bool, 8>& named, const QStringList& paths);

// "1d 2h", "1h 20m", "45s": a duration for people.
QString DurationText(qint64 seconds);
