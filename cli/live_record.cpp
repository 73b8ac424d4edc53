#include "cli/live_record.h"

#include "cli/table_output.h"
#include "data/calendar.h"
#include "data/record_decoding.h"

#include <QCoreApplication>

namespace {

class LiveRecordText {
    Q_DECLARE_TR_FUNCTIONS(LiveRecordText)
public:
    static QString loggerTime() { return tr("logger time"); }
    static QString battery() { return tr("battery"); }
    static QString rate() { return tr("rate"); }
    static QString memory() { return tr("memory"); }
    static QString minutes(int m) { return tr("%1 min").arg(m); }
    static QString alarms() { return tr("alarms"); }
    static QString event(bool tripped, int channel, Side side)
    {
        const QString s = side == Side::High ? tr("high") : tr("low");
        return tripped ? tr("ALARM CH%1 %2").arg(channel).arg(s) : tr("clear CH%1 %2").arg(channel).arg(s);
    }
};

QByteArray sideName(Side side)
{
    return side == Side::High ? "high" : "low";
}

// "ch1:high ch3:low", or the JSON array of the same.
QByteArray alarmsField(const LiveAlarmState& alarms, bool json)
{
    QByteArray out;
    for (size_t k = 0; k < alarms.size(); ++k) {
        if (!alarms[k])
            continue;
        if (json)
            out += (out.isEmpty() ? "" : ",") + QByteArray("{\"channel\":") + QByteArray::number(k + 1) + ",\"side\":\"" + sideName(*alarms[k]) + "\"}";
        else
            out += (out.isEmpty() ? "ch" : " ch") + QByteArray::number(k + 1) + ':' + sideName(*alarms[k]);
    }
    return json ? '[' + out + ']' : out;
}

QByteArray twoDigits(int v)
{
    return QByteArray::number(v).rightJustified(2, '0');
}

QByteArray number(double v)
{
    // Shortest exact text: 90, 90.5, -0.9375.
    return QByteArray::number(v, 'g', 15);
}

QByteArray loggerTime(const LiveFrame& f)
{
    return IsoFieldsText(2000 + f.year, f.month, f.day, f.hour, f.minute, f.second);
}

}  // namespace

QByteArray ChannelText(const LiveFrame& f, size_t k)
{
    return DotDecimal(TemperatureText(ChannelTemperature(f.raw[k])));
}

int RateMinutes(int rateCode)
{
    static const int minutes[] = {0, 1, 5, 10, 15, 30, 60};
    return rateCode >= 1 && rateCode <= 6 ? minutes[rateCode] : 0;
}

QByteArray PcTimeText(const QDateTime& time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toLatin1() + (offset < 0 ? '-' : '+')
        + twoDigits(minutes / 60) + ':' + twoDigits(minutes % 60);
}

QByteArray LoggerIsoTime(const LiveFrame& frame)
{
    return loggerTime(frame);
}

QByteArray LiveHeader(LiveFormat format, bool withAlarms)
{
    switch (format) {
    case LiveFormat::Csv:
        return QByteArray("pc_time,logger_time,battery_pct,rate_min,memory_used,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8")
            + (withAlarms ? ",alarms,event" : "") + "\r\n";
    case LiveFormat::Text: {
        // The widths of the record's columns below.
        QByteArray line = LiveRecordText::loggerTime().toUtf8().leftJustified(19)
            + LiveRecordText::battery().toUtf8().rightJustified(10) + LiveRecordText::rate().toUtf8().rightJustified(7)
            + LiveRecordText::memory().toUtf8().rightJustified(9);
        for (int k = 1; k <= 8; ++k)
            line += QByteArray("CH" + QByteArray::number(k)).rightJustified(8);
        if (withAlarms)
            line += "  " + LiveRecordText::alarms().toUtf8();
        return line + '\n';
    }
    case LiveFormat::Jsonl:
        break;
    }
    return {};
}

QByteArray LiveRecord(LiveFormat format, const QDateTime& pcTime, const LiveFrame& f, const LiveAlarmState* alarms)
{
    const QByteArray battery = number(BatteryLevel(f.battery));
    const int rate = RateMinutes(f.rateCode);
    const QByteArray memory = number(MemoryPositions(f.memoryHigh, f.memoryLow));
    QByteArray out;
    switch (format) {
    case LiveFormat::Text: {
        QByteArray time = loggerTime(f);
        time[10] = ' ';
        out = time.leftJustified(19) + (battery + '%').rightJustified(10)
            + (rate ? LiveRecordText::minutes(rate).toUtf8() : QByteArray("?")).rightJustified(7) + memory.rightJustified(9);
        for (size_t k = 0; k < 8; ++k)
            out += ChannelText(f, k).rightJustified(8);
        if (alarms)
            out += "  " + alarmsField(*alarms, false);
        out += '\n';
        break;
    }
    case LiveFormat::Csv:
        out = PcTimeText(pcTime) + ',' + loggerTime(f) + ',' + battery + ',' + (rate ? QByteArray::number(rate) : QByteArray())
            + ',' + memory;
        for (size_t k = 0; k < 8; ++k)
            out += ',' + ChannelText(f, k);
        if (alarms)
            out += ',' + alarmsField(*alarms, false) + ',';
        out += "\r\n";
        break;
    case LiveFormat::Jsonl:
        out = "{\"pc_time\":\"" + PcTimeText(pcTime) + "\",\"logger_time\":\"" + loggerTime(f) + "\",\"battery_pct\":" + battery
            + ",\"rate_min\":" + (rate ? QByteArray::number(rate) : QByteArray("null")) + ",\"memory_used\":" + memory
            + ",\"ch\":[";
        for (size_t k = 0; k < 8; ++k)
            out += (k ? "," : "") + ChannelText(f, k);
        out += ']';
        if (alarms)
            out += ",\"alarms\":" + alarmsField(*alarms, true);
        out += "}\n";
        break;
    }
    return out;
}

QByteArray LiveAlarmEvent(LiveFormat format, const QDateTime& pcTime, const LiveFrame& f, bool tripped, int channelNumber, Side side,
    const LiveAlarmState& alarms)
{
    const QByteArray value = ChannelText(f, size_t(channelNumber - 1));
    switch (format) {
    case LiveFormat::Jsonl:
        return QByteArray("{\"event\":\"") + (tripped ? "alarm" : "clear") + "\",\"channel\":" + QByteArray::number(channelNumber)
            + ",\"side\":\"" + sideName(side) + "\",\"value\":" + value + ",\"logger_time\":\"" + loggerTime(f)
            + "\",\"pc_time\":\"" + PcTimeText(pcTime) + "\"}\n";
    case LiveFormat::Csv: {
        QByteArray out = PcTimeText(pcTime) + ',' + loggerTime(f) + ",,,";
        for (int k = 1; k <= 8; ++k)
            out += ',' + (k == channelNumber ? value : QByteArray());
        return out + ',' + alarmsField(alarms, false) + ',' + (tripped ? "alarm ch" : "clear ch") + QByteArray::number(channelNumber) + ' '
            + sideName(side) + "\r\n";
    }
    case LiveFormat::Text: {
        QByteArray time = loggerTime(f);
        time[10] = ' ';
        return time + "  " + LiveRecordText::event(tripped, channelNumber, side).toUtf8() + ' ' + value + '\n';
    }
    }
    return {};
}
