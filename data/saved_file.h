#pragma once
// The saved data file: a column title line, an empty line, then one line per
// data row with the grid's texts of columns 1..10, each followed by two
// blanks; every line ends with CR LF. The layout is a pure function of the
// grid; writing replaces the target only once every byte is on disk.
#include <QByteArray>
#include <QString>

class TStringGrid;

// "FECHA       " " HORA     " "CH1   " .. "CH7   " "CH8": 67 characters.
QByteArray SavedFileTitleLine();

// The whole file for data rows 1..dataRows of `grid` (none when dataRows < 1),
// in the Windows Latin-1 code page.
QByteArray SavedFileBytes(const TStringGrid& grid, int dataRows);

// Writes `bytes` as the whole content of `path`. A regular file (existing or
// new) is written beside the target and put in its place only when all was
// written, so a failed save leaves the old file as it was and no partial file
// behind; an existing device or pipe is written in place. Raises EInOutError
// with the runtime's texts ("File access denied", "Disk full", "I/O error %d").
void WriteWholeFile(const QString& path, const QByteArray& bytes);
