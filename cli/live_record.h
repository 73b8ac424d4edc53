#pragma once
// A live frame as a record of the `live` command: text for people (a
// header, then aligned columns), CSV (header pc_time,logger_time,battery_pct,
// rate_min,memory_used,ch1..ch8) or JSON lines (the same names, channels as
// the array "ch"). Times: the PC's as ISO 8601 with milliseconds and the UTC
// offset, the logger's as YYYY-MM-DDThh:mm:ss. Numbers with a dot.
#include "analysis/live_judge.h"
#include "logger/live_frame.h"

#include <QByteArray>
#include <QDateTime>

enum class LiveFormat { Text, Csv, Jsonl };

// The records of `live --limit` take the side each channel's alarm is on
// (LiveAlarmState): they gain a last field, "alarms" ("ch1:high ch3:low",
// empty for none; in JSON an array of {"channel","side"}), and CSV and text
// an "event" field after it.

// The lines before the first record (empty for JSON lines).
QByteArray LiveHeader(LiveFormat format, bool withAlarms = false);
QByteArray LiveRecord(LiveFormat format, const QDateTime& pcTime, const LiveFrame& frame, const LiveAlarmState* alarms = nullptr);
// The record of an alarm that trips (`tripped`) or clears on `channel` at
// this frame: in JSON lines {"event","channel","side","value","logger_time",
// "pc_time"}; in CSV a row with the times, the channel's value in its
// column, the alarms after it and "alarm chN high" in "event".
QByteArray LiveAlarmEvent(LiveFormat format, const QDateTime& pcTime, const LiveFrame& frame, bool tripped, int channel, Side side,
    const LiveAlarmState& alarms);
// "2024-05-17T08:15:30", the logger's clock as the records write it.
QByteArray LoggerIsoTime(const LiveFrame& frame);

// "2024-05-17T08:15:30.123+02:00".
QByteArray PcTimeText(const QDateTime& time);
// The sampling interval in minutes of a rate code (1, 5, 10, 15, 30, 60);
// 0 for any other code.
int RateMinutes(int rateCode);
// Channel k's (0..7) temperature with a decimal dot: "23.5".
QByteArray ChannelText(const LiveFrame& frame, size_t k);
