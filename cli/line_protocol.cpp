#include "cli/line_protocol.h"

#include "cli/live_record.h"
#include "cli/table_output.h"
#include "data/sample_csv.h"
#include "data/series_merge.h"
#include "platform/clock.h"

#include <charconv>
#include <cmath>

namespace {

constexpr QByteArrayView Measurement = "veltra8,logger=";

void appendInteger(QByteArray& out, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// "ch3=" before the third reading, "," between fields.
void appendFieldKey(QByteArray& out, bool first, int channel)
{
    out += first ? " ch" : ",ch";
    out += char('0' + channel);
    out += '=';
}

}  // namespace

std::optional<QByteArray> LoggerTagValue(const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    QByteArray value;
    for (const char c : name.toUtf8()) {
        if ((c >= 0 && c < 0x20) || c == 0x7f || c == '\\')
            return std::nullopt;
        if (c == ',' || c == '=' || c == ' ')
            value += '\\';
        value += c;
    }
    return value;
}

bool AppendSampleLine(QByteArray& out, QByteArrayView tag, qint64 wallSeconds, const QByteArrayView* temperatures)
{
    const qsizetype start = out.size();
    out += Measurement;
    out += tag;
    bool first = true;
    for (int k = 0; k < 8; ++k) {
        if (temperatures[k].isEmpty())
            continue;
        appendFieldKey(out, first, k + 1);
        AppendDotDecimal(out, temperatures[k]);
        first = false;
    }
    if (first) {
        out.truncate(start);
        return false;
    }
    out += ' ';
    appendInteger(out, UtcOfWallSeconds(wallSeconds) * 1000000000);
    out += '\n';
    return true;
}

QByteArray LineProtocolBytes(QByteArrayView tag, const TableRows& rows, qint64& leftOut)
{
    QByteArray out;
    out.reserve(qsizetype(rows.size()) * 110);
    leftOut = 0;
    for (const TableRow& row : rows) {
        const std::optional<SeriesStamp> stamp = StampOfTableTexts(row.Date.toLatin1(), row.Time.toLatin1());
        std::array<QByteArray, 8> latin1;
        std::array<QByteArrayView, 8> texts;
        for (size_t k = 0; k < texts.size(); ++k)
            texts[k] = latin1[k] = row.Temperatures[k].toLatin1();
        if (!stamp || stamp->Kind != StampKind::Real || !AppendSampleLine(out, tag, stamp->Seconds, texts.data()))
            ++leftOut;
    }
    return out;
}

QByteArray LiveFrameLine(QByteArrayView tag, const QDateTime& pcTime, const LiveFrame& frame)
{
    QByteArray out = Measurement.toByteArray();
    out += tag;
    for (int k = 0; k < 8; ++k) {
        appendFieldKey(out, k == 0, k + 1);
        out += ChannelText(frame, size_t(k));
    }
    out += ",battery_pct=";
    appendInteger(out, std::lround(BatteryLevel(frame.battery)));
    out += "i,memory_used=";
    appendInteger(out, std::llround(MemoryPositions(frame.memoryHigh, frame.memoryLow)));
    out += "i ";
    appendInteger(out, pcTime.toMSecsSinceEpoch() * 1000000);
    out += '\n';
    return out;
}
