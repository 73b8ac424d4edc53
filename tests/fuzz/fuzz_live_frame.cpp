// The live-frame road as the main window walks it: chunks as the port hands
// them over go into the frame accumulator; whenever it holds exactly one
// frame, the frame is parsed, every conversion runs on the result and the
// accumulator is emptied, whether or not the frame was readable.
#include "fuzz_checks.h"

#include "logger/live_frame.h"
#include "platform/errors.h"
#include "platform/formats.h"

#include <cmath>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The clock, battery, spare, rate and memory fields written back as digits:
// a field read from the wrong place or with the wrong weight shows up as a
// difference from what was received.
QByteArray rewrittenFields(const LiveFrame& f)
{
    return QString::asprintf("%02d%02d%02d%02d%02d%02d%03d%d%d|%03d%03d", f.minute, f.hour, f.day, f.month, f.year,
                             f.second, f.battery, f.spare, f.rateCode, f.memoryHigh, f.memoryLow)
        .toLatin1();
}

bool isTwoDigitField(const QString& text, int at)
{
    return text[at].isDigit() && text[at + 1].isDigit();
}

void checkConversions(const LiveFrame& f, const QByteArray& frame)
{
    const QByteArray received = frame.left(17) + '|' + frame.mid(57, 6);
    FUZZ_CHECK(rewrittenFields(f) == received, QString::fromLatin1(rewrittenFields(f) + " vs " + received));
    // Channel k: two digits of high part at 18 + 5k, three of low part after them.
    for (int k = 0; k < 8; ++k) {
        const int high = frame.mid(17 + 5 * k, 2).toInt();
        const int low = frame.mid(19 + 5 * k, 3).toInt();
        FUZZ_CHECK(f.raw[static_cast<std::size_t>(k)] == high * 256 + low);
    }

    for (int raw : f.raw) {
        FUZZ_CHECK(raw >= 0 && raw <= 99 * 256 + 999);
        const double t = ChannelTemperature(raw);
        FUZZ_CHECK(std::isfinite(t) && t >= -50.0 && t <= (99 * 256 + 999 - 500) / 10.0);
        // The indicators take single precision; the value must stay a number.
        FUZZ_CHECK(std::isfinite(static_cast<float>(t)));
    }

    // The memory text reads back as the same number: general format with the
    // decimal comma loses nothing for these sixteenths.
    const QString memory = MemoryText(f.memoryHigh, f.memoryLow);
    FUZZ_CHECK(!memory.isEmpty());
    FUZZ_CHECK(!memory.contains(QLatin1Char('.')), memory);
    FUZZ_CHECK(StrToFloat(memory) == MemoryPositions(f.memoryHigh, f.memoryLow), memory);

    const float level = BatteryLevel(f.battery);
    FUZZ_CHECK(level >= 0.0f && level <= 100.0f);
    const BatteryState state = BatteryStateFor(level);
    FUZZ_CHECK((state == BatteryState::Unchanged) == (level == 76.0f));

    const QString date = LoggerDateText(f);
    const QString time = LoggerTimeText(f);
    FUZZ_CHECK(date.size() == 10 && date[2] == QLatin1Char('/') && date[5] == QLatin1Char('/')
                   && date.mid(6, 2) == QLatin1String("20") && isTwoDigitField(date, 0)
                   && isTwoDigitField(date, 3) && isTwoDigitField(date, 8),
               date);
    FUZZ_CHECK(time.size() == 8 && time[2] == QLatin1Char(':') && time[5] == QLatin1Char(':')
                   && isTwoDigitField(time, 0) && isTwoDigitField(time, 3) && isTwoDigitField(time, 6),
               time);
    // The clock texts carry the received digits unchanged.
    FUZZ_CHECK(date == QString::fromLatin1(frame.mid(4, 2) + '/' + frame.mid(6, 2) + "/20" + frame.mid(8, 2)), date);
    FUZZ_CHECK(time == QString::fromLatin1(frame.mid(2, 2) + ':' + frame.mid(0, 2) + ':' + frame.mid(10, 2)), time);

    const int item = RateItemForCode(f.rateCode);
    FUZZ_CHECK(item >= -1 && item <= 3);
}

void parseAndShow(const QByteArray& frame)
{
    bool allDigits = frame.size() == LiveFrameLength;
    for (int i = 0; allDigits && i < LiveFrameLength - 1; ++i)
        allDigits = isDigit(frame[i]);
    const std::optional<LiveFrame> f = ParseLiveFrame(frame);
    FUZZ_CHECK(f.has_value() == allDigits);
    if (f)
        checkConversions(*f, frame);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Formats() = FormatSettings{};
    QByteArray accumulator;
    FrameReader reader;
    qsizetype readerTook = 0;
    qsizetype given = 0;
    try {
        for (const QByteArray& chunk : fuzz::LengthPrefixedChunks(data, size)) {
            const qsizetype before = accumulator.size();
            const bool complete = AddToFrame(accumulator, chunk);
            const qsizetype held = accumulator.size();
            FUZZ_CHECK(complete == (held == LiveFrameLength));
            // Whatever runs together, the accumulator never holds more than
            // one frame and a spare character before a chunk is added.
            FUZZ_CHECK(held <= LiveFrameLength + 1 + chunk.size());
            FUZZ_CHECK(held == (before > LiveFrameLength + 1 ? 0 : before) + chunk.size());
            // Any other length is no frame at all.
            if (!complete)
                FUZZ_CHECK(!ParseLiveFrame(accumulator).has_value());
            if (complete) {
                parseAndShow(accumulator);
                accumulator.clear();
            }

            // The reader hands out every byte once, in pieces of at most a
            // frame, keeps less than a frame, and calls a piece a frame only
            // when it reads as one.
            reader.Add(chunk);
            given += chunk.size();
            std::optional<LiveFrame> frame;
            QByteArray piece;
            while (reader.Next(frame, &piece)) {
                FUZZ_CHECK(!piece.isEmpty() && piece.size() <= LiveFrameLength);
                FUZZ_CHECK(frame.has_value() == (piece.size() == LiveFrameLength && ParseLiveFrame(piece).has_value()
                                                    && (piece.back() < '0' || piece.back() > '9')));
                readerTook += piece.size();
            }
            FUZZ_CHECK(reader.Held() < LiveFrameLength);
            FUZZ_CHECK(readerTook + reader.Held() == given);
        }
    } catch (const Exception&) {
        // The conversions here raise nothing for decoded digits; a failure
        // would mean a text the program wrote cannot be read back.
        fuzz::Fail("a conversion failed on decoded digits", __FILE__, __LINE__);
    } catch (...) {
        fuzz::FailForeignException(__FILE__, __LINE__);
    }
    return 0;
}
