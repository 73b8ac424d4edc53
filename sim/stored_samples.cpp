#include "sim/stored_samples.h"

#include "data/sample_csv.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

QDateTime StampTime(const LoggerStamp& s)
{
    return QDateTime(QDate(s.year, s.month, s.day), QTime(s.hour, s.minute, s.second));
}

using CycleKey = std::pair<LoggerSeconds, int>;

CycleKey KeyOf(const LoggerStamp& start, int rateCode)
{
    return {ToLoggerSeconds(start), rateCode};
}

// Per cycle, in order of first appearance, its largest finished transfer.
std::vector<const LoggerSnapshot*> LargestFinished(const std::vector<SimRecord>& records)
{
    std::vector<const LoggerSnapshot*> cycles;
    std::map<CycleKey, std::size_t> at;
    for (const SimRecord& record : records) {
        for (const SimDownload& d : record.downloads) {
            if (!d.endMarkerSent)
                continue;
            const auto [it, fresh] = at.try_emplace(KeyOf(d.snapshot.start, d.snapshot.rateCode), cycles.size());
            if (fresh)
                cycles.push_back(&d.snapshot);
            else if (d.snapshot.samples.size() > cycles[it->second]->samples.size())
                cycles[it->second] = &d.snapshot;
        }
    }
    return cycles;
}

}  // namespace

std::vector<StoredRow> StoredRows(const std::vector<SimRecord>& records)
{
    std::vector<StoredRow> rows;
    for (const LoggerSnapshot* cycle : LargestFinished(records)) {
        const QDateTime start = StampTime(cycle->start);
        const qint64 step = RateCodeMinutes(cycle->rateCode) * 60LL;
        for (std::size_t i = 0; i < cycle->samples.size(); ++i)
            rows.push_back(StoredRow{int(i) + 1, start.addSecs(qint64(i + 1) * step), cycle->samples[i]});
    }
    return rows;
}

long long EmptiedUnsent(const std::vector<SimRecord>& records)
{
    std::map<CycleKey, std::size_t> sent;
    for (const LoggerSnapshot* cycle : LargestFinished(records))
        sent[KeyOf(cycle->start, cycle->rateCode)] = cycle->samples.size();
    long long lost = 0;
    for (const SimRecord& record : records)
        for (const LoggerEmptied& e : record.emptied)
            lost += std::max<long long>(0, e.samples - static_cast<long long>(sent[KeyOf(e.start, e.rateCode)]));
    return lost;
}

std::vector<StoredRow> ReadArchiveRows(const QString& folder, QStringList* problems)
{
    std::vector<StoredRow> rows;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            *problems << name + QStringLiteral(": ") + file.errorString();
            continue;
        }
        const QByteArray all = file.readAll();
        if (!all.endsWith("\r\n"))
            *problems << name + QStringLiteral(": torn last line");
        SampleCsvReader reader(all);
        SampleCsvRecord record;
        SampleCsvReader::Step step;
        while ((step = reader.Next(record)) == SampleCsvReader::Step::Row) {
            StoredRow row;
            bool ok = true;
            row.sample = record.Fields[0].toInt(&ok);
            row.time = QDateTime::fromString(QString::fromLatin1(record.Fields[1]), Qt::ISODate);
            for (std::size_t k = 0; k < 8 && ok; ++k)
                row.raw[k] = int(std::lround(record.Fields[k + 2].toDouble(&ok) * 10 + 500));
            if (!ok || !row.time.isValid())
                *problems << name + QStringLiteral(": line %1 does not read").arg(record.Line);
            rows.push_back(row);
        }
        if (step == SampleCsvReader::Step::Failed)
            *problems << name + QStringLiteral(": not the sample CSV");
    }
    return rows;
}
