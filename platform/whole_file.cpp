#include "platform/whole_file.h"

#include "platform/errors.h"
#include "platform/file_system.h"

#include <QFile>
#include <QRandomGenerator>

namespace {

[[noreturn]] void fail(int err)
{
    throw EInOutError::fromErrno(err);
}

bool is(int err, SystemErrorKind kind)
{
    return KindOfSystemError(err) == kind;
}

// Writes the file where it is: emptied and rewritten, or created. Its
// inode, owner, permissions and links stay; only a file this call created
// is removed again when the writing fails.
void writeInPlace(const QByteArray& path, const QByteArray& bytes)
{
    files::WritableFile file;
    int err = file.OpenEmptied(path);
    bool created = false;
    if (is(err, SystemErrorKind::NotFound)) {
        err = file.CreateOrEmpty(path);
        created = err == 0;
    }
    if (err != 0)
        fail(err);
    err = file.WriteAll(bytes);
    if (const int closed = file.Close(); err == 0)
        err = closed;
    if (err != 0) {
        if (created)
            files::Remove(path);
        fail(err);
    }
}

// The folder refuses a new entry (permission, a read-only file system, a
// name too long for the temporary one): the file itself may still take
// the writing.
bool folderRefusesNewEntries(int err)
{
    return is(err, SystemErrorKind::AccessDenied) || is(err, SystemErrorKind::ReadOnly)
        || is(err, SystemErrorKind::NameTooLong);
}

// A rename over the file is refused (a sticky folder, a file mounted on
// its own), though the file itself may still take the writing.
bool renameRefused(int err)
{
    return is(err, SystemErrorKind::AccessDenied) || is(err, SystemErrorKind::Busy);
}

// A new file beside `path`, with a name no one else uses; 0, or the error
// of the folder that refuses it.
int createBeside(const QByteArray& path, files::WritableFile& file, QByteArray& created)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : path.left(slash + 1);
    const QByteArray name = path.mid(slash + 1);
    int err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = folder + '.' + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        err = file.CreateNew(created);
        if (!is(err, SystemErrorKind::Exists))
            return err;
    }
    return err;
}

enum class Outcome { Replaced, WriteInPlace };

// Writes a new file beside `path` and renames it over `path`, so that a
// failed save leaves the old file whole and no partial file behind. Says
// when the folder or the old file does not allow that, and nothing was
// changed.
Outcome replaceThroughNewFile(const QByteArray& path, const QByteArray& bytes, const files::EntryInfo* old)
{
    files::WritableFile file;
    QByteArray temporary;
    if (const int err = createBeside(path, file, temporary)) {
        if (folderRefusesNewEntries(err))
            return Outcome::WriteInPlace;
        fail(err);
    }
    auto discard = [&](int err) {
        file.Close();
        files::Remove(temporary);
        return err;
    };
    if (old && file.TakeOwnerAndMode(*old) != 0) {
        // A replacement owned by someone else would take the file from
        // its owner.
        discard(0);
        return Outcome::WriteInPlace;
    }
    if (const int err = file.WriteAll(bytes))
        fail(discard(err));
    if (const int err = file.Sync())
        fail(discard(err));
    if (const int err = file.Close()) {
        files::Remove(temporary);
        fail(err);
    }
    if (const int err = files::Rename(temporary, path)) {
        files::Remove(temporary);
        if (old && renameRefused(err))
            return Outcome::WriteInPlace;
        fail(err);
    }
    return Outcome::Replaced;
}

}  // namespace

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QByteArray target = QFile::encodeName(path);
    // Through symbolic links to the file they name, which is the one replaced.
    files::EntryInfo entry;
    if (files::EntryOf(target, entry) == 0 && entry.isLink) {
        QByteArray resolved;
        if (files::ResolvedPath(target, resolved) != 0) {
            // A link to a file not there yet: creating it through the link
            // puts it where the link points.
            writeInPlace(target, bytes);
            return;
        }
        target = resolved;
    }
    const int missing = files::FollowedEntryOf(target, entry);
    if (missing != 0 && !is(missing, SystemErrorKind::NotFound))
        fail(missing);
    const bool exists = missing == 0;
    // Devices and pipes are written as they are; a file with several names
    // stays one file under all of them.
    if (exists && (!entry.isRegular || entry.links > 1)) {
        writeInPlace(target, bytes);
        return;
    }
    // Only a file the user may write is replaced: a read-only one is
    // refused as writing it in place would be.
    if (exists) {
        if (const int err = files::MayWrite(target))
            fail(err);
    }
    if (replaceThroughNewFile(target, bytes, exists ? &entry : nullptr) == Outcome::WriteInPlace)
        writeInPlace(target, bytes);
}
