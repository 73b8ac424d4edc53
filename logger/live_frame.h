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

// Live frames out of the line's bytes however the reads cut them: a frame
// split across reads, two or more in one read, a frame cut short, bytes that
// are no frame. A frame is 63 digits and a character that is not one (the
// carriage return); anything else up to the last non-digit in view is a
// piece that is no frame, after which the reading is back in step. Unlike
// the window's accumulator it needs no pause between frames, never stays
// out of step, and never takes digits of two frames for one.
class FrameReader {
public:
    void Add(const QByteArray& chunk) { text_.append(chunk); }
    // Takes the next whole piece: true with `frame` set for a frame, with
    // `frame` empty for bytes that are no frame (`text`, when given, gets
    // the piece's bytes); false when no whole piece is held yet.
    bool Next(std::optional<LiveFrame>& frame, QByteArray* text = nullptr);
    void Clear() { text_.clear(); }
    qsizetype Held() const { return text_.size(); }

private:
    QByteArray text_;
};

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
