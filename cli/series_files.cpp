#include "cli/series_files.h"

#include "cli/exit_status.h"
#include "data/sample_csv.h"
#include "cli/line_protocol.h"
#include "data/saved_file_reader.h"

#include <QFile>

#include <deque>

#include <sys/mman.h>
#include <sys/stat.h>

struct SeriesFiles::Source {
    QString Path;
    QByteArrayView Bytes;
    QByteArray Copy;  // of what cannot be mapped, such as a pipe
    // CSV rows that came with quotes, without them: what their rows view.
    std::deque<QByteArray> Unquoted;
    void* Map = nullptr;
    size_t MapSize = 0;
    ~Source()
    {
        if (Map)
            ::munmap(Map, MapSize);
    }
};

namespace {

// A saved file's data line, read once already, into its ten texts, which
// hold no blanks.
void splitSavedLine(QByteArrayView text, SavedFileFields& fields)
{
    qsizetype at = 0;
    for (QByteArrayView& field : fields) {
        qsizetype end = at;
        while (end < text.size() && text[end] != ' ')
            ++end;
        field = text.sliced(at, end - at);
        at = end + 2;
    }
}

}  // namespace

SeriesFiles::SeriesFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        sources_.push_back(std::make_unique<Source>());
        Source& source = *sources_.back();
        source.Path = path;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw CliFailure(Exit::Data, tr("%1: cannot open: %2").arg(path, file.errorString()));
        struct stat status {};
        if (::fstat(file.handle(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
            // Mapped with its pages at once: far cheaper than copying, and
            // than faulting the pages in one by one.
            void* map = ::mmap(nullptr, size_t(status.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.handle(), 0);
            if (map != MAP_FAILED) {
                source.Map = map;
                source.MapSize = size_t(status.st_size);
                source.Bytes = QByteArrayView(static_cast<const char*>(map), qsizetype(status.st_size));
            }
        }
        if (!source.Map) {
            source.Copy = file.readAll();
            if (file.error() != QFileDevice::NoError)
                throw CliFailure(Exit::Data, tr("%1: cannot read: %2").arg(path, file.errorString()));
            source.Bytes = source.Copy;
        }
        files_.emplace_back();
        if (StartsWithSampleCsvHeader(source.Bytes))
            readCsvFile(source);
        else
            readSavedFile(source);
    }
}

SeriesFiles::~SeriesFiles() = default;

void SeriesFiles::fault(const Source& source, int line, const QString& what) const
{
    throw CliFailure(Exit::Data, tr("%1: line %2: %3; not converted").arg(source.Path).arg(line).arg(what));
}

void SeriesFiles::readSavedFile(Source& source)
{
    SeriesFile& file = files_.back();
    file.Form = ValueTexts::SavedFile;
    // A data line holds twenty blanks at least. Memory is only reserved
    // here; what the rows do not fill is never touched.
    file.Rows.reserve(size_t(source.Bytes.size() / 20 + 1));
    TSavedFileReader reader(source.Bytes);
    SavedFileFields texts;
    try {
        while (reader.Next(texts)) {
            const char* start = texts[0].data();
            SeriesRow row;
            row.Text = QByteArrayView(start, texts[9].data() + texts[9].size() + 2 - start);
            row.ValuesAt = int(texts[2].data() - start);
            row.Line = reader.LineNumber();
            // The reader let only digit groups through.
            const SeriesStamp stamp = StampOfTableTexts(texts[0], texts[1]).value_or(SeriesStamp{0, StampKind::Impossible});
            row.Seconds = stamp.Seconds;
            row.Kind = stamp.Kind;
            file.Rows.push_back(row);
        }
    } catch (const ESavedFileError& e) {
        QString what;
        switch (e.Fault) {
        case SavedFileFault::NoTitleLine:
            what = tr("neither the column title line of a saved data file nor the header of this program's CSV");
            break;
        case SavedFileFault::NoEmptyLine:
            what = tr("not the empty line that follows the column titles");
            break;
        case SavedFileFault::Layout:
            what = tr("not ten texts each followed by two blanks");
            break;
        case SavedFileFault::Date:
            what = tr("the date is not DD/MM/YYYY");
            break;
        case SavedFileFault::Time:
            what = tr("the time is not hh:mm:ss");
            break;
        case SavedFileFault::Temperature:
            what = tr("the temperature of CH%1 is not a number such as 23,5").arg(e.Field - 2);
            break;
        }
        fault(source, e.Line, what);
    }
}

void SeriesFiles::readCsvFile(Source& source)
{
    SeriesFile& file = files_.back();
    file.Form = ValueTexts::Csv;
    file.Rows.reserve(size_t(source.Bytes.size() / 11 + 1));  // "1,,,,,,,,,"
    SampleCsvReader reader(source.Bytes);
    SampleCsvRecord record;
    while (reader.Next(record) == SampleCsvReader::Step::Row) {
        const int line = int(record.Line);
        if (record.BlankLineBefore > 0)
            fault(source, int(record.BlankLineBefore), tr("an empty line among the rows"));
        const auto& fields = record.Fields;
        if (!IsSampleCsvNumber(fields[0]))
            fault(source, line, tr("the sample is not a number"));
        const std::optional<SeriesStamp> stamp = StampOfIsoText(fields[1]);
        if (!stamp)
            fault(source, line, tr("the time is not YYYY-MM-DDThh:mm:ss"));
        std::array<double, 8> values;
        bool shortTexts = true;  // see KeepTemperatures
        for (size_t k = 2; k < fields.size(); ++k) {
            if (!ReadSampleCsvTemperature(fields[k], values[k - 2]))
                fault(source, line, tr("the temperature of CH%1 is not a number such as 23.5").arg(int(k) - 1));
            shortTexts &= fields[k].size() <= 15;
        }
        SeriesRow row;
        row.Text = record.Text;
        if (record.Quoted) {
            // The fields hold no comma once checked: joined, they read as a
            // row without quotes.
            QByteArray& text = source.Unquoted.emplace_back();
            for (const QByteArrayView field : fields) {
                text += field;
                text += ',';
            }
            text.chop(1);
            row.Text = text;
        }
        row.ValuesAt = int(fields[0].size() + fields[1].size() + 2);
        row.Line = line;
        row.Seconds = stamp->Seconds;
        row.Kind = stamp->Kind;
        if (shortTexts)
            KeepTemperatures(row, values);
        file.Rows.push_back(row);
    }
    switch (reader.Fault()) {
    case SampleCsvFault::None:
    case SampleCsvFault::NotTheHeader:  // told apart by its header already
        break;
    case SampleCsvFault::FieldCount:
        fault(source, int(reader.FaultLine()), tr("not ten fields: the sample, its time and eight temperatures"));
    case SampleCsvFault::UnclosedQuote:
    case SampleCsvFault::TextAfterQuote:
    case SampleCsvFault::QuoteInField:
        fault(source, int(reader.FaultLine()), tr("a quote that does not enclose a whole field"));
    case SampleCsvFault::TooLong:
        fault(source, int(reader.FaultLine()), tr("a line of 1 MiB or more"));
    }
}

MergedSeries SeriesFiles::Merge() const
{
    MergedSeries merged = MergeSeries(files_);
    for (const MergeOverride& o : merged.Overrides)
        PrintError(tr("warning: %1 overrides rows of %2 that hold other values at the same time (%3 in all; the first at line %4, over line %5 of %2)")
                       .arg(sources_[size_t(o.File)]->Path, sources_[size_t(o.OverriddenFile)]->Path)
                       .arg(o.Count)
                       .arg(o.FirstLine)
                       .arg(o.FirstOverriddenLine));
    return merged;
}

qint64 SeriesFiles::Interval(size_t index) const
{
    // A walk over every row of a file: stats asks for each twice.
    if (intervals_.empty())
        for (const SeriesFile& file : files_)
            intervals_.push_back(SamplingInterval(file));
    return intervals_[index];
}

qint64 SeriesFiles::CommonInterval() const
{
    qint64 common = 0;
    for (size_t f = 0; f < files_.size(); ++f) {
        const qint64 step = Interval(f);
        if (step == 0)
            continue;
        if (common != 0 && step != common)
            return 0;
        common = step;
    }
    return common;
}

qsizetype SeriesFiles::TotalBytes() const
{
    qsizetype total = 0;
    for (const auto& source : sources_)
        total += source->Bytes.size();
    return total;
}

qint64 SeriesFiles::WriteLineProtocol(QByteArrayView tag, const MergedSeries& merged, const std::function<void(QByteArrayView)>& write) const
{
    constexpr qsizetype Piece = 256 * 1024;
    QByteArray piece;
    piece.reserve(Piece + 4096);
    SavedFileFields texts;
    std::array<QByteArrayView, 8> values;
    qint64 leftOut = 0;
    for (const RowRef& ref : merged.Rows) {
        const SeriesFile& file = files_[ref.File];
        const SeriesRow& row = file.Rows[ref.Row];
        if (row.Kind != StampKind::Real) {
            ++leftOut;
            continue;
        }
        if (file.Form == ValueTexts::Csv) {
            QByteArrayView rest = row.Values();
            for (QByteArrayView& value : values) {
                const qsizetype comma = rest.indexOf(',');
                value = comma < 0 ? rest : rest.first(comma);
                rest = comma < 0 ? QByteArrayView() : rest.sliced(comma + 1);
            }
        } else {
            splitSavedLine(row.Text, texts);
            std::copy(texts.begin() + 2, texts.end(), values.begin());
        }
        if (!AppendSampleLine(piece, tag, row.Seconds, values.data()))
            ++leftOut;
        if (piece.size() >= Piece) {
            write(piece);
            piece.resize(0);
        }
    }
    if (!piece.isEmpty())
        write(piece);
    return leftOut;
}

void SeriesFiles::WriteTable(TableFormat format, const MergedSeries& merged, const std::function<void(QByteArrayView)>& write) const
{
    // A piece that stays in the processor's cache, used again and again.
    constexpr qsizetype Piece = 256 * 1024;
    QByteArray piece = TableHeader(format);
    piece.reserve(Piece + 4096);
    SavedFileFields texts;
    int sample = 0;
    for (const RowRef& ref : merged.Rows) {
        const SeriesFile& file = files_[ref.File];
        const SeriesRow& row = file.Rows[ref.Row];
        if (file.Form == ValueTexts::Csv) {
            AppendCsvTableRow(piece, format, ++sample, row.Text);
        } else if (format == TableFormat::Csv) {
            AppendSavedLineAsSampleCsvRow(piece, ++sample, row.Text);
        } else {
            splitSavedLine(row.Text, texts);
            AppendTableRow(piece, format, ++sample, texts);
        }
        if (piece.size() >= Piece) {
            write(piece);
            piece.resize(0);
        }
    }
    if (!piece.isEmpty())
        write(piece);
}
