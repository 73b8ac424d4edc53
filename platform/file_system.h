#pragma once
// The seam between the program's file writing (the saved data file, the
// command-line client's output) and the operating system. Only the POSIX
// file (file_system_posix.cpp) makes file system calls; what is written,
// where and in which order is decided above it. Every call reports failure
// by returning the system's error code (errno), 0 meaning success;
// platform/errors.h says what a code means.
#include <QByteArray>
#include <QByteArrayView>

namespace files {

// What the program needs to know of an entry on disk.
struct EntryInfo {
    bool isLink = false;
    bool isRegular = false;
    unsigned links = 0;
    unsigned owner = 0;
    unsigned group = 0;
    unsigned mode = 0;  // permission bits, set-id and sticky bits included
};

// The entry itself (a link is not followed), or what it names (followed).
int EntryOf(const QByteArray& path, EntryInfo& info);
int FollowedEntryOf(const QByteArray& path, EntryInfo& info);
// The path with every link resolved; the file must exist.
int ResolvedPath(const QByteArray& path, QByteArray& resolved);

// A file open for writing; closed when destroyed, if not closed before.
class WritableFile {
public:
    WritableFile() = default;
    ~WritableFile();
    WritableFile(const WritableFile&) = delete;
    WritableFile& operator=(const WritableFile&) = delete;

    // An existing file, emptied.
    int OpenEmptied(const QByteArray& path);
    // A file that must not exist yet (permissions 0666 less the umask).
    int CreateNew(const QByteArray& path);
    // A file made when missing, emptied when there.
    int CreateOrEmpty(const QByteArray& path);
    // A file made when missing, kept when there, written at its end; `size`
    // is its length on opening.
    int OpenAtEnd(const QByteArray& path, qint64& size);
    // Cuts the file to `size` bytes and writes on from there: how a write
    // that failed half-way is taken back.
    int TruncateTo(qint64 size);

    int WriteAll(QByteArrayView bytes);
    // Waits until what was written is on the disk.
    int Sync();
    // Takes over owner, group and permission bits, in that order, as a
    // change of owner clears the set-id bits.
    int TakeOwnerAndMode(const EntryInfo& from);
    int Close();

private:
    int fd_ = -1;
};

// Writes all of `bytes` to a descriptor already open, such as standard
// output, going on after an interruption.
int WriteAllTo(int fd, QByteArrayView bytes);

// Whether the user may write the existing file at `path`: 0, or why not.
int MayWrite(const QByteArray& path);
int Rename(const QByteArray& from, const QByteArray& to);
int Remove(const QByteArray& path);
// A folder made when missing (0777 less the umask); 0 when it is there.
int MakeFolder(const QByteArray& path);
// Waits until the folder's entries (a file just made or renamed) are on disk.
int SyncFolder(const QByteArray& path);

}  // namespace files
