#pragma once
// The alarms of a logger's live frames: each judged channel's rule applied
// to every frame in turn, each frame standing for the time the logger's
// clock moved since the one before. The command-line client's live view and
// the station judge their frames through it, so an alarm trips and clears
// at the same frame in both.
#include "analysis/judgement.h"
#include "logger/live_frame.h"

#include <array>
#include <optional>
#include <vector>

// The side each channel is out on, where its alarm is active.
using LiveAlarmState = std::array<std::optional<Side>, 8>;

struct LiveAlarmChange {
    bool Tripped = false;  // else cleared
    int Channel = 0;       // 1..8
    Side Where = Side::Low;
};

class LiveJudge {
public:
    // A rule for each channel to judge; none for the others.
    explicit LiveJudge(const std::array<std::optional<AlarmRule>, 8>& rules);

    bool Judging() const;
    bool Judges(size_t k) const { return alarms_[k].has_value(); }
    bool Active(size_t k, Side side) const { return alarms_[k] && alarms_[k]->Active(side); }

    // Judges a frame: its changes, cleared ones before tripped ones, each
    // channel in order. The next frame follows a gap (the logger was away:
    // what it measured meanwhile is in its memory, not in the frames) when
    // MarkGap came first.
    std::vector<LiveAlarmChange> Add(const LiveFrame& frame);
    void MarkGap() { afterGap_ = true; }
    // After Add: the side each channel is out on.
    const LiveAlarmState& State() const { return state_; }

private:
    std::array<std::optional<ChannelAlarm>, 8> alarms_;
    LiveAlarmState state_{};
    std::optional<qint64> previousClock_;
    bool afterGap_ = false;
};
