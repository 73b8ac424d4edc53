#include "sim/logger_model.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace {

constexpr std::chrono::sys_days kEpoch{std::chrono::year{2000} / std::chrono::January / 1};
constexpr LoggerSeconds kSecondsPerDay = 86400;

// A small, well-mixed hash (splitmix64 finaliser): the channels' noise must
// be a pure function of seed and instant, so readings repeat run to run.
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

double Unit(std::uint64_t a, std::uint64_t b, std::uint64_t c)
{
    return static_cast<double>(Mix(a ^ Mix(b ^ Mix(c))) >> 11) / 9007199254740992.0;
}

// Where each channel sits and how far and how slowly it swings: an office, a
// refrigerator, a body, a freezer, outdoor air, a warm process, a cellar and
// a heated bath.
constexpr std::array<double, 8> kBase{21.5, 4.0, 36.6, -18.0, 14.0, 55.0, 12.5, 37.0};
constexpr std::array<double, 8> kSwing{1.5, 1.2, 0.4, 3.5, 6.0, 8.0, 0.8, 0.6};
constexpr std::array<double, 8> kPeriodSeconds{21600, 2400, 5400, 3000, 86400, 7200, 43200, 1800};

void AppendDigits(std::string& out, int value, int width)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    out += buf;
}

}  // namespace

LoggerSeconds ToLoggerSeconds(const LoggerStamp& s)
{
    using namespace std::chrono;
    const sys_days day = year_month_day{year{s.year}, month{static_cast<unsigned>(s.month)},
                                        std::chrono::day{static_cast<unsigned>(s.day)}};
    return (day - kEpoch).count() * kSecondsPerDay + s.hour * 3600 + s.minute * 60 + s.second;
}

LoggerStamp ToLoggerStamp(LoggerSeconds seconds)
{
    using namespace std::chrono;
    LoggerSeconds days = seconds / kSecondsPerDay;
    LoggerSeconds rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const year_month_day ymd{kEpoch + std::chrono::days{days}};
    LoggerStamp s;
    s.year = static_cast<int>(ymd.year());
    s.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    s.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    s.hour = static_cast<int>(rest / 3600);
    s.minute = static_cast<int>(rest / 60 % 60);
    s.second = static_cast<int>(rest % 60);
    return s;
}

bool IsValidStamp(const LoggerStamp& s)
{
    using namespace std::chrono;
    if (s.year < 2000 || s.year > 2099 || s.month < 1 || s.month > 12 || s.day < 1 || s.day > 31)
        return false;
    const year_month_day ymd{year{s.year}, month{static_cast<unsigned>(s.month)},
                             day{static_cast<unsigned>(s.day)}};
    return ymd.ok() && s.hour >= 0 && s.hour < 24 && s.minute >= 0 && s.minute < 60 && s.second >= 0
        && s.second < 60;
}

int RateCodeMinutes(int rateCode)
{
    static constexpr int minutes[] = {0, 1, 5, 10, 15, 30, 60};
    return rateCode >= 1 && rateCode <= 6 ? minutes[rateCode] : 0;
}

int RateCodeOfCommand(char command)
{
    switch (command) {
    case '1': return 1;
    case '5': return 4;
    case '6': return 5;
    case '7': return 6;
    default: return 0;
    }
}

LoggerChannels::LoggerChannels(std::uint32_t seed) : seed_(seed)
{
    for (std::size_t i = 0; i < 8; ++i) {
        base_[i] = kBase[i] + (Unit(seed, i, 1) - 0.5) * 2.0;
        phase_[i] = Unit(seed, i, 2) * 2 * std::numbers::pi;
    }
}

