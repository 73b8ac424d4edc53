#include "cli/table_output.h"

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

void AppendTableRow(QByteArray& out, TableFormat format, int sample, const SavedFileFields& texts)
{
    if (format == TableFormat::Csv) {
        out += QByteArray::number(sample);
        out += ',';
        AppendIsoStamp(out, texts[0], texts[1]);
        for (size_t k = 2; k < texts.size(); ++k) {
            out += ',';
            AppendDotDecimal(out, texts[k]);
        }
        out += "\r\n";
        return;
    }
    out += "{\"sample\":";
    out += QByteArray::number(sample);
    const qsizetype before = out.size();
    out += ",\"time\":\"";
    AppendIsoStamp(out, texts[0], texts[1]);
    if (out.size() == before + 9) {
        out.truncate(before);
        out += ",\"time\":null";
    } else {
        out += '"';
    }
    out += ",\"ch\":[";
    for (size_t k = 2; k < texts.size(); ++k) {
        if (k > 2)
            out += ',';
        if (texts[k].isEmpty())
            out += "null";
        else
            AppendDotDecimal(out, texts[k]);
    }
    out += "]}\n";
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
