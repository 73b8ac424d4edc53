#pragma once
// The logger's own behaviour, apart from any line: its clock, its memory of
// samples, its eight channels and how it answers each command byte. The
// Simulator owns one and drives it from its thread; tests drive it directly
// with times of their choosing, so nothing here reads a clock or sleeps.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A reading of the logger's calendar clock: seconds resolution, no time zone.
struct LoggerStamp {
    int year = 2000;  // four digits; the logger itself keeps only 2000..2099
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const LoggerStamp&, const LoggerStamp&) = default;
};

// Seconds since 2000-01-01 00:00:00 of the logger's calendar.
using LoggerSeconds = std::int64_t;
LoggerSeconds ToLoggerSeconds(const LoggerStamp& stamp);
LoggerStamp ToLoggerStamp(LoggerSeconds seconds);
// True for a real calendar instant within 2000..2099.
bool IsValidStamp(const LoggerStamp& stamp);

// The eight raw counts of one reading: temperature in tenths of a degree + 500.
using LoggerSample = std::array<int, 8>;

inline constexpr int kLoggerMemoryPositions = 2000;

// Minutes between samples for a rate code 1..6; 0 for any other code.
int RateCodeMinutes(int rateCode);
// The rate code a rate command byte sets ('1' 1, '5' 4, '6' 5, '7' 6); 0 if none.
int RateCodeOfCommand(char command);

// The eight channels' temperatures as a pure function of a seed and an
// instant: slow swings of minutes to hours plus a little noise, one channel a
// freezer well below zero. Equal seeds give equal readings.
class LoggerChannels {
public:
    explicit LoggerChannels(std::uint32_t seed);
    // Channel 1..8 at `seconds` of the logger clock, in degrees Celsius.
    double Temperature(int channel, double seconds) const;
    LoggerSample At(double seconds) const;
    // temp * 10 + 500, rounded, kept to 0..4095 (what 12 bits and the live
    // frame's two-digit high part can carry).
    static int RawCount(double temperature);

private:
    std::array<double, 8> base_{};
    std::array<double, 8> phase_{};
    std::uint32_t seed_;
};

// What a download sends: the memory as it stood when "X" arrived.
struct LoggerSnapshot {
    char command = '8';     // the request that preceded "X": '8' or 'E'
    LoggerStamp start;      // the sampling instant before the first sample
    int rateCode = 1;
    std::vector<LoggerSample> samples;
};

// A memory emptied by a clock setting or a new rate: the series it held.
struct LoggerEmptied {
    LoggerStamp start;  // as a download would have stated it
    int rateCode = 1;
    int samples = 0;
};

class LoggerModel {
public:
    struct Settings {
        std::uint32_t seed = 1;
        int rateCode = 1;      // 1..6
        int battery = 180;     // 0..999; per cent is half of it
        int preloaded = 0;     // samples already in memory at start, up to 2000
        LoggerStamp start;     // the clock at running time 0
    };

    enum class Mode {
        Live,       // live frames go out
        Requested,  // "8" or "E" seen, waiting for "X"
        Sending,    // transfer pending, running or done, until "x"
    };

    enum class Event {
        None,       // byte consumed or ignored
        Requested,  // "8"/"E": stop live frames
        Transfer,   // "X" after a request: send TakeSnapshot()
        Resumed,    // "x": live frames again
        ClockSet,   // the clock was set and the memory emptied
        RateSet,    // a new rate code
    };

    explicit LoggerModel(const Settings& settings);

    // Moves the clock to `running` seconds of logger time since start (speed
    // already applied) and stores the samples that fell due; `wallMs` is real
    // time, for the command time-outs. Both only ever grow.
    void AdvanceTo(double running, double wallMs);
    Event Feed(char byte);
    // The far end has let go of the line: forget any command half-way.
    void Hangup();

    Mode CurrentMode() const { return mode_; }
    // The real time (as `wallMs` of AdvanceTo) past which the mode changes
    // by itself, a request lapsing; infinity while nothing is pending. The
    // line's thread sleeps until then rather than looking now and again.
    double ModeLapsesAfterMs() const;
    LoggerStamp Clock() const;
    int RateCode() const { return rateCode_; }
    int Battery() const { return battery_; }
    int MemoryUsed() const { return static_cast<int>(samples_.size()); }
    const std::vector<LoggerSample>& Memory() const { return samples_; }
    LoggerStamp SeriesStart() const { return ToLoggerStamp(seriesStart_); }
    const LoggerChannels& Channels() const { return channels_; }

    // The 64-character live frame for the current clock and readings.
    std::string LiveFrame() const;
    LoggerSnapshot TakeSnapshot() const;
    // The memories emptied since the last call, oldest first; an empty
    // memory started afresh is not among them.
    std::vector<LoggerEmptied> TakeEmptied() { return std::exchange(emptied_, {}); }

    // The pieces of the wire texts, kept apart so tests can check each.
    static std::string FrameText(const LoggerStamp& clock, int battery, int rateCode,
                                 const LoggerSample& sample, int positions);
    // "D" yy "/" mm "/" dd " " ss ":" mi ":" hh " R" code, CR LF: the client
    // reads positions 2-3, 5-6, 8-9, 11-12, 14-15, 17-18 and 21.
    static std::string HeaderLine(const LoggerStamp& start, int rateCode);
    // Eight fields of three-digit high byte and three-digit low byte, CR LF.
    static std::string SampleLine(const LoggerSample& sample);
    // Sent after the last sample so that it, and not a sample, is the line
    // the client leaves out along with the end marker.
    static std::string TrailerLine() { return "FIN\r\n"; }

private:
    void StartSeries(LoggerSeconds at);

    // A request that sees no "X" within this time lapses, so a lost byte
    // cannot silence the live frames for good.
    static constexpr double kRequestTimeoutMs = 5000;
    // The 13 bytes of a clock-set command arrive back to back; digits that
    // trickle in later are rate commands, not the rest of a clock.
    static constexpr double kClockDigitsTimeoutMs = 1000;

    LoggerChannels channels_;
    int rateCode_;
    int battery_;
    double offset_ = 0;       // logger seconds at running time 0
    double running_ = 0;
    double wallMs_ = 0;
    LoggerSeconds seriesStart_ = 0;
    std::vector<LoggerSample> samples_;
    std::vector<LoggerEmptied> emptied_;

    Mode mode_ = Mode::Live;
    char requestCommand_ = '8';
    double requestSinceMs_ = 0;
    bool collectingClock_ = false;
    std::string clockDigits_;
    double clockSinceMs_ = 0;
};