double LoggerChannels::Temperature(int channel, double seconds) const
{
    const auto i = static_cast<std::size_t>(std::clamp(channel, 1, 8) - 1);
    const double w = 2 * std::numbers::pi / kPeriodSeconds[i];
    const double slow = kSwing[i] * std::sin(w * seconds + phase_[i]);
    const double ripple = 0.25 * kSwing[i] * std::sin(7.3 * w * seconds + 3 * phase_[i]);
    // Noise changes every ten seconds, so consecutive live frames mostly agree.
    const auto slot = static_cast<std::uint64_t>(static_cast<std::int64_t>(std::floor(seconds / 10)));
    const double noise = (Unit(seed_, i + 16, slot) - 0.5) * 0.2;
    return base_[i] + slow + ripple + noise;
}

LoggerSample LoggerChannels::At(double seconds) const
{
    LoggerSample s{};
    for (int ch = 1; ch <= 8; ++ch)
        s[static_cast<std::size_t>(ch - 1)] = RawCount(Temperature(ch, seconds));
    return s;
}

int LoggerChannels::RawCount(double temperature)
{
    return std::clamp(static_cast<int>(std::lround(temperature * 10.0)) + 500, 0, 4095);
}

LoggerModel::LoggerModel(const Settings& settings)
    : channels_(settings.seed),
      rateCode_(settings.rateCode),
      battery_(std::clamp(settings.battery, 0, 999)),
      offset_(static_cast<double>(ToLoggerSeconds(settings.start)))
{
    const LoggerSeconds now = ToLoggerSeconds(settings.start);
    const int preloaded = std::clamp(settings.preloaded, 0, kLoggerMemoryPositions);
    const LoggerSeconds step = RateCodeMinutes(rateCode_) * 60LL;
    // The preloaded samples end at the start instant, so the memory looks as
    // if the logger had been sampling for a while before we came.
    StartSeries(now - preloaded * step);
    if (step > 0) {
        for (int i = 1; i <= preloaded; ++i)
            samples_.push_back(channels_.At(static_cast<double>(seriesStart_ + i * step)));
    }
}

void LoggerModel::StartSeries(LoggerSeconds at)
{
    if (!samples_.empty())
        emptied_.push_back(LoggerEmptied{ToLoggerStamp(seriesStart_), rateCode_, static_cast<int>(samples_.size())});
    seriesStart_ = at;
    samples_.clear();
}

void LoggerModel::AdvanceTo(double running, double wallMs)
{
    running_ = std::max(running_, running);
    wallMs_ = std::max(wallMs_, wallMs);
    const LoggerSeconds step = RateCodeMinutes(rateCode_) * 60LL;
    if (step > 0) {
        const double now = offset_ + running_;
        while (samples_.size() < static_cast<std::size_t>(kLoggerMemoryPositions)) {
            const LoggerSeconds due = seriesStart_ + static_cast<LoggerSeconds>(samples_.size() + 1) * step;
            if (static_cast<double>(due) > now)
                break;
            samples_.push_back(channels_.At(static_cast<double>(due)));
        }
    }
    if (mode_ == Mode::Requested && wallMs_ - requestSinceMs_ > kRequestTimeoutMs)
        mode_ = Mode::Live;
    if (collectingClock_ && wallMs_ - clockSinceMs_ > kClockDigitsTimeoutMs) {
        collectingClock_ = false;
        clockDigits_.clear();
    }
}

double LoggerModel::ModeLapsesAfterMs() const
{
    return mode_ == Mode::Requested ? requestSinceMs_ + kRequestTimeoutMs : std::numeric_limits<double>::infinity();
}

