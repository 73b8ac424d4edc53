#include "station/archive.h"

#include "cli/table_output.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

class ArchiveText {
    Q_DECLARE_TR_FUNCTIONS(Archive)
public:
    static QString failed(const QString& path, int err)
    {
        return tr("%1: %2; the samples stay in the logger's memory and are archived at the next download").arg(path, SystemErrorText(err));
    }
    static QString cannotRead(const QString& path, const QString& why) { return tr("%1: cannot read the archive: %2").arg(path, why); }
    static QString noTime(int sample) { return tr("sample %1 of the download has no time; it cannot be archived").arg(sample); }
    static QString fewer(int held, int archived)
    {
        return tr("the logger holds %1 samples of a memory cycle of which the archive already has %2; nothing appended").arg(held).arg(archived);
    }
    static QString shrunk(const QString& path) { return tr("%1 is shorter than the ledger says; it was changed by hand").arg(path); }
};

const QByteArray LedgerName = "cycles";
const QByteArray CsvEnd = "\r\n";

QByteArray local(const QString& path)
{
    return QFile::encodeName(path);
}

QDateTime rowTime(const TableRow& row)
{
    return QDateTime(QDate::fromString(row.Date, QStringLiteral("dd/MM/yyyy")), QTime::fromString(row.Time, QStringLiteral("HH:mm:ss")));
}

}  // namespace

QString StartStampText(const StartStamp& s)
{
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", 2000 + s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second);
}

QByteArray Archive::RowLine(int sample, const TableRow& row)
{
    QByteArray line;
    AppendTableRow(line, TableFormat::Csv, sample, row);
    return line;
}

QString Archive::MonthFile(const TableRow& row) const
{
    // "dd/mm/yyyy": the file of the sample's month.
    return folder_ + QLatin1Char('/') + row.Date.mid(6, 4) + QLatin1Char('-') + row.Date.mid(3, 2) + QStringLiteral(".csv");
}

QString Archive::cutTornTail(const QString& path, const QByteArray& ending)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ArchiveText::cannotRead(path, file.errorString());
    const qint64 size = file.size();
    // A line is well under a kilobyte: the tail holds the last line break.
    qint64 from = std::max<qint64>(0, size - 1024);
    file.seek(from);
    const QByteArray tail = file.readAll();
    if (tail.endsWith(ending) || size == 0)
        return {};
    const qsizetype lastEnd = tail.lastIndexOf(ending);
    const qint64 keep = lastEnd < 0 ? (from == 0 ? 0 : size) : from + lastEnd + ending.size();
    if (keep == size)
        return {};
    files::WritableFile out;
    qint64 ignored = 0;
    int err = out.OpenAtEnd(local(path), ignored);
    if (err == 0)
        err = out.TruncateTo(keep);
    if (err == 0)
        err = out.Sync();
    return err == 0 ? QString() : ArchiveText::failed(path, err);
}

QString Archive::appendSynced(const QString& path, const QByteArray& bytes, qint64* sizeBefore)
{
    files::WritableFile out;
    qint64 size = 0;
    int err = out.OpenAtEnd(local(path), size);
    if (sizeBefore)
        *sizeBefore = size;
    if (err == 0 && size == 0)
        err = files::SyncFolder(local(QFileInfo(path).path()));
    if (err == 0)
        err = out.WriteAll(bytes);
    if (err == 0)
        err = out.Sync();
    if (err != 0) {
        // Whatever part reached the file is taken back, so no line is torn;
        // a file this write made goes again.
        out.TruncateTo(size);
        out.Sync();
        out.Close();
        if (size == 0)
            files::Remove(local(path));
        return ArchiveText::failed(path, err);
    }
    err = out.Close();
    return err == 0 ? QString() : ArchiveText::failed(path, err);
}

