#pragma once
// What a logger stored, told from the simulator's records of one or more
// runs, and an archive of it read back: the oracle that the station's tests
// and benchmarks hold the station's archive to.
//
// A memory cycle is a start stamp and a rate; its samples are those of its
// largest finished transfer (the end marker sent). A memory emptied by a
// clock setting or a new rate with samples no finished transfer carried has
// lost them for good, whoever was listening.
#include "sim/sim_record.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

struct StoredRow {
    int sample = 0;  // 1-based within its memory cycle
    QDateTime time;  // the logger's local time, as the files hold it
    std::array<int, 8> raw{};
    bool operator==(const StoredRow&) const = default;
};

// Per memory cycle, in the order the cycles came, its samples timed from the
// start stamp by the rate.
std::vector<StoredRow> StoredRows(const std::vector<SimRecord>& records);
// Samples stored and then emptied without a finished transfer that held them.
long long EmptiedUnsent(const std::vector<SimRecord>& records);

// The rows of the archive's month files (FOLDER/YYYY-MM.csv), files in name
// order; what breaks the layout (a torn last line, a wrong header, a row
// that does not read) goes to `problems`, one line each.
std::vector<StoredRow> ReadArchiveRows(const QString& folder, QStringList* problems);
