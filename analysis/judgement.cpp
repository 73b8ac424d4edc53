#include "analysis/judgement.h"

#include "data/series_merge.h"

#include <algorithm>
#include <cmath>
#include <limits>

AlarmChanges ChannelAlarm::addAny(qint64 time, qint64 interval, double value, bool afterGap, std::vector<Excursion>* closed)
{
    AlarmChanges changes;
    if (open_ && (afterGap || std::isnan(value)))
        close(lastTime_ + lastInterval_, closed);
    if (std::isnan(value))
        return changes;
    std::optional<Side> side;
    if (rule_.Range.Above(value))
        side = Side::High;
    else if (rule_.Range.Below(value))
        side = Side::Low;
    if (open_ && side != current_.Where)
        close(time, closed);
    for (Side s : {Side::Low, Side::High})
        if (active_[size_t(s)] && side != s) {
            active_[size_t(s)] = false;
            changes.Cleared = s;
        }
    lastTime_ = time;
    lastInterval_ = interval;
    if (!side)
        return changes;
    if (!open_) {
        open_ = true;
        current_ = Excursion{channel_, *side, time, time, value, time};
        outside_ = 0;
    } else if (*side == Side::High ? value > current_.Peak : value < current_.Peak) {
        current_.Peak = value;
        current_.PeakTime = time;
    }
    outside_ += interval;
    const qint64 counted = cumulative_[size_t(*side)] += interval;
    const qint64 reached = rule_.Mode == AlarmMode::Consecutive ? outside_ : counted;
    if (!active_[size_t(*side)] && (reached >= rule_.Delay || rule_.Delay == 0)) {
        active_[size_t(*side)] = true;
        changes.Tripped = side;
    }
    return changes;
}

void ChannelAlarm::Finish(std::vector<Excursion>* closed)
{
    if (open_)
        close(lastTime_ + lastInterval_, closed);
}

void ChannelAlarm::close(qint64 end, std::vector<Excursion>* closed)
{
    open_ = false;
    current_.End = end;
    if (closed)
        closed->push_back(current_);
}

// The running sums of one channel. The mean kinetic temperature is
// (ΔH/R) / −ln(Σ wᵢ·e^(−ΔH/(R·Tᵢ)) / Σ wᵢ); its exponentials are summed
// relative to the largest exponent so far, so that none of them overflows
// or underflows, whatever the readings.
struct SeriesJudge::Channel {
    ChannelStatistics Stats;
    std::optional<ChannelAlarm> Alarm;
    std::vector<Excursion> Closed;
    double Weights = 0, WeightedSum = 0;
    double Shift = 0, Shifted = 0, ShiftedSquares = 0;  // for the deviation
    double TopExponent = 0, Exponentials = 0;
    // The exponent of each value met and exp(exponent - TopExponent) of
    // those met since TopExponent last changed, by tenths of a degree: a
    // logger reads in tenths from -50 to 150 °C, so nearly every sample
    // finds both here, and the division and the exponentials, not the
    // reading, would otherwise cost most of the time.
    struct Memo {
        double Value = std::numeric_limits<double>::quiet_NaN();
        double Exponent = 0;
        double Factor = 0;
        quint32 Generation = 0;  // of Factor; 0 for none
    };
    std::vector<Memo> Memos = std::vector<Memo>(4096);
    quint32 Generation = 1;

    Memo& memo(double value, double kelvinsPerActivation)
    {
        // The slot only spreads the values; the memo holds the value itself.
        const double tenths = value * 10;
        const qint64 slot = std::fabs(tenths) < 1e15 ? qint64(tenths + (tenths < 0 ? -0.5 : 0.5)) : 0;
        Memo& m = Memos[size_t(slot & 4095)];
        if (!(m.Value == value))
            m = Memo{value, -kelvinsPerActivation / (value + 273.15), 0, 0};
        return m;
    }

    double factor(Memo& m)
    {
        if (m.Generation != Generation) {
            m.Factor = std::exp(m.Exponent - TopExponent);
            m.Generation = Generation;
        }
        return m.Factor;
    }

