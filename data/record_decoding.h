#pragma once
// Reading the lines of a download: the header line (start stamp and rate
// code) and the sample lines (eight channels of raw counts), and the texts the
// decoded values are shown as. Plain functions, no widgets; the Downloaded
// data window calls them while it fills its grid.
#include "platform/errors.h"

#include <QString>

#include <array>

// A download line too short for the fields read from it, or missing. Shown in
// the standard error box like a conversion failure.
class EDownloadFormatError : public Exception {
public:
    using Exception::Exception;
};

// The sampling instant before the first sample. The year is two-digit
// (0..99 meaning 2000..2099). No field is range-checked.
struct StartStamp {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const StartStamp&) const = default;
};

struct DownloadHeader {
    StartStamp Start;
    int RateCode = 0;
};

constexpr int ChannelCount = 8;
constexpr int HeaderLineMinLength = 21;
constexpr int SampleLineMinLength = 48;

// The digit at 1-based `position` of `line`, converted on its own the way the
// runtime converts text to an integer: anything but "0".."9" raises
// EConvertError "'%s' is not a valid integer value". The caller makes sure
// the position lies within the line.
int DigitAt(const QString& line, int position);

// Line 0 of a download. Raises EDownloadFormatError for a line under 21
// characters and EConvertError for a non-digit at a read position.
DownloadHeader DecodeHeaderLine(const QString& line);

// Raised when the download has no line 0 at all.
[[noreturn]] void ThrowMissingHeader();

// Sample line `lineIndex` (used in the message only). Raises
// EDownloadFormatError for a line under 48 characters and EConvertError for a
// non-digit among its first 48.
std::array<double, ChannelCount> DecodeSampleLine(const QString& line, int lineIndex);

// raw = high x 256 + low; temperature = (raw - 500) / 10.
inline int RawCount(int high, int low) { return high * 256 + low; }
inline double TemperatureFromRaw(int raw) { return (raw - 500) / 10.0; }

// The one temperature text of the program: one decimal, the process-wide
// decimal separator, rounded to at most four significant digits:
// 23,5  -50,0  1235,0 for 1234.8.
QString TemperatureText(double celsius);

// "CADA 1 MINUTO" .. "CADA 60 MINUTOS" for rate codes 1..6; empty otherwise.
QString RateText(int rateCode);
// The step in minutes of the rate text, 0 when the text is none of the six.
int StepMinutesForRateText(const QString& rateText);
