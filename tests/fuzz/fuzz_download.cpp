// A download as the capture and the Downloaded data window handle it: chunks
// go into the download buffer until one is the lone end marker, then the fill
// sequence's logic runs on the buffer's lines: header, row stamps, samples,
// temperature texts. Every step must either succeed with the values the
// digits stand for or fail with the program's own exception for the first
// character it cannot read; and no line may be read past its end.
//
// Input: one byte naming the rate left in the rate box by an earlier download
// (0 for none), then length-prefixed chunks.
#include "fuzz_checks.h"

#include "data/download_buffer.h"
#include "data/record_decoding.h"
#include "data/time_stamps.h"
#include "platform/formats.h"

#include <QDate>
#include <QStringList>

#include <cmath>

namespace {

// The buffer's lines as a rich edit would show them, split the slow and
// obvious way: CR LF, a lone CR and a lone LF each end one line.
QStringList referenceLines(const QByteArray& all)
{
    QStringList lines;
    QString current;
    bool open = false;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const char c = all[i];
        if (c == '\r' || c == '\n') {
            lines << current;
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < all.size() && all[i + 1] == '\n')
                ++i;
        } else {
            current += QChar(static_cast<uchar>(c));
            open = true;
        }
    }
    if (open)
        lines << current;
    return lines;
}

void checkBuffer(const TDownloadBuffer& buffer, const QByteArray& all)
{
    FUZZ_CHECK(buffer.Text() == QString::fromLatin1(all));
    const QStringList expected = referenceLines(all);
    FUZZ_CHECK(buffer.LineCount() == expected.size(),
               QStringLiteral("%1 lines, expected %2").arg(buffer.LineCount()).arg(expected.size()));
    FUZZ_CHECK(buffer.Lines().Count() == buffer.LineCount());
    for (int i = 0; i < expected.size(); ++i) {
        FUZZ_CHECK(buffer.Line(i) == expected[i], QStringLiteral("line %1").arg(i));
        FUZZ_CHECK(buffer.LineLength(i) == expected[i].size(), QStringLiteral("line %1").arg(i));
    }
    FUZZ_CHECK(buffer.Line(-1).isEmpty() && buffer.Line(buffer.LineCount()).isEmpty());
    FUZZ_CHECK(buffer.LineLength(-1) == -1 && buffer.LineLength(buffer.LineCount()) == -1);
}

// The first of `positions` (1-based) that does not hold a decimal digit, or 0.
template <std::size_t N>
int firstNonDigit(const QString& line, const int (&positions)[N])
{
    for (int p : positions)
        if (line[p - 1] < QLatin1Char('0') || line[p - 1] > QLatin1Char('9'))
            return p;
    return 0;
}

int digit(const QString& line, int position)
{
    return line[position - 1].unicode() - '0';
}

QString conversionMessage(QChar c)
{
    return QStringLiteral("'") + c + QStringLiteral("' is not a valid integer value");
}

constexpr int HeaderPositions[] = {2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 21};

// Decodes line 0 as the window does; nullopt when the fill would stop there.
std::optional<DownloadHeader> decodeHeader(const QString& line)
{
    const fuzz::ExactLine exact(line);
    const bool longEnough = line.size() >= HeaderLineMinLength;
    const int bad = longEnough ? firstNonDigit(line, HeaderPositions) : 0;
    try {
        const DownloadHeader h = DecodeHeaderLine(exact.View());
        FUZZ_CHECK(longEnough && bad == 0, line);
        const auto two = [&](int p) { return 10 * digit(line, p) + digit(line, p + 1); };
        FUZZ_CHECK(h.Start.Year == two(2) && h.Start.Month == two(5) && h.Start.Day == two(8)
                       && h.Start.Second == two(11) && h.Start.Minute == two(14) && h.Start.Hour == two(17)
                       && h.RateCode == digit(line, 21),
                   line);
        return h;
    } catch (const EDownloadFormatError& e) {
        FUZZ_CHECK(!longEnough, line);
        FUZZ_CHECK(!e.Message().isEmpty());
    } catch (const EConvertError& e) {
        FUZZ_CHECK(longEnough && bad != 0, line);
        FUZZ_CHECK(e.Message() == conversionMessage(line[bad - 1]), e.Message());
    }
    return std::nullopt;
}

bool validStart(const StartStamp& s)
{
    return s.Year <= 99 && QDate::isValid(2000 + s.Year, s.Month, s.Day) && s.Hour <= 23 && s.Minute <= 59
        && s.Second <= 59;
}

// With a start inside the calendar, every row stamp is the start plus whole
// steps on the real calendar, as long as the century lasts.
void runStamps(const StartStamp& start, int step, int rows)
{
    TStampGenerator generator(start, step);
    const bool calendar = validStart(start);
    const QDate startDate = calendar ? QDate(2000 + start.Year, start.Month, start.Day) : QDate();
    for (int r = 1; r <= rows; ++r) {
        generator.Next();
        const QString date = generator.CurrentDateText();
        const QString time = generator.CurrentTimeText();
        FUZZ_CHECK(generator.Current().Second == start.Second);
        if (!calendar)
            continue;
        const qint64 minutes = start.Hour * 60 + start.Minute + qint64{r} * step;
        const QDate day = startDate.addDays(minutes / 1440);
        if (day.year() > 2099)
            break;
        const int ofDay = static_cast<int>(minutes % 1440);
        const QString expectedDate = QString::asprintf("%02d/%02d/%04d", day.day(), day.month(), day.year());
        const QString expectedTime = QString::asprintf("%02d:%02d:%02d", ofDay / 60, ofDay % 60, start.Second);
        FUZZ_CHECK(date == expectedDate, QStringLiteral("row %1: %2, expected %3").arg(r).arg(date, expectedDate));
        FUZZ_CHECK(time == expectedTime, QStringLiteral("row %1: %2, expected %3").arg(r).arg(time, expectedTime));
    }
}

