#include "data/saved_file.h"

namespace {

const QByteArray LineEnd("\r\n");
const QByteArray FieldEnd("  ");

}  // namespace

QByteArray SavedFileTitleLine()
{
    QByteArray line = "FECHA       " " HORA     ";
    for (int ch = 1; ch <= 7; ++ch)
        line += "CH" + QByteArray::number(ch) + "   ";
    line += "CH8";
    return line;
}

void AppendSavedFileLine(QByteArray& out, const TableRow& row)
{
    out += row.Date.toLatin1();
    out += FieldEnd;
    out += row.Time.toLatin1();
    out += FieldEnd;
    for (const QString& t : row.Temperatures) {
        out += t.toLatin1();
        out += FieldEnd;
    }
    out += LineEnd;
}

QByteArray SavedFileBytes(const TableRows& rows)
{
    QByteArray out;
    out.reserve(80 + qsizetype(rows.size()) * 80);
    out += SavedFileTitleLine();
    out += LineEnd;
    out += LineEnd;
    for (const TableRow& row : rows)
        AppendSavedFileLine(out, row);
    return out;
}
