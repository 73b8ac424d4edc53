#pragma once
// Where a command's data go: standard output, or a file written atomically
// (the whole file replaced once every byte is on disk, as the windows save),
// or, for the live view, a stream of records written as they come.
#include "data/large_vector.h"
#include "platform/file_system.h"

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path`, or to standard output when `path` is empty.
// Raises CliFailure (Exit::Output) naming the file.
void WriteResult(const QString& path, const QByteArray& bytes);

// A long table as it is made, piece by piece: to standard output at once,
// or to a file replaced only once all of it is in hand. The whole is kept
// on huge pages, so a million rows cost no more per row than a thousand.
class TableWriter {
public:
    // `expectedBytes` only sizes the memory held for a file.
    TableWriter(const QString& path, qsizetype expectedBytes);
    // Both raise CliFailure (Exit::Output) naming the file. A reader of
    // standard output that has gone away (`| head`) ends the command with
    // CliFailure (Exit::Ok) and no message.
    void Write(QByteArrayView bytes);
    void Finish();

private:
    QString path_;
    LargeVector<char> whole_;
};

// A stream of records: standard output, or a file created on the first
// write. Every write goes straight to the descriptor, so a record is out as
// soon as it is made and nothing waits in a buffer on Ctrl-C.
class RecordStream {
public:
    explicit RecordStream(const QString& path) : path_(path) {}

    // Raises CliFailure (Exit::Output; Exit::Ok without a message when the
    // reader of standard output has gone away, as TableWriter does).
    void Write(const QByteArray& bytes);
    bool ToTerminal() const;

private:
    QString path_;
    files::WritableFile file_;
    bool opened_ = false;
};
