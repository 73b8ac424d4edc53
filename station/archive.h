#pragma once
// The station's archive of one logger, DIR/NAME/: the samples in month files
// (YYYY-MM.csv, the client's CSV, by the sample's month), every transfer as
// received under raw/, and the ledger `cycles` that says how far each memory
// cycle is archived. Owned by the Station; all of it runs on its thread.
//
// Exactly once: a memory cycle is named by its download's start stamp and
// rate, which change only when the clock is set or the rate changes; within
// one, the samples archived are rows 1..k. Before rows go to a month file,
// a ledger line "cycle START RATE K FILE SIZE" is appended and synced: rows
// 1..K of that cycle are archived, and FILE held SIZE bytes before the rows
// after K. Then the rows are appended and synced. At the next start every
// whole line FILE gained beyond SIZE is one more archived row of that cycle,
// so a power cut between any two of these steps neither loses nor repeats a
// row. A torn last line (of a month file or of the ledger) is cut first; the
// rows it held are fetched again from the logger's memory.
#include "data/record_decoding.h"
#include "data/saved_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class Archive {
public:
    explicit Archive(QString folder) : folder_(std::move(folder)) {}

    // Makes the folders when missing, cuts torn tails and finds how far the
    // last memory cycle is archived. An empty string, or what failed.
    QString Open();

    struct Cycle {
        StartStamp start;
        int rateCode = 0;
        int rows = 0;  // rows 1..rows of the cycle are archived
        bool operator==(const Cycle&) const = default;
    };
    // The memory cycle archived last; rateCode 0 when none.
    const Cycle& Last() const { return last_; }

    struct Appended {
        int newRows = 0;
        QDateTime firstNew, lastNew;
        QStringList files;  // month files written to
        QString rawFile;
        QString error;      // empty when every new row is archived
        int errorCode = 0;  // errno of a failed write, 0 otherwise
        QString warning;    // a doubt about the transfer that failed nothing
    };
    // Keeps `transfer` under raw/, then appends the rows the archive does not
    // hold yet of the download with `header`. On failure nothing is half
    // written and Last() says what is archived.
    Appended Append(const DownloadHeader& header, const TableRows& rows, const QByteArray& transfer, const QDateTime& downloadedAt);

    // Reads the last row of the last month file written back and compares it
    // with what Append wrote for the cycle's last row.
    bool Verify(const TableRows& rows) const;

    const QString& Folder() const { return folder_; }
    QString MonthFile(const TableRow& row) const;

    // The CSV line of row `sample` (1-based within its cycle), CR LF ended.
    static QByteArray RowLine(int sample, const TableRow& row);

private:
    QString cutTornTail(const QString& path, const QByteArray& ending);
    QString appendSynced(const QString& path, const QByteArray& bytes, qint64* sizeBefore = nullptr);

    QString folder_;
    Cycle last_;
    QString lastFile_;
};

// "2024-05-17T08:20:30" for a start stamp; the year is the logger's two-digit one.
QString StartStampText(const StartStamp& stamp);
