#pragma once
// A series judged against limits, and the statistics of each channel.
//
// A sample stands for its sampling interval, from its time on: time in
// range, above and below are sums of intervals, so files of different
// rates weigh right when merged. Samples further apart than 1.5 intervals
// (IsSamplingGap) leave a gap: time without data that counts nowhere and
// ends any excursion. A missing reading of one channel ends that channel's
// excursion alike.
//
// An excursion is a run of samples on one side of a channel's limits. Its
// alarm trips at the first sample at which the time outside reaches the
// delay: within one excursion (consecutive) or all of it on that side so
// far (cumulative), each sample counting its own interval. A delay of up to
// one interval therefore trips at the first sample outside.
#include "analysis/limits.h"

#include <QtGlobal>

#include <array>
#include <cmath>
#include <optional>
#include <vector>

enum class Side : quint8 { Low, High };
enum class AlarmMode : quint8 { Consecutive, Cumulative };

struct AlarmRule {
    Limits Range;
    qint64 Delay = 0;  // seconds
    AlarmMode Mode = AlarmMode::Consecutive;
};

struct Excursion {
    int Channel = 0;
    Side Where = Side::High;
    qint64 Start = 0;  // its first sample
    // The first sample back in range; its last sample plus one interval
    // when the data, or the channel's readings, end or a gap follows.
    qint64 End = 0;
    double Peak = 0;  // the highest above, the lowest below
    qint64 PeakTime = 0;
    qint64 Seconds() const { return End - Start; }
};

// What one sample changed of a channel's alarms. A sample that leaves one
// side for the other clears the first and may trip the second.
struct AlarmChanges {
    std::optional<Side> Cleared;
    std::optional<Side> Tripped;
};

// One channel's alarm, sample by sample: what the live view and the
// station keep per channel, and what the judging of a saved series runs
// on. An alarm clears at the first sample that is not on its side.
class ChannelAlarm {
public:
    ChannelAlarm(int channel, const AlarmRule& rule) : channel_(channel), rule_(rule) {}

    // A reading at `time` (seconds), standing for `interval` seconds, in
    // time order; NaN for none. `afterGap`: time without data lies before
    // it. Closed excursions go to `closed` when one is given.
    AlarmChanges Add(qint64 time, qint64 interval, double value, bool afterGap, std::vector<Excursion>* closed = nullptr)
    {
        // Nearly every sample: in range, with nothing under way to close or
        // clear. A million rows judged on eight channels make this count.
        if (!open_ && !active_[0] && !active_[1] && !rule_.Range.Above(value) && !rule_.Range.Below(value) && !std::isnan(value)) {
            lastTime_ = time;
            lastInterval_ = interval;
            return {};
        }
        return addAny(time, interval, value, afterGap, closed);
    }
    // Closes the excursion under way, as the data ends.
    void Finish(std::vector<Excursion>* closed);

    bool Active(Side side) const { return active_[size_t(side)]; }
    const AlarmRule& Rule() const { return rule_; }

private:
    AlarmChanges addAny(qint64 time, qint64 interval, double value, bool afterGap, std::vector<Excursion>* closed);
    void close(qint64 end, std::vector<Excursion>* closed);

    int channel_;
    AlarmRule rule_;
    bool open_ = false;
    Excursion current_;
    qint64 outside_ = 0;                      // seconds of the excursion under way
    std::array<qint64, 2> cumulative_{0, 0};  // seconds outside per side so far
    std::array<bool, 2> active_{false, false};
    qint64 lastTime_ = 0;
    qint64 lastInterval_ = 0;
};

struct Alarm {
    Side Where = Side::High;
    qint64 Time = 0;  // of the sample at which it tripped
    qint64 ExcursionStart = 0;
};

struct ChannelStatistics {
    int Channel = 0;
    qint64 Count = 0;  // samples with a reading and a real time
    qint64 First = 0, Last = 0;
    double Min = 0, Max = 0;
    qint64 MinTime = 0, MaxTime = 0;  // first occurrence
    double Mean = 0;                  // weighted by the samples' intervals
    double Sd = 0;                    // of the sample values, n - 1; NaN below two samples
    double Mkt = 0;                   // mean kinetic temperature, °C
    std::optional<Limits> Judged;     // none when the channel has no limit
    qint64 SecondsAbove = 0, SecondsBelow = 0, SecondsInRange = 0;
    int Excursions = 0;
    qint64 LongestExcursion = 0;
    std::vector<Alarm> Alarms;  // at most one per side, in time order

    qint64 SecondsWithData() const { return SecondsAbove + SecondsBelow + SecondsInRange; }
    // A judged channel passes when it has readings and no alarm tripped.
    bool Passes() const { return Count > 0 && Alarms.empty(); }
};

struct Gap {
    qint64 From = 0;  // the last sample before it
    qint64 To = 0;    // the first sample after it
};

struct SeriesJudgement {
    qint64 From = 0, To = 0;  // the first and last real time
    qint64 Rows = 0;          // with a real time
    qint64 RowsWithoutTime = 0;
    std::vector<Gap> Gaps;
    std::vector<ChannelStatistics> Channels;  // those asked for, in order
    std::vector<Excursion> Excursions;        // by start, then channel
    bool AllPass() const;
};

struct JudgementOptions {
    std::vector<int> Channels;                 // 1..8, in the order reported
    std::array<std::optional<Limits>, 8> Limit;  // by channel - 1
    qint64 Delay = 0;
    AlarmMode Mode = AlarmMode::Consecutive;
    double ActivationEnergy = 83.144;  // kJ/mol
};

// Judges a series row by row, in time order, keeping no rows: a million
// rows cost their reading alone.
class SeriesJudge {
public:
    explicit SeriesJudge(const JudgementOptions& options);
    ~SeriesJudge();

    // A row with a real time, its sampling interval (0 when unknown: it
    // then weighs as one second in the mean and MKT and counts no time) and
    // its eight temperatures, NaN for no reading.
    void Add(qint64 time, qint64 interval, const std::array<double, 8>& values);
    void AddWithoutTime() { ++judgement_.RowsWithoutTime; }
    SeriesJudgement Finish();

private:
    struct Channel;
    JudgementOptions options_;
    std::vector<Channel> channels_;
    SeriesJudgement judgement_;
    qint64 lastTime_ = 0, lastInterval_ = 0;
};
