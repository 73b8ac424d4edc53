#include "cli/series_files.h"

#include "cli/exit_status.h"
#include "cli/line_protocol.h"
#include "data/saved_file_reader.h"

#include <QFile>

#include <sys/mman.h>
#include <sys/stat.h>

struct SeriesFiles::Source {
    QString Path;
    QByteArrayView Bytes;
    QByteArray Copy;  // of what cannot be mapped, such as a pipe
    void* Map = nullptr;
    size_t MapSize = 0;
    ~Source()
    {
        if (Map)
            ::munmap(Map, MapSize);
    }
};

namespace {

constexpr QByteArrayView CsvHeader = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8";

// The line at `pos` without its line end; `pos` moves past it.
QByteArrayView lineAt(QByteArrayView bytes, qsizetype& pos)
{
    const qsizetype end = bytes.indexOf('\n', pos);
    const qsizetype stop = end < 0 ? bytes.size() : end;
    QByteArrayView text = bytes.sliced(pos, stop - pos);
    if (text.endsWith('\r'))
        text.chop(1);
    pos = end < 0 ? bytes.size() : end + 1;
    return text;
}

bool onlyLineEnds(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "23.5", "-50.0", "24": the temperatures this program writes, and what a
// spreadsheet makes of them.
bool isDotNumber(QByteArrayView text)
{
    if (text.startsWith('-'))
        text = text.sliced(1);
    const qsizetype dot = text.indexOf('.');
    return dot < 0 ? isDigits(text) : isDigits(text.first(dot)) && isDigits(text.sliced(dot + 1));
}

// A saved file's data line, read once already, into its ten texts, which
// hold no blanks.
void splitSavedLine(QByteArrayView text, SavedFileFields& fields)
{
    qsizetype at = 0;
    for (QByteArrayView& field : fields) {
        qsizetype end = at;
        while (text[end] != ' ')
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
        qsizetype pos = 0;
        QByteArrayView first = lineAt(source.Bytes, pos);
        if (first.startsWith("\xEF\xBB\xBF"))
            first = first.sliced(3);
        if (first == CsvHeader)
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
    const QByteArrayView bytes = source.Bytes;
    qsizetype pos = 0;
    lineAt(bytes, pos);
    for (int line = 2; pos < bytes.size(); ++line) {
        const QByteArrayView text = lineAt(bytes, pos);
        if (text.isEmpty()) {
            if (onlyLineEnds(bytes.sliced(pos)))
                break;
            fault(source, line, tr("an empty line among the rows"));
        }
        std::array<QByteArrayView, 10> fields;  // sample, time, CH1..CH8
        qsizetype at = 0;
        for (size_t f = 0; f < fields.size(); ++f) {
            qsizetype end = text.indexOf(',', at);
            if ((end < 0) != (f + 1 == fields.size()))
                fault(source, line, tr("not ten fields: the sample, its time and eight temperatures"));
            if (end < 0)
                end = text.size();
            fields[f] = text.sliced(at, end - at);
            at = end + 1;
        }
        if (!isDigits(fields[0]))
            fault(source, line, tr("the sample is not a number"));
        const std::optional<SeriesStamp> stamp = StampOfIsoText(fields[1]);
        if (!stamp)
            fault(source, line, tr("the time is not YYYY-MM-DDThh:mm:ss"));
        for (size_t k = 2; k < fields.size(); ++k)
            if (!fields[k].isEmpty() && !isDotNumber(fields[k]))
                fault(source, line, tr("the temperature of CH%1 is not a number such as 23.5").arg(int(k) - 1));
        SeriesRow row;
        row.Text = text;
        row.ValuesAt = int(fields[2].data() - text.data());
        row.Line = line;
        row.Seconds = stamp->Seconds;
        row.Kind = stamp->Kind;
        file.Rows.push_back(row);
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

qint64 SeriesFiles::CommonInterval() const
{
    qint64 common = 0;
    for (const SeriesFile& file : files_) {
        const qint64 step = SamplingInterval(file);
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
            AppendSavedLineAsCsv(piece, ++sample, row.Text);
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
