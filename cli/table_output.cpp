#include "cli/table_output.h"

#include <algorithm>
#include <charconv>

void AppendIsoStamp(QByteArray& out, QByteArrayView date, QByteArrayView time)
{
    if (date.isEmpty() || time.isEmpty())
        return;
    const qsizetype first = date.indexOf('/');
    const qsizetype second = first < 0 ? -1 : date.indexOf('/', first + 1);
    if (second < 0)
        return;
    out += date.sliced(second + 1);
    out += '-';
    out += date.sliced(first + 1, second - first - 1);
    out += '-';
    out += date.first(first);
    out += 'T';
    out += time;
}

void AppendDotDecimal(QByteArray& out, QByteArrayView text)
{
    const qsizetype comma = text.indexOf(',');
    if (comma < 0) {
        out += text;
        return;
    }
    out += text.first(comma);
    out += '.';
    out += text.sliced(comma + 1);
}

QByteArray DotDecimal(const QString& text)
{
    QByteArray out;
    AppendDotDecimal(out, text.toLatin1());
    return out;
}

QByteArray TableHeader(TableFormat format)
{
    if (format == TableFormat::Csv)
        return "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n";
    if (format == TableFormat::Txt)
        return SavedFileTitleLine() + "\r\n\r\n";
    return {};
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
        appendNumber(out, sample);
        out += ',';
        appendTime(out);
        for (int k = 0; k < 8; ++k) {
            out += ',';
            AppendDotDecimal(out, temperatures[k]);
        }
        out += "\r\n";
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

void AppendSavedLineAsCsv(QByteArray& out, int sample, QByteArrayView line)
{
    // At most the line's own bytes, the sample number and two separators.
    const qsizetype at = out.size();
    out.resize(at + line.size() + 16);
    char* p = out.data() + at;
    p = std::to_chars(p, p + 12, sample).ptr;
    *p++ = ',';
    const qsizetype dateEnd = line.indexOf("  ");
    const qsizetype timeEnd = line.indexOf("  ", dateEnd + 2);
    const QByteArrayView date = line.first(dateEnd);
    const QByteArrayView time = line.sliced(dateEnd + 2, timeEnd - dateEnd - 2);
    if (!date.isEmpty() && !time.isEmpty()) {
        const qsizetype first = date.indexOf('/');
        const qsizetype second = date.indexOf('/', first + 1);
        const auto copy = [&p](QByteArrayView text) { p = std::copy(text.begin(), text.end(), p); };
        copy(date.sliced(second + 1));
        *p++ = '-';
        copy(date.sliced(first + 1, second - first - 1));
        *p++ = '-';
        copy(date.first(first));
        *p++ = 'T';
        copy(time);
    }
    *p++ = ',';
    // The temperatures, each followed by two blanks and holding none: each
    // pair of blanks a comma before the next, the decimal comma a dot.
    for (qsizetype i = timeEnd + 2; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ') {
            *p++ = ',';
            ++i;
        } else {
            *p++ = c == ',' ? '.' : c;
        }
    }
    // The pair after CH8 made a comma where the line ends.
    p[-1] = '\r';
    *p++ = '\n';
    out.resize(p - out.constData());
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
