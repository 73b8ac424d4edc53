#pragma once
// The files `convert` and `plot` read, merged into one series: saved data
// files (the windows' layout) and this program's own CSV, told apart by
// their first line. The files are mapped, not copied, and every row is a
// view into them, so a million rows cost their index alone.
#include "cli/table_output.h"
#include "data/series_merge.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class SeriesFiles {
    // Its texts were convert's before plot read files too, and keep their
    // translations there.
    Q_DECLARE_TR_FUNCTIONS(ConvertCommand)
public:
    // Reads every file whole. Raises CliFailure (Exit::Data) naming the
    // file, and the line, of the first fault.
    explicit SeriesFiles(const QStringList& paths);
    ~SeriesFiles();
    SeriesFiles(const SeriesFiles&) = delete;
    SeriesFiles& operator=(const SeriesFiles&) = delete;

    // The merge, its overrides said on standard error.
    MergedSeries Merge() const;
    // The sampling interval in seconds that the files agree on, 0 when they
    // disagree or none shows one. A file with too few stamped rows to show
    // one does not disagree.
    qint64 CommonInterval() const;
    // The sampling interval of the file `index` names (SamplingInterval),
    // worked out once.
    qint64 Interval(size_t index) const;
    // The files' rows, in the order named.
    const std::vector<SeriesFile>& Files() const { return files_; }
    // All the input bytes: what sizes an output.
    qsizetype TotalBytes() const;

    // The merged rows as a table in `format` (Csv or Jsonl), numbered 1..N,
    // handed to `write` in pieces of some hundred kilobytes.
    void WriteTable(TableFormat format, const MergedSeries& merged, const std::function<void(QByteArrayView)>& write) const;

    // The merged rows as line protocol for the logger `tag` (escaped), handed
    // to `write` likewise. Rows without a real time, or without any
    // reading, have no line: their count is returned.
    qint64 WriteLineProtocol(QByteArrayView tag, const MergedSeries& merged, const std::function<void(QByteArrayView)>& write) const;

private:
    struct Source;
    void readSavedFile(Source& source);
    void readCsvFile(Source& source);
    [[noreturn]] void fault(const Source& source, int line, const QString& what) const;

    std::vector<std::unique_ptr<Source>> sources_;
    std::vector<SeriesFile> files_;
    mutable std::vector<qint64> intervals_;  // by file, once asked for
};