QString Archive::Open()
{
    for (const QString& dir : {QFileInfo(folder_).path(), folder_, folder_ + QStringLiteral("/raw")}) {
        if (const int err = files::MakeFolder(local(dir)))
            return ArchiveText::failed(dir, err);
    }
    const QDir folder(folder_);
    const QString ledger = folder.filePath(QString::fromLatin1(LedgerName));
    if (QFile::exists(ledger)) {
        if (QString why = cutTornTail(ledger, "\n"); !why.isEmpty())
            return why;
    }
    for (const QString& name : folder.entryList({QStringLiteral("*.csv")}, QDir::Files)) {
        if (QString why = cutTornTail(folder.filePath(name), CsvEnd); !why.isEmpty())
            return why;
    }
    last_ = {};
    lastFile_.clear();
    QFile ledgerFile(ledger);
    if (!ledgerFile.exists())
        return {};
    if (!ledgerFile.open(QIODevice::ReadOnly))
        return ArchiveText::cannotRead(ledger, ledgerFile.errorString());
    const QByteArray all = ledgerFile.readAll();
    const QList<QByteArray> lines = all.trimmed().split('\n');
    const QList<QByteArray> fields = lines.last().split(' ');
    if (fields.size() != 6 || fields[0] != "cycle")
        return {};
    const QDateTime start = QDateTime::fromString(QString::fromLatin1(fields[1]), Qt::ISODate);
    last_.start = {start.date().year() - 2000, start.date().month(), start.date().day(), start.time().hour(), start.time().minute(),
        start.time().second()};
    last_.rateCode = fields[2].toInt();
    last_.rows = fields[3].toInt();
    lastFile_ = folder.filePath(QString::fromUtf8(fields[4]));
    const qint64 sizeBefore = fields[5].toLongLong();

    // Rows that reached the file after the ledger line belong to the same
    // cycle, in order.
    QFile month(lastFile_);
    if (!month.open(QIODevice::ReadOnly))
        return month.exists() ? ArchiveText::cannotRead(lastFile_, month.errorString()) : QString();
    if (month.size() < sizeBefore)
        return ArchiveText::shrunk(lastFile_);
    month.seek(sizeBefore);
    const QByteArray header = TableHeader(TableFormat::Csv);
    for (const QByteArray& line : month.readAll().split('\n')) {
        if (line.endsWith('\r') && line + '\n' != header)
            ++last_.rows;
    }
    return {};
}

Archive::Appended Archive::Append(const DownloadHeader& header, const TableRows& rows, const QByteArray& transfer,
    const QDateTime& downloadedAt)
{
    Appended result;
    const QString stampText = StartStampText(header.Start);
    QString raw = QStringLiteral("%1/raw/%2_%3.txt")
                      .arg(folder_, QString(stampText).replace(QLatin1Char(':'), QLatin1Char('-')),
                          downloadedAt.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (QFile::exists(raw))
        raw.insert(raw.size() - 4, QStringLiteral("-%1").arg(downloadedAt.toMSecsSinceEpoch() % 1000));
    result.rawFile = raw;
    if (QString why = appendSynced(raw, transfer); !why.isEmpty()) {
        result.error = why;
        return result;
    }

    Cycle cycle{header.Start, header.RateCode, 0};
    if (last_.start == cycle.start && last_.rateCode == cycle.rateCode)
        cycle.rows = last_.rows;
    else
        last_ = cycle;
    const int held = int(rows.size());
    if (held < cycle.rows) {
        result.warning = ArchiveText::fewer(held, cycle.rows);
        return result;
    }
    int next = cycle.rows;
    while (next < held) {
        if (rows[next].Date.size() != 10 || rows[next].Time.isEmpty()) {
            result.error = ArchiveText::noTime(next + 1);
            return result;
        }
        // The rows of one month go to its file in one write.
        const QString file = MonthFile(rows[next]);
        int end = next;
        QByteArray bytes;
        while (end < held && rows[end].Date.size() == 10 && MonthFile(rows[end]) == file) {
            AppendTableRow(bytes, TableFormat::Csv, end + 1, rows[end]);
            ++end;
        }
        const qint64 size = QFileInfo(file).size();
        const QByteArray entry = QStringLiteral("cycle %1 %2 %3 %4 %5\n")
                                     .arg(stampText)
                                     .arg(cycle.rateCode)
                                     .arg(next)
                                     .arg(QFileInfo(file).fileName())
                                     .arg(size)
                                     .toUtf8();
        if (QString why = appendSynced(QDir(folder_).filePath(QString::fromLatin1(LedgerName)), entry); !why.isEmpty()) {
            result.error = why;
            return result;
        }
        if (size == 0)
            bytes.prepend(TableHeader(TableFormat::Csv));
        qint64 before = 0;
        if (QString why = appendSynced(file, bytes, &before); !why.isEmpty()) {
            result.error = why;
            return result;
        }
        if (result.newRows == 0)
            result.firstNew = rowTime(rows[next]);
        result.lastNew = rowTime(rows[end - 1]);
        result.newRows += end - next;
        if (result.files.isEmpty() || result.files.last() != file)
            result.files << file;
        lastFile_ = file;
        last_.rows = next = end;
    }
    return result;
}

bool Archive::Verify(const TableRows& rows) const
{
    if (last_.rows != int(rows.size()))
        return false;
    if (rows.empty())
        return true;
    QFile file(lastFile_);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray expected = RowLine(last_.rows, rows.back());
    if (file.size() < expected.size())
        return false;
    file.seek(file.size() - expected.size());
    return file.read(expected.size()) == expected;
}
