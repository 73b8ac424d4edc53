#pragma once
// The client's CSV, the one table every program here writes and reads:
//   sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8
// RFC 4180 as `convert` writes it (comma, CR LF, UTF-8 without a byte-order
// mark), `time` as YYYY-MM-DDThh:mm:ss or empty, each temperature with a dot
// decimal or empty for no reading. The reader takes what spreadsheets make of
// it too: LF line ends, a byte-order mark, quoted fields, blank lines.
//
// The writer appends one row at a time, so a file can grow by rows. The
// reader takes bytes, a whole file or one buffer after another, and hands
// out each record's fields where they lie in those bytes.
#include <QByteArray>
#include <QByteArrayView>

#include <array>

inline constexpr QByteArrayView SampleCsvHeader = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8";
inline constexpr int SampleCsvFields = 10;  // sample, time, CH1..CH8

// --- Writing -----------------------------------------------------------------

// The header line, with its line end.
void AppendSampleCsvHeader(QByteArray& out);
// One row: the sample number, its time (empty for none) and eight
// temperature texts, a decimal comma written as the dot ("-50,0" -> "-50.0").
void AppendSampleCsvRow(QByteArray& out, qint64 sample, QByteArrayView time, const QByteArrayView* temperatures);
// A saved file's data line (read once already, without its line end) as the
// row AppendSampleCsvRow writes for its texts, made in one pass: converting a
// file of a million rows is bound by this.
void AppendSavedLineAsSampleCsvRow(QByteArray& out, qint64 sample, QByteArrayView line);
// Appends "17/05/2024" and "08:20:30" as "2024-05-17T08:20:30", digit for
// digit so a stamp that is no date still reads as it was; nothing when
// either is empty.
void AppendIsoStamp(QByteArray& out, QByteArrayView date, QByteArrayView time);
// Appends a temperature text with the dot for the comma: "-50,0" -> "-50.0".
void AppendDotDecimal(QByteArray& out, QByteArrayView text);

// --- Reading -----------------------------------------------------------------

enum class SampleCsvFault : quint8 {
    None,
    NotTheHeader,    // the first record is not SampleCsvHeader
    FieldCount,      // a row of other than ten fields (FaultFields says how many)
    UnclosedQuote,   // a quoted field runs to the end of the bytes
    TextAfterQuote,  // "a"b
    QuoteInField,    // a"b
    TooLong,         // a record of LongestRecord bytes or more
};

struct SampleCsvRecord {
    // Views into the bytes given to the reader, or, for a record with quotes,
    // into the reader's own copy without them; valid until the next record.
    std::array<QByteArrayView, SampleCsvFields> Fields;
    // The record's bytes without its line end, when it holds no quotes:
    // then exactly the fields with a comma between each.
    QByteArrayView Text;
    bool Quoted = false;
    qint64 Line = 0;              // 1-based line where the record starts
    qint64 BlankLineBefore = 0;   // the last blank line skipped just before it, 0 for none
};

class SampleCsvReader {
public:
    // A row of the client's CSV takes under a hundred bytes: a record this
    // long is no such CSV, and holding it whole would only eat memory.
    static constexpr qsizetype LongestRecord = qsizetype(1) << 20;

    // `whole`: the bytes are all there is. Otherwise Next says More where a
    // record may go on past them, and Continue hands over the next bytes.
    explicit SampleCsvReader(QByteArrayView bytes, bool whole = true) : bytes_(bytes), whole_(whole) {}

    enum class Step { Row, End, More, Failed };
    // The next data row; the header is read and checked on the way to the
    // first. End with !HeaderSeen() means the bytes held no record at all.
    Step Next(SampleCsvRecord& record);
    // After More: `bytes` starts with what was not consumed (the bytes from
    // Consumed() on) and goes on with what was read since.
    void Continue(QByteArrayView bytes, bool whole);
    // How much of the bytes the records read so far took.
    qsizetype Consumed() const { return at_; }
    bool HeaderSeen() const { return headerSeen_; }

    SampleCsvFault Fault() const { return fault_; }
    qint64 FaultLine() const { return faultLine_; }
    int FaultFields() const { return faultFields_; }

private:
    enum class Split { Done, Quoted, Failed };
    Split splitPlain(QByteArrayView text, SampleCsvRecord& record);
    bool splitQuoted(QByteArrayView text, SampleCsvRecord& record);
    Step fail(SampleCsvFault fault, int fields = 0);

    QByteArrayView bytes_;
    bool whole_;
    qsizetype at_ = 0;
    qint64 nextLine_ = 1;
    qint64 line_ = 0;
    qint64 blankLine_ = 0;
    bool headerSeen_ = false;
    QByteArray unquoted_;
    SampleCsvFault fault_ = SampleCsvFault::None;
    qint64 faultLine_ = 0;
    int faultFields_ = 0;
};

// Whether the bytes start, on their first line, with the header.
bool StartsWithSampleCsvHeader(QByteArrayView bytes);
// The sample number: digits.
bool IsSampleCsvNumber(QByteArrayView text);
// A temperature as written here, "23.5", "-50.0", "24", into `value`; empty
// is no reading (NaN). False for any other text, so what is read writes on
// unchanged as JSON.
bool ReadSampleCsvTemperature(QByteArrayView text, double& value);
