#include "cli/table_output.h"

QByteArray IsoStamp(const QString& date, const QString& time)
{
    if (date.isEmpty() || time.isEmpty())
        return {};
    const qsizetype first = date.indexOf(QLatin1Char('/'));
    const qsizetype second = date.indexOf(QLatin1Char('/'), first + 1);
    if (first < 0 || second < 0)
        return {};
    const QByteArray d = date.toLatin1();
    QByteArray out;
    out.reserve(d.size() + time.size() + 1);
    out += d.sliced(second + 1);
    out += '-';
    out += d.sliced(first + 1, second - first - 1);
    out += '-';
    out += d.first(first);
    out += 'T';
    out += time.toLatin1();
    return out;
}

QByteArray DotDecimal(const QString& text)
{
    QByteArray out = text.toLatin1();
    out.replace(',', '.');
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

void AppendTableRow(QByteArray& out, TableFormat format, int sample, const TableRow& row)
{
    switch (format) {
    case TableFormat::Txt:
        AppendSavedFileLine(out, row);
        return;
    case TableFormat::Csv:
        out += QByteArray::number(sample);
        out += ',';
        out += IsoStamp(row.Date, row.Time);
        for (const QString& t : row.Temperatures) {
            out += ',';
            out += DotDecimal(t);
        }
        out += "\r\n";
        return;
    case TableFormat::Jsonl: {
        out += "{\"sample\":";
        out += QByteArray::number(sample);
        const QByteArray stamp = IsoStamp(row.Date, row.Time);
        out += stamp.isEmpty() ? QByteArray(",\"time\":null") : ",\"time\":\"" + stamp + '"';
        out += ",\"ch\":[";
        for (size_t k = 0; k < row.Temperatures.size(); ++k) {
            if (k > 0)
                out += ',';
            out += row.Temperatures[k].isEmpty() ? QByteArray("null") : DotDecimal(row.Temperatures[k]);
        }
        out += "]}\n";
        return;
    }
    }
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