// The text a temperature of (raw - 500) tenths must show: one decimal with the
// comma below 1000 degrees; whole degrees, half away from zero, and ",0" up
// to 9999; beyond that any text that reads back as the value.
void checkTemperatureText(int raw)
{
    const QString text = TemperatureText(TemperatureFromRaw(raw));
    const int tenths = raw - 500;
    const int size = std::abs(tenths);
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    if (size < 10000) {
        FUZZ_CHECK(text == sign + QStringLiteral("%1,%2").arg(size / 10).arg(size % 10), text);
    } else if (size < 99995) {
        FUZZ_CHECK(text == sign + QStringLiteral("%1,0").arg((size + 5) / 10), text);
    } else {
        FUZZ_CHECK(!text.contains(QLatin1Char('.')), text);
        FUZZ_CHECK(std::fabs(StrToFloat(text) - tenths / 10.0) <= 0.5, text);
    }
}

void decodeSample(const QString& line, int r)
{
    static const auto positions = [] {
        std::array<int, SampleLineMinLength> p{};
        for (int i = 0; i < SampleLineMinLength; ++i)
            p[static_cast<std::size_t>(i)] = i + 1;
        return p;
    }();
    const fuzz::ExactLine exact(line);
    const bool longEnough = line.size() >= SampleLineMinLength;
    int bad = 0;
    for (int p : positions) {
        if (!longEnough || bad)
            break;
        if (line[p - 1] < QLatin1Char('0') || line[p - 1] > QLatin1Char('9'))
            bad = p;
    }
    try {
        const std::array<double, ChannelCount> t = DecodeSampleLine(exact.View(), r);
        FUZZ_CHECK(longEnough && bad == 0, line);
        for (int k = 0; k < ChannelCount; ++k) {
            const int at = 6 * k + 1;
            const int high = 100 * digit(line, at) + 10 * digit(line, at + 1) + digit(line, at + 2);
            const int low = 100 * digit(line, at + 3) + 10 * digit(line, at + 4) + digit(line, at + 5);
            const int raw = high * 256 + low;
            FUZZ_CHECK(t[static_cast<std::size_t>(k)] == (raw - 500) / 10.0, line);
            checkTemperatureText(raw);
        }
    } catch (const EDownloadFormatError& e) {
        FUZZ_CHECK(!longEnough, line);
        FUZZ_CHECK(!e.Message().isEmpty());
    } catch (const EConvertError& e) {
        FUZZ_CHECK(longEnough && bad != 0, line);
        FUZZ_CHECK(e.Message() == conversionMessage(line[bad - 1]), e.Message());
    }
}

void fill(const TDownloadBuffer& buffer, QString rateBox)
{
    const int lines = buffer.LineCount();
    const int rows = lines > 3 ? lines - 3 : 0;
    std::optional<DownloadHeader> header;
    if (lines < 1) {
        try {
            ThrowMissingHeader();
        } catch (const EDownloadFormatError& e) {
            FUZZ_CHECK(!e.Message().isEmpty());
        }
    } else {
        header = decodeHeader(buffer.Line(0));
    }
    if (header) {
        const StartStamp& s = header->Start;
        const QString rate = RateText(header->RateCode);
        FUZZ_CHECK(rate.isEmpty() == (header->RateCode < 1 || header->RateCode > 6));
        if (!rate.isEmpty())
            rateBox = rate;
        FUZZ_CHECK(DateText(s.Day, s.Month, s.Year).size() == 10);
        FUZZ_CHECK(TimeText(s.Hour, s.Minute, s.Second).size() == 8);
        const int step = StepMinutesForRateText(rateBox);
        FUZZ_CHECK(rateBox.isEmpty() == (step == 0));
        if (step > 0)
            runStamps(s, step, rows);
    }
    // The window stops at the first bad line; every line is still decoded
    // here, so a fault behind a bad line is found too.
    for (int r = 1; r <= rows; ++r)
        decodeSample(buffer.Line(r), r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Formats() = FormatSettings{};
    try {
        TDownloadBuffer buffer;
        QByteArray all;
        for (const QByteArray& chunk : fuzz::LengthPrefixedChunks(data + 1, size - 1)) {
            // A chunk that is exactly "A" ends the transfer; an "A" among
            // other characters is data.
            buffer.Append(chunk);
            all += chunk;
            if (chunk == "A")
                break;
        }
        checkBuffer(buffer, all);
        fill(buffer, RateText(data[0] % 7));
    } catch (const Exception& e) {
        fuzz::Fail("an unexpected failure of the program's own", __FILE__, __LINE__, e.Message());
    } catch (...) {
        fuzz::FailForeignException(__FILE__, __LINE__);
    }
    return 0;
}
