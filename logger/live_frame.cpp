#include "logger/live_frame.h"

#include "platform/formats.h"

bool AddToFrame(QByteArray& accumulator, const QByteArray& chunk)
{
    if (accumulator.size() > LiveFrameLength + 1)
        accumulator.clear();
    accumulator.append(chunk);
    return accumulator.size() == LiveFrameLength;
}

bool FrameReader::Next(std::optional<LiveFrame>& frame, QByteArray* text)
{
    if (text_.size() < LiveFrameLength)
        return false;
    // In step, 63 digits and their end. Out of step, the piece runs to the
    // last non-digit in view, after which the next frame begins; in view
    // are only digits when the reading came in mid-frame, and the piece is
    // then 64 of them, the step regained at the next frame's end.
    const auto digit = [&](qsizetype i) { return text_[i] >= '0' && text_[i] <= '9'; };
    qsizetype end = LiveFrameLength;
    bool inStep = !digit(LiveFrameLength - 1);
    for (qsizetype i = 0; i < LiveFrameLength - 1 && inStep; ++i)
        inStep = digit(i);
    if (!inStep) {
        for (qsizetype i = LiveFrameLength - 1; i >= 0; --i) {
            if (!digit(i)) {
                end = i + 1;
                break;
            }
        }
    }
    const QByteArray piece = text_.left(end);
    text_.remove(0, end);
    frame = inStep ? ParseLiveFrame(piece) : std::nullopt;
    if (text)
        *text = piece;
    return true;
}

std::optional<LiveFrame> ParseLiveFrame(const QByteArray& frame)
{
    if (frame.size() != LiveFrameLength)
        return std::nullopt;
    int d[LiveFrameLength] = {};
    for (int i = 0; i < LiveFrameLength - 1; ++i) {
        char c = frame[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        d[i] = c - '0';
    }
    // 1-based positions in the layout; p(k) is the digit at position k.
    auto p = [&](int k) { return d[k - 1]; };
    auto two = [&](int k) { return p(k) * 10 + p(k + 1); };
    auto three = [&](int k) { return p(k) * 100 + p(k + 1) * 10 + p(k + 2); };
    LiveFrame f;
    f.minute = two(1);
    f.hour = two(3);
    f.day = two(5);
    f.month = two(7);
    f.year = two(9);
    f.second = two(11);
    f.battery = three(13);
    f.spare = p(16);
    f.rateCode = p(17);
    for (int ch = 0; ch < 8; ++ch) {
        int at = 18 + ch * 5;
        f.raw[static_cast<size_t>(ch)] = two(at) * 256 + three(at + 2);
    }
    f.memoryHigh = three(58);
    f.memoryLow = three(61);
    return f;
}

double ChannelTemperature(int raw)
{
    return (raw - 500) / 10.0;
}

double MemoryPositions(int high, int low)
{
    return (high * 256 + low - 15) / 16.0;
}

QString MemoryText(int high, int low)
{
    return FloatToStr(MemoryPositions(high, low));
}

float BatteryLevel(int count)
{
    float level = static_cast<float>(count / 2.0);
    return level > 100 ? 100.0f : level;
}

BatteryState BatteryStateFor(float level)
{
    if (level > 76)
        return BatteryState::Ok;
    if (level < 76)
        return BatteryState::Replace;
    return BatteryState::Unchanged;
}

namespace {
QString twoDigits(int v)
{
    return v < 10 ? QStringLiteral("0%1").arg(v) : QString::number(v);
}
}  // namespace

QString LoggerDateText(const LiveFrame& f)
{
    return twoDigits(f.day) + QLatin1Char('/') + twoDigits(f.month) + QStringLiteral("/20") + twoDigits(f.year);
}

QString LoggerTimeText(const LiveFrame& f)
{
    return twoDigits(f.hour) + QLatin1Char(':') + twoDigits(f.minute) + QLatin1Char(':') + twoDigits(f.second);
}

int RateItemForCode(int code)
{
    switch (code) {
    case 1: return 0;
    case 4: return 1;
    case 5: return 2;
    case 6: return 3;
    default: return -1;
    }
}

QDateTime LoggerClock(const LiveFrame& f)
{
    return QDateTime(QDate(2000 + f.year, f.month, f.day), QTime(f.hour, f.minute, f.second));
}
