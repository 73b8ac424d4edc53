#include "plot/plot_samples.h"

#include "data/calendar.h"
#include "data/sample_csv.h"

#include <QIODevice>

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr qsizetype ReadSize = qsizetype(1) << 20;

// Sample arrays of a long file are written once from start to end. Asking
// for huge pages spares the kernel all but a five-hundredth of its page
// faults, which otherwise cost as much as reading the text. Advice only:
// where the kernel declines it, nothing changes.
template <class T>
void growFresh(std::vector<T>& v, size_t capacity)
{
    constexpr size_t WorthIt = size_t(2) << 20;
    constexpr auto Page = uintptr_t(4096);
    std::vector<T> bigger;
    bigger.reserve(capacity);
    // The array's own pages, the one it starts in included: a block this
    // large is a mapping of its own (main.cpp sees to it), so the advice
    // reaches no other memory.
    const auto first = reinterpret_cast<uintptr_t>(bigger.data());
    const uintptr_t from = first & ~(Page - 1);
    const uintptr_t to = (first + capacity * sizeof(T) + Page - 1) & ~(Page - 1);
    if (capacity * sizeof(T) >= WorthIt)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    bigger.insert(bigger.end(), v.begin(), v.end());
    v.swap(bigger);
}

// A field as a message shows it: short, and with no control character that
// could upset a terminal.
QString shown(QByteArrayView field)
{
    constexpr qsizetype Longest = 40;
    QString text = QString::fromUtf8(field.first(std::min(field.size(), Longest)));
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    if (field.size() > Longest)
        text += QStringLiteral("…");
    return text;
}

// Reads the device a buffer at a time through the one reader of the CSV and
// turns its rows into samples.
class CsvReader {
public:
    CsvReader(QIODevice& in, const QString& name)
        : in_(in), name_(name), length_(in.isSequential() ? 0 : std::max<qint64>(in.size() - in.pos(), 0))
    {
    }

    std::variant<SampleCsv, PlotFailure> Read()
    {
        if (!readRecords())
            return failure_;
        for (size_t k = 0; k < 8; ++k) {
            if (!hasReading_[k]) {
                out_.samples.channels[k].clear();
                out_.samples.channels[k].shrink_to_fit();
            }
        }
        return std::move(out_);
    }

private:
    bool readRecords()
    {
        // Twice the longest record, so one that is not yet whole always has
        // room to grow to the length at which the reader gives up on it.
        std::vector<char> buffer(size_t(2 * ReadSize));
        qsizetype end = 0;
        bool atEnd = false;
        SampleCsvReader reader({}, false);
        SampleCsvRecord record;
        for (;;) {
            switch (reader.Next(record)) {
            case SampleCsvReader::Step::Row:
                consumed_ = offset_ + reader.Consumed();
                if (!row(record))
                    return false;
                continue;
            case SampleCsvReader::Step::Failed:
                return fail(faultText(reader));
            case SampleCsvReader::Step::End:
                if (!reader.HeaderSeen())
                    return fail(PlotText::tr("%1: empty, not even a header line (give the CSV that veltra8-cli "
                                             "writes with -f csv)")
                                    .arg(name_));
                return true;
            case SampleCsvReader::Step::More:
                break;
            }
            // Keep the start of an unfinished record and read on behind it.
            const qsizetype begin = reader.Consumed();
            std::memmove(buffer.data(), buffer.data() + begin, size_t(end - begin));
            end -= begin;
            offset_ += begin;
            const qint64 got = in_.read(buffer.data() + end, qint64(std::min<qsizetype>(ReadSize, qsizetype(buffer.size()) - end)));
            if (got < 0)
                return fail(PlotText::tr("%1: cannot be read: %2 (check the file and try again)")
                                .arg(name_, in_.errorString()));
            atEnd = got == 0;
            end += qsizetype(got);
            reader.Continue(QByteArrayView(buffer.data(), end), atEnd);
        }
    }

