#include "cli/output.h"

#include "cli/exit_status.h"
#include "data/saved_file.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

namespace {

class Output {
    Q_DECLARE_TR_FUNCTIONS(Output)
public:
    static QString fileFailure(const QString& path, const QString& reason)
    {
        return tr("%1: cannot write: %2; choose another file with -o").arg(path, reason);
    }
    static QString stdoutFailure(const QString& reason)
    {
        return tr("standard output: cannot write: %1").arg(reason);
    }
};

QString reason(int err)
{
    return SystemErrorText(err);
}

// A reader of standard output that stops reading (`| head -1`) has had what
// it wanted: the command ends there, quietly and successfully, as other
// command-line tools do.
[[noreturn]] void stdoutFailed(int err)
{
    if (KindOfSystemError(err) == SystemErrorKind::ReaderGone)
        throw CliFailure(Exit::Ok, QString());
    throw CliFailure(Exit::Output, Output::stdoutFailure(reason(err)));
}

}  // namespace

void PrintError(const QString& message)
{
    PrintNote(QStringLiteral("veltra8-cli: ") + message);
}

void PrintNote(const QString& line)
{
    std::fflush(stdout);
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void WriteResult(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty() || path == QLatin1String("-")) {
        TableWriter(path, 0).Write(bytes);
        return;
    }
    try {
        WriteWholeFile(path, bytes);
    } catch (const EInOutError& e) {
        throw CliFailure(Exit::Output, Output::fileFailure(path, e.ErrorCode > 0 ? reason(e.ErrorCode) : e.Message()));
    }
}

TableWriter::TableWriter(const QString& path, qsizetype expectedBytes)
    : path_(path == QLatin1String("-") ? QString() : path)
{
    if (!path_.isEmpty())
        whole_.reserve(size_t(expectedBytes));
}

void TableWriter::Write(QByteArrayView bytes)
{
    if (!path_.isEmpty()) {
        whole_.insert(whole_.end(), bytes.begin(), bytes.end());
        return;
    }
    std::fflush(stdout);
    if (int err = files::WriteAllTo(STDOUT_FILENO, bytes))
        stdoutFailed(err);
}

void TableWriter::Finish()
{
    if (!path_.isEmpty())
        WriteResult(path_, QByteArray::fromRawData(whole_.data(), qsizetype(whole_.size())));
}

bool RecordStream::ToTerminal() const
{
    return path_.isEmpty() && ::isatty(STDOUT_FILENO);
}

void RecordStream::Write(const QByteArray& bytes)
{
    const bool toStdout = path_.isEmpty() || path_ == QLatin1String("-");
    if (!toStdout && !opened_) {
        if (int err = file_.CreateOrEmpty(QFile::encodeName(path_)))
            throw CliFailure(Exit::Output, Output::fileFailure(path_, reason(err)));
        opened_ = true;
    }
    if (int err = toStdout ? files::WriteAllTo(STDOUT_FILENO, bytes) : file_.WriteAll(bytes)) {
        if (toStdout)
            stdoutFailed(err);
        throw CliFailure(Exit::Output, Output::fileFailure(path_, reason(err)));
    }
}