LoggerModel::Event LoggerModel::Feed(char byte)
{
    if (collectingClock_) {
        if (byte >= '0' && byte <= '9') {
            clockDigits_ += byte;
            if (clockDigits_.size() < 12)
                return Event::None;
            collectingClock_ = false;
            auto two = [&](std::size_t at) { return (clockDigits_[at] - '0') * 10 + (clockDigits_[at + 1] - '0'); };
            LoggerStamp set;
            set.hour = two(0);
            set.minute = two(2);
            set.second = two(4);
            set.day = two(6);
            set.month = two(8);
            set.year = 2000 + two(10);
            clockDigits_.clear();
            // A clock the logger cannot hold is refused whole rather than
            // half applied.
            if (!IsValidStamp(set))
                return Event::None;
            const LoggerSeconds at = ToLoggerSeconds(set);
            offset_ = static_cast<double>(at) - running_;
            StartSeries(at);
            return Event::ClockSet;
        }
        // Anything else breaks off the clock and is read as a command of its own.
        collectingClock_ = false;
        clockDigits_.clear();
    }

    switch (byte) {
    case '3':
        collectingClock_ = true;
        clockSinceMs_ = wallMs_;
        clockDigits_.clear();
        return Event::None;
    case '1':
    case '5':
    case '6':
    case '7': {
        const int code = RateCodeOfCommand(byte);
        // One series holds one interval: the header states a single rate for
        // every sample, so a new interval starts the memory afresh.
        if (code != rateCode_) {
            StartSeries(static_cast<LoggerSeconds>(std::floor(offset_ + running_)));
            rateCode_ = code;
        }
        return Event::RateSet;
    }
    case '8':
    case 'E':
        if (mode_ == Mode::Sending)
            return Event::None;
        mode_ = Mode::Requested;
        requestCommand_ = byte;
        requestSinceMs_ = wallMs_;
        return Event::Requested;
    case 'X':
        if (mode_ != Mode::Requested)
            return Event::None;
        mode_ = Mode::Sending;
        return Event::Transfer;
    case 'x':
        if (mode_ == Mode::Live)
            return Event::None;
        mode_ = Mode::Live;
        return Event::Resumed;
    default:
        return Event::None;
    }
}

void LoggerModel::Hangup()
{
    mode_ = Mode::Live;
    collectingClock_ = false;
    clockDigits_.clear();
}

LoggerStamp LoggerModel::Clock() const
{
    return ToLoggerStamp(static_cast<LoggerSeconds>(std::floor(offset_ + running_)));
}

std::string LoggerModel::LiveFrame() const
{
    return FrameText(Clock(), battery_, rateCode_, channels_.At(offset_ + running_), MemoryUsed());
}

LoggerSnapshot LoggerModel::TakeSnapshot() const
{
    return LoggerSnapshot{requestCommand_, SeriesStart(), rateCode_, samples_};
}

std::string LoggerModel::FrameText(const LoggerStamp& clock, int battery, int rateCode,
                                   const LoggerSample& sample, int positions)
{
    std::string f;
    f.reserve(64);
    AppendDigits(f, clock.minute, 2);
    AppendDigits(f, clock.hour, 2);
    AppendDigits(f, clock.day, 2);
    AppendDigits(f, clock.month, 2);
    AppendDigits(f, clock.year % 100, 2);
    AppendDigits(f, clock.second, 2);
    AppendDigits(f, std::clamp(battery, 0, 999), 3);
    f += '0';  // the spare digit
    f += static_cast<char>('0' + std::clamp(rateCode, 0, 9));
    for (int raw : sample) {
        raw = std::clamp(raw, 0, 4095);
        AppendDigits(f, raw / 256, 2);
        AppendDigits(f, raw % 256, 3);
    }
    const int pointer = std::clamp(positions, 0, kLoggerMemoryPositions) * 16 + 15;
    AppendDigits(f, pointer / 256, 3);
    AppendDigits(f, pointer % 256, 3);
    f += '\r';
    return f;
}

std::string LoggerModel::HeaderLine(const LoggerStamp& start, int rateCode)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "D%02d/%02d/%02d %02d:%02d:%02d R%d\r\n", start.year % 100, start.month,
                  start.day, start.second, start.minute, start.hour, std::clamp(rateCode, 0, 9));
    return buf;
}

std::string LoggerModel::SampleLine(const LoggerSample& sample)
{
    std::string line;
    line.reserve(50);
    for (int raw : sample) {
        raw = std::clamp(raw, 0, 65535);
        AppendDigits(line, raw / 256, 3);
        AppendDigits(line, raw % 256, 3);
    }
    line += "\r\n";
    return line;
}