    QString faultText(const SampleCsvReader& reader) const
    {
        const QString line = QString::number(reader.FaultLine());
        switch (reader.Fault()) {
        case SampleCsvFault::None:
        case SampleCsvFault::NotTheHeader:
            break;
        case SampleCsvFault::FieldCount:
            return PlotText::tr("%1:%2: %3 fields where the header has 10 (mend the line or remove it)")
                .arg(name_, line, QString::number(reader.FaultFields()));
        case SampleCsvFault::UnclosedQuote:
            return PlotText::tr("%1:%2: a quoted field is not closed (close it with \" or remove the quote)")
                .arg(name_, line);
        case SampleCsvFault::TextAfterQuote:
            return PlotText::tr("%1:%2: text after the closing quote of a field (put the whole field in quotes)")
                .arg(name_, line);
        case SampleCsvFault::QuoteInField:
            return PlotText::tr("%1:%2: a quote inside a field that does not start with one (quote the whole field "
                                "and double the quote)")
                .arg(name_, line);
        case SampleCsvFault::TooLong:
            return PlotText::tr("%1:%2: the line is longer than 1 MiB (give the CSV that veltra8-cli writes with -f "
                                "csv)")
                .arg(name_, line);
        }
        return PlotText::tr("%1:%2: the first line is not the header sample,time,ch1,…,ch8 (give the CSV that "
                            "veltra8-cli writes with -f csv)")
            .arg(name_, line);
    }

    bool row(const SampleCsvRecord& record)
    {
        const auto line = [&] { return QString::number(record.Line); };
        const std::optional<SeriesStamp> time = StampOfIsoText(record.Fields[1]);
        if (!time)
            return fail(PlotText::tr("%1:%2: the time \"%3\" is not YYYY-MM-DDThh:mm:ss (mend the line, or empty "
                                     "the time to leave the row out)")
                            .arg(name_, line(), shown(record.Fields[1])));
        std::array<double, 8> values{};
        for (size_t k = 0; k < 8; ++k) {
            if (!ReadSampleCsvTemperature(record.Fields[k + 2], values[k]))
                return fail(PlotText::tr("%1:%2: ch%3 \"%4\" is not a temperature (write it with a dot decimal, "
                                         "like 23.5, or leave it empty)")
                                .arg(name_, line(), QString::number(k + 1), shown(record.Fields[k + 2])));
        }
        if (time->Kind == StampKind::None) {
            ++out_.withoutTime;
            return true;
        }
        if (time->Kind == StampKind::Impossible) {
            ++out_.impossibleTime;
            return true;
        }
        if (out_.samples.times.size() == out_.samples.times.capacity())
            makeRoom();
        out_.samples.times.push_back(time->Seconds);
        for (size_t k = 0; k < 8; ++k) {
            out_.samples.channels[k].push_back(values[k]);
            hasReading_[k] = hasReading_[k] || !std::isnan(values[k]);
        }
        return true;
    }

    // Room for more rows. From a file of known length the arrays are sized
    // once, by the length of the rows read so far, so a million rows are
    // not copied on the way (should the rows grow shorter later, by a
    // quarter at least each time). From a pipe they grow fourfold: room not
    // yet written costs address space only, and a million rows are copied a
    // third of a time rather than once.
    void makeRoom()
    {
        const size_t rows = out_.samples.times.size();
        size_t capacity = std::max<size_t>(4 * rows, 4096);
        const size_t read = rows + out_.withoutTime + out_.impossibleTime;
        if (length_ > 0 && rows > 0) {
            const double perRow = static_cast<double>(consumed_) / static_cast<double>(read);
            const auto expected = static_cast<size_t>(static_cast<double>(length_) / perRow * 1.02);
            capacity = std::max(rows + rows / 4 + 4096, expected);
        }
        growFresh(out_.samples.times, capacity);
        for (std::vector<double>& channel : out_.samples.channels)
            growFresh(channel, capacity);
    }

    bool fail(const QString& message)
    {
        failure_ = PlotFailure{PlotExit::Data, message};
        return false;
    }

    QIODevice& in_;
    const QString name_;
    // The input's length when it is a file, 0 for a pipe; bytes consumed up
    // to the record being read, and up to the start of the read buffer.
    const qint64 length_;
    qint64 consumed_ = 0;
    qint64 offset_ = 0;
    std::array<bool, 8> hasReading_{};
    SampleCsv out_;
    PlotFailure failure_;
};

}  // namespace

std::variant<SampleCsv, PlotFailure> ReadSampleCsv(QIODevice& in, const QString& name)
{
    return CsvReader(in, name).Read();
}
