#pragma once
// The saved data file: a column title line, an empty line, then one line per
// data row with the grid's texts of columns 1..10, each followed by two
// blanks; every line ends with CR LF. The layout is a pure function of the
// grid; writing replaces the target only once every byte is on disk, where
// the folder allows it.
#include <QByteArray>
#include <QString>

class TStringGrid;

// "FECHA       " " HORA     " "CH1   " .. "CH7   " "CH8": 67 characters.
QByteArray SavedFileTitleLine();

// The whole file for data rows 1..dataRows of `grid` (none when dataRows < 1),
// in the Windows Latin-1 code page.
QByteArray SavedFileBytes(const TStringGrid& grid, int dataRows);

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
