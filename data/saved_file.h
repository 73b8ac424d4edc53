#pragma once
// The saved data file: a column title line, an empty line, then one line per
// data row with the table's texts (date, time, eight temperatures), each
// followed by two blanks; every line ends with CR LF. The layout is a pure
// function of the table's rows, so the windows and the command-line client
// write the same bytes; writing replaces the target only once every byte is
// on disk, where the folder allows it.
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

// Writes `bytes` as the whole content of `path`, creating the file or
// replacing the one there, which must be one the user may write. A regular
// file is written beside the target and put in its place only when all was
// written, so a failed save leaves the old file whole and no partial file
// behind; the replacement keeps the old file's owner, group and permissions.
// Where that cannot be (the folder refuses a new file or the rename, the
// owner cannot be kept) the file is written in place, as are a file with
// several hard links (it stays one file under all its names), devices and
// pipes. Symbolic links are followed. Raises EInOutError with the runtime's
// texts ("File not found", "File access denied", "Disk full",
// "I/O error %d", ...).
void WriteWholeFile(const QString& path, const QByteArray& bytes);
