#include "analysis/live_judge.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

LiveJudge::LiveJudge(const std::array<std::optional<AlarmRule>, 8>& rules)
{
    for (size_t k = 0; k < 8; ++k)
        if (rules[k])
            alarms_[k].emplace(int(k) + 1, *rules[k]);
}

bool LiveJudge::Judging() const
{
    return std::any_of(alarms_.begin(), alarms_.end(), [](const auto& a) { return a.has_value(); });
}

std::vector<LiveAlarmChange> LiveJudge::Add(const LiveFrame& frame)
{
    // The logger's clock as seconds of a day count, whatever the PC's time
    // zone does meanwhile.
    const QDateTime clock = LoggerClock(frame);
    const qint64 seconds = QDateTime(clock.date(), clock.time(), Qt::UTC).toSecsSinceEpoch();
    const qint64 interval = previousClock_ && seconds > *previousClock_ ? seconds - *previousClock_ : 0;
    previousClock_ = seconds;
    const bool afterGap = std::exchange(afterGap_, false);
    std::vector<LiveAlarmChange> changes;
    state_ = {};
    for (size_t k = 0; k < 8; ++k) {
        if (!alarms_[k])
            continue;
        const AlarmChanges c = alarms_[k]->Add(seconds, interval, ChannelTemperature(frame.raw[k]), afterGap);
        if (c.Cleared)
            changes.push_back({false, int(k) + 1, *c.Cleared});
        if (c.Tripped)
            changes.push_back({true, int(k) + 1, *c.Tripped});
        for (Side side : {Side::Low, Side::High})
            if (alarms_[k]->Active(side))
                state_[k] = side;
    }
    return changes;
}
