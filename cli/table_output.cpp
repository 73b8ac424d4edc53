#include "cli/table_output.h"

#include "data/sample_csv.h"

#include <algorithm>
#include <charconv>

QByteArray DotDecimal(const QString& text)
{
    QByteArray out;
    AppendDotDecimal(out, text.toLatin1());
    return out;
}

QByteArray TableHeader(TableFormat format)
{
    QByteArray out;
    if (format == TableFormat::Csv)
        AppendSampleCsvHeader(out);
    if (format == TableFormat::Txt)
        out = SavedFileTitleLine() + "\r\n\r\n";
    return out;
}

namespace {

void appendNumber(QByteArray& out, int value)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// One CSV or JSON line from the row's time (written by `appendTime`, which
// writes nothing for a row without one) and its eight temperature texts.
template <class AppendTime>
void appendRow(QByteArray& out, TableFormat format, int sample, AppendTime appendTime, const QByteArrayView* temperatures)
{
    if (format == TableFormat::Csv) {
        QByteArray time;
        appendTime(time);
        AppendSampleCsvRow(out, sample, time, temperatures);
        return;
    }
    out += "{\"sample\":";
    appendNumber(out, sample);
    const qsizetype before = out.size();
    out += ",\"time\":\"";
    appendTime(out);
    if (out.size() == before + 9) {
        out.truncate(before);
        out += ",\"time\":null";
    } else {
        out += '"';
    }
    out += ",\"ch\":[";
    for (int k = 0; k < 8; ++k) {
        if (k > 0)
            out += ',';
        if (temperatures[k].isEmpty())
            out += "null";
        else
            AppendDotDecimal(out, temperatures[k]);
    }
    out += "]}\n";
}

}  // namespace

void AppendTableRow(QByteArray& out, TableFormat format, int sample, const SavedFileFields& texts)
{
    appendRow(out, format, sample, [&](QByteArray& o) { AppendIsoStamp(o, texts[0], texts[1]); }, &texts[2]);
}

void AppendCsvTableRow(QByteArray& out, TableFormat format, int sample, QByteArrayView line)
{
    const qsizetype afterSample = line.indexOf(',');
    if (format == TableFormat::Csv) {
        appendNumber(out, sample);
        out += line.sliced(afterSample);
        out += "\r\n";
        return;
    }
    std::array<QByteArrayView, 9> fields;  // time, CH1..CH8
    qsizetype at = afterSample + 1;
    for (QByteArrayView& field : fields) {
        qsizetype end = line.indexOf(',', at);
        if (end < 0)
            end = line.size();
        field = line.sliced(at, end - at);
        at = end + 1;
    }
    appendRow(out, format, sample, [&](QByteArray& o) { o += fields[0]; }, &fields[1]);
}

void AppendTableRow(QByteArray& out, TableFormat format, int sample, const TableRow& row)
{
    if (format == TableFormat::Txt) {
        AppendSavedFileLine(out, row);
        return;
    }
    std::array<QByteArray, 10> latin1;
    latin1[0] = row.Date.toLatin1();
    latin1[1] = row.Time.toLatin1();
    for (size_t k = 0; k < row.Temperatures.size(); ++k)
        latin1[k + 2] = row.Temperatures[k].toLatin1();
    SavedFileFields texts;
    for (size_t k = 0; k < texts.size(); ++k)
        texts[k] = latin1[k];
    AppendTableRow(out, format, sample, texts);
}

QByteArray TableBytes(TableFormat format, const TableRows& rows)
{
    QByteArray out = TableHeader(format);
    out.reserve(out.size() + qsizetype(rows.size()) * 96);
    int sample = 0;
    for (const TableRow& row : rows)
        AppendTableRow(out, format, ++sample, row);
    return out;
}
