#pragma once
// Saving a file whole: what every program here writes to a file the user
// named goes through this, on top of platform/file_system.
#include <QByteArray>
#include <QString>

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
