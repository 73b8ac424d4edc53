#pragma once
// The saved data file: a column title line, an empty line, then one line per
// data row with the table's texts (date, time, eight temperatures), each
// followed by two blanks; every line ends with CR LF. The layout is a pure
// function of the table's rows, so the windows and the command-line client
// write the same bytes, whole, through platform/whole_file.
#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

// One data row of the table as texts: "17/05/2024", "08:20:30" and eight
// temperature texts such as "23,5". A row without a stamp has empty date and
// time; a row whose sample line could not be read, empty temperatures.
struct TableRow {
    QString Date;
    QString Time;
    std::array<QString, 8> Temperatures;
    bool operator==(const TableRow&) const = default;
};
using TableRows = std::vector<TableRow>;

// "FECHA       " " HORA     " "CH1   " .. "CH7   " "CH8": 67 characters.
QByteArray SavedFileTitleLine();

// Appends the data line of one row, CR LF included.
void AppendSavedFileLine(QByteArray& out, const TableRow& row);

// The whole file for the rows, in the Windows Latin-1 code page.
QByteArray SavedFileBytes(const TableRows& rows);