    void add(qint64 time, qint64 interval, double value, bool afterGap, double kelvinsPerActivation)
    {
        ChannelStatistics& s = Stats;
        if (Alarm) {
            const AlarmChanges changes = Alarm->Add(time, interval, value, afterGap, &Closed);
            if (changes.Tripped && std::none_of(s.Alarms.begin(), s.Alarms.end(), [&](const ::Alarm& a) { return a.Where == *changes.Tripped; }))
                s.Alarms.push_back(::Alarm{*changes.Tripped, time, 0});
        }
        if (std::isnan(value))
            return;
        const double w = interval > 0 ? double(interval) : 1.0;
        Memo& m = memo(value, kelvinsPerActivation);
        const double exponent = m.Exponent;
        if (s.Count == 0) {
            s.First = time;
            s.Min = s.Max = value;
            s.MinTime = s.MaxTime = time;
            Shift = value;
            TopExponent = exponent;
        }
        ++s.Count;
        s.Last = time;
        if (value < s.Min) {
            s.Min = value;
            s.MinTime = time;
        }
        if (value > s.Max) {
            s.Max = value;
            s.MaxTime = time;
        }
        Weights += w;
        WeightedSum += w * value;
        Shifted += value - Shift;
        ShiftedSquares += (value - Shift) * (value - Shift);
        if (exponent <= TopExponent) {
            Exponentials += w * factor(m);
        } else {
            Exponentials = Exponentials * std::exp(TopExponent - exponent) + w;
            TopExponent = exponent;
            ++Generation;
        }
        if (s.Judged) {
            qint64& bucket = s.Judged->Above(value) ? s.SecondsAbove : s.Judged->Below(value) ? s.SecondsBelow : s.SecondsInRange;
            bucket += interval;
        }
    }

    void finish(double kelvinsPerActivation)
    {
        ChannelStatistics& s = Stats;
        if (Alarm)
            Alarm->Finish(&Closed);
        const double n = double(s.Count);
        s.Mean = s.Count ? WeightedSum / Weights : std::nan("");
        s.Sd = s.Count > 1 ? std::sqrt(std::max(0.0, (ShiftedSquares - Shifted * Shifted / n) / (n - 1))) : std::nan("");
        s.Mkt = s.Count ? kelvinsPerActivation / -(TopExponent + std::log(Exponentials / Weights)) - 273.15 : std::nan("");
        s.Excursions = int(Closed.size());
        for (const Excursion& e : Closed)
            s.LongestExcursion = std::max(s.LongestExcursion, e.Seconds());
        // The excursion that tripped each alarm: the one under way at its time.
        for (::Alarm& a : s.Alarms)
            for (const Excursion& e : Closed)
                if (e.Where == a.Where && e.Start <= a.Time && a.Time < std::max(e.End, e.Start + 1))
                    a.ExcursionStart = e.Start;
    }
};

SeriesJudge::SeriesJudge(const JudgementOptions& options) : options_(options)
{
    for (int channel : options_.Channels) {
        Channel& c = channels_.emplace_back();
        c.Stats.Channel = channel;
        c.Stats.Judged = options_.Limit[size_t(channel - 1)];
        if (c.Stats.Judged)
            c.Alarm.emplace(channel, AlarmRule{*c.Stats.Judged, options_.Delay, options_.Mode});
    }
}

SeriesJudge::~SeriesJudge() = default;

void SeriesJudge::Add(qint64 time, qint64 interval, const std::array<double, 8>& values)
{
    const bool afterGap = judgement_.Rows > 0 && IsSamplingGap(time - lastTime_, lastInterval_);
    if (afterGap)
        judgement_.Gaps.push_back(Gap{lastTime_, time});
    if (judgement_.Rows++ == 0)
        judgement_.From = time;
    judgement_.To = time;
    lastTime_ = time;
    lastInterval_ = interval;
    const double kelvins = options_.ActivationEnergy * 1000 / 8.3144;
    for (Channel& c : channels_)
        c.add(time, interval, values[size_t(c.Stats.Channel - 1)], afterGap, kelvins);
}

SeriesJudgement SeriesJudge::Finish()
{
    const double kelvins = options_.ActivationEnergy * 1000 / 8.3144;
    for (Channel& c : channels_) {
        c.finish(kelvins);
        judgement_.Excursions.insert(judgement_.Excursions.end(), c.Closed.begin(), c.Closed.end());
        judgement_.Channels.push_back(std::move(c.Stats));
    }
    std::stable_sort(judgement_.Excursions.begin(), judgement_.Excursions.end(),
        [](const Excursion& a, const Excursion& b) { return a.Start != b.Start ? a.Start < b.Start : a.Channel < b.Channel; });
    return std::move(judgement_);
}

bool SeriesJudgement::AllPass() const
{
    return std::all_of(Channels.begin(), Channels.end(), [](const ChannelStatistics& c) { return !c.Judged || c.Passes(); });
}
