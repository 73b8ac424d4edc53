#pragma once
// The logger's live frame: 64 characters, recognised by length alone. This
// file holds the frame assembler and the field conversions, apart from any
// window, so both can be tested with plain strings.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

constexpr int LiveFrameLength = 64;

// Adds a chunk to a frame accumulator held elsewhere (the main window keeps
// its own): emptied first when it holds more than 65 characters; true when
// exactly 64 characters are now held.
bool AddToFrame(QByteArray& accumulator, const QByteArray& chunk);

// Collects received characters until exactly one frame's worth is held. The
// accumulator is emptied when it holds more than 65 characters before new
// ones are added: frames that ran together are dropped, and collection falls
// back into step at the logger's next pause.
class FrameAccumulator {
public:
    // Adds a chunk; true when exactly 64 characters are now held.
    bool Add(const QByteArray& chunk);
    void Clear() { text_.clear(); }
    const QByteArray& Text() const { return text_; }
    QByteArray& Text() { return text_; }

private:
    QByteArray text_;
};

// The decoded fields of a frame; digits only, as the logger sends them.
struct LiveFrame {
    int minute = 0, hour = 0, day = 0, month = 0, year = 0, second = 0;
    int battery = 0;   // count 0..999; level in per cent is count / 2
    int spare = 0;
    int rateCode = 0;
    std::array<int, 8> raw{};  // channel raw counts, high * 256 + low
    int memoryHigh = 0, memoryLow = 0;
};

// Decodes characters 1..63 of a 64-character frame. Character 64 is never
// read. nullopt when the length is wrong or a character in 1..63 is not a
// decimal digit.
std::optional<LiveFrame> ParseLiveFrame(const QByteArray& frame);

// Channel temperature in degrees Celsius: (raw - 500) / 10.
double ChannelTemperature(int raw);

// Memory positions in use, (high * 256 + low - 15) / 16, and its text in
// general format with the decimal comma: "12", "12,5", "-0,9375".
double MemoryPositions(int high, int low);
QString MemoryText(int high, int low);

// Battery level in per cent: count / 2, values above 100 shown as 100.
float BatteryLevel(int count);

enum class BatteryState { Ok, Replace, Unchanged };
// Above 76 OK, below 76 replace; exactly 76 keeps the previous look.
BatteryState BatteryStateFor(float level);

// The logger's clock as a local date and time; invalid when the frame's
// fields are no date.
QDateTime LoggerClock(const LiveFrame& frame);

// "07/03/2022" and "14:05:09" from the frame's clock fields.
QString LoggerDateText(const LiveFrame& f);
QString LoggerTimeText(const LiveFrame& f);

// The main window's rate item for a frame's rate code: 1 -> 0, 4 -> 1,
// 5 -> 2, 6 -> 3; -1 leaves the selection as it is.
int RateItemForCode(int code);
