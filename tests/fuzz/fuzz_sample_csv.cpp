// The client's CSV as `convert`, `plot` and the station read it: any bytes
// read as the same rows, or fail the same way at the same line, whether they
// come whole or a buffer at a time; the rows convert would take write back
// through the one writer to bytes that read as the same rows. Nothing is read
// past the end of the bytes.
#include "fuzz_checks.h"

#include "data/calendar.h"
#include "data/sample_csv.h"

#include <array>
#include <cmath>
#include <memory>

namespace {

struct Row {
    std::array<QByteArray, SampleCsvFields> Fields;
    qint64 Line = 0;
    qint64 BlankLineBefore = 0;
    bool operator==(const Row&) const = default;
};

struct Outcome {
    std::vector<Row> Rows;
    SampleCsvFault Fault = SampleCsvFault::None;
    qint64 FaultLine = 0;
    int FaultFields = 0;
    bool HeaderSeen = false;
    bool operator==(const Outcome&) const = default;
};

Row rowOf(const SampleCsvRecord& record)
{
    Row row;
    for (size_t k = 0; k < row.Fields.size(); ++k)
        row.Fields[k] = record.Fields[k].toByteArray();
    row.Line = record.Line;
    row.BlankLineBefore = record.BlankLineBefore;
    if (!record.Quoted) {
        // The text is the fields and their commas.
        QByteArray joined;
        for (const QByteArray& field : row.Fields)
            joined += field + ',';
        joined.chop(1);
        FUZZ_CHECK(record.Text == joined);
    }
    return row;
}

Outcome finish(const SampleCsvReader& reader, Outcome outcome)
{
    outcome.Fault = reader.Fault();
    outcome.FaultLine = reader.FaultLine();
    outcome.FaultFields = reader.FaultFields();
    outcome.HeaderSeen = reader.HeaderSeen();
    return outcome;
}

Outcome readWhole(QByteArrayView bytes)
{
    Outcome outcome;
    SampleCsvReader reader(bytes);
    SampleCsvRecord record;
    SampleCsvReader::Step step;
    while ((step = reader.Next(record)) == SampleCsvReader::Step::Row)
        outcome.Rows.push_back(rowOf(record));
    FUZZ_CHECK(step != SampleCsvReader::Step::More);
    if (step == SampleCsvReader::Step::End) {
        FUZZ_CHECK(reader.Fault() == SampleCsvFault::None);
        FUZZ_CHECK(reader.Consumed() == bytes.size());
    } else {
        FUZZ_CHECK(reader.Fault() != SampleCsvFault::None);
        FUZZ_CHECK(reader.FaultLine() >= 1 && reader.FaultLine() <= bytes.count('\n') + 1);
    }
    return finish(reader, outcome);
}

// As a program reading a pipe does: `piece` bytes at a time into a buffer of
// exactly the bytes held.
Outcome readInPieces(QByteArrayView bytes, qsizetype piece)
{
    Outcome outcome;
    SampleCsvReader reader({}, false);
    SampleCsvRecord record;
    QByteArray held;
    std::unique_ptr<char[]> exact;
    qsizetype given = 0;
    for (;;) {
        const SampleCsvReader::Step step = reader.Next(record);
        if (step == SampleCsvReader::Step::Row) {
            outcome.Rows.push_back(rowOf(record));
            continue;
        }
        if (step != SampleCsvReader::Step::More)
            break;
        held = held.sliced(reader.Consumed());
        const qsizetype more = std::min(piece, bytes.size() - given);
        held += bytes.sliced(given, more);
        given += more;
        exact.reset(new char[size_t(held.size()) + 1]);
        std::memcpy(exact.get(), held.constData(), size_t(held.size()));
        reader.Continue(QByteArrayView(exact.get(), held.size()), more == 0);
    }
    return finish(reader, outcome);
}

// Whether convert takes the row: what the one writer is given.
bool convertible(const Row& row)
{
    if (!IsSampleCsvNumber(row.Fields[0]) || row.Fields[0].size() > 15 || !StampOfIsoText(row.Fields[1]))
        return false;
    double value;
    for (size_t k = 2; k < row.Fields.size(); ++k)
        if (!ReadSampleCsvTemperature(row.Fields[k], value))
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte sizes the pieces; an exactly sized copy of the rest, so
    // a read past the end is a sanitizer report.
    const qsizetype piece = data[0] % 64 + 1;
    std::unique_ptr<char[]> exact(new char[size]);
    std::memcpy(exact.get(), data + 1, size - 1);
    const QByteArrayView bytes(exact.get(), qsizetype(size - 1));
    try {
        const Outcome whole = readWhole(bytes);
        FUZZ_CHECK(readInPieces(bytes, piece) == whole);
        if (whole.Fault != SampleCsvFault::None)
            return 0;
        QByteArray written;
        AppendSampleCsvHeader(written);
        std::vector<Row> expected;
        for (const Row& row : whole.Rows) {
            if (!convertible(row))
                continue;
            std::array<QByteArrayView, 8> temperatures;
            for (size_t k = 0; k < temperatures.size(); ++k)
                temperatures[k] = row.Fields[k + 2];
            AppendSampleCsvRow(written, row.Fields[0].toLongLong(), row.Fields[1], temperatures.data());
            Row again = row;
            again.Fields[0] = QByteArray::number(row.Fields[0].toLongLong());
            again.Line = qint64(expected.size()) + 2;
            again.BlankLineBefore = 0;
            expected.push_back(again);
        }
        FUZZ_CHECK(StartsWithSampleCsvHeader(written));
        const Outcome reread = readWhole(written);
        FUZZ_CHECK(reread.Fault == SampleCsvFault::None, QString::fromLatin1(written.left(200)));
        FUZZ_CHECK(reread.Rows == expected, QString::fromLatin1(written.left(200)));
    } catch (...) {
        ::fuzz::FailForeignException(__FILE__, __LINE__);
    }
    return 0;
}
