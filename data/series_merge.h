#pragma once
// Many downloads of one logger as one series in time order. A station that
// is downloaded again and again leaves a folder of files, some overlapping
// (a forced full download sends old samples again); the merge puts their
// rows in one order and keeps each sample once. Rows in, an order of rows
// out: the command-line client reads the files and writes the result.
//
// The rules:
//  - Rows with a real date and time go in time order.
//  - A time that rows of several files share is taken from the file named
//    last: its rows stand, the others' rows at that time go. Rows of the
//    same file are never merged with each other, so a file's own rows all
//    stay. A row that goes while its values differ from every row that
//    stands at its time is reported as overridden.
//  - A row whose stamp is no date or time that exists (day 33, month 13,
//    minute 75: the stamping rules can make them) or that has no stamp at
//    all keeps its place in its own file: it follows the last row of its
//    file with a real time before it, after every row at that time, and
//    rows before a file's first real time come just before that time. A
//    file without any real time follows all the others.
//  - Ties go by the order the files are named, then by the file's order.
//  - A single file is taken as it stands, in its own order.
#include "data/calendar.h"
#include "data/large_vector.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <array>
#include <limits>
#include <vector>

// How a file writes its eight temperatures: the saved file's "23,5" each
// followed by two blanks, or the CSV's "23.5" separated by commas.
enum class ValueTexts : quint8 { SavedFile, Csv };

struct SeriesRow {
    // The row's line without its line end; the file's bytes must outlive it.
    QByteArrayView Text;
    qint64 Seconds = 0;  // of a Real stamp
    int Line = 0;        // 1-based line of its file
    int ValuesAt = 0;    // where in Text the eight temperatures start
    StampKind Kind = StampKind::None;
    // The eight temperatures in tenths of a degree (NoReading for none),
    // when the reader that read them kept them (KeepTemperatures), so that
    // judging a million rows need not read their texts again.
    bool HasTenths = false;
    std::array<qint16, 8> Tenths{};
    static constexpr qint16 NoReading = std::numeric_limits<qint16>::min();

    QByteArrayView Values() const { return Text.sliced(ValuesAt); }
};

struct SeriesFile {
    LargeVector<SeriesRow> Rows;
    ValueTexts Form = ValueTexts::SavedFile;
};

struct RowRef {
    quint32 File;  // index into the files given to the merge
    quint32 Row;   // index into that file's rows
    bool operator==(const RowRef&) const = default;
};

// Rows of a file that replaced rows of an earlier file with other values.
struct MergeOverride {
    int File = 0;            // the later file, whose rows stand
    int OverriddenFile = 0;  // the earlier one
    int Count = 0;
    int FirstLine = 0;            // line of File with the first of them
    int FirstOverriddenLine = 0;  // the line of OverriddenFile it replaced
};

struct MergedSeries {
    LargeVector<RowRef> Rows;
    // By File, then OverriddenFile.
    std::vector<MergeOverride> Overrides;
};

MergedSeries MergeSeries(const std::vector<SeriesFile>& files);

// Whether two rows hold the same eight temperatures: the same numbers, the
// decimal comma and dot alike ("23,5" and "23.50" agree; an empty text only
// with an empty one).
bool SameTemperatures(const SeriesRow& a, ValueTexts aForm, const SeriesRow& b, ValueTexts bForm);

// The sampling interval of a file in seconds: the step most pairs of
// neighbouring rows with real times show (the smaller one of a tie); 0
// when no two neighbouring rows have real times.
qint64 SamplingInterval(const SeriesFile& file);

// Whether the logger was away between two samples `step` seconds apart, the
// first standing for `interval` seconds: further apart than 1.5 intervals.
// The chart breaks its lines by it and the judging of limits counts no time
// across it. An unknown interval (0) makes no gaps.
inline bool IsSamplingGap(qint64 step, qint64 interval)
{
    return interval > 0 && 2 * step > 3 * interval;
}

// A row's eight temperatures in degrees Celsius, NaN where a channel has no
// reading. The readers have let only number texts through.
std::array<double, 8> RowTemperatures(const SeriesRow& row, ValueTexts form);
// Keeps in the row the temperatures a reader read from its texts when each
// is a whole number of tenths that comes back bit for bit as RowTemperatures
// would read its text: the texts, ReadSampleCsvTemperature's, must be of at
// most fifteen characters, where both read exactly.
void KeepTemperatures(SeriesRow& row, const std::array<double, 8>& values);

