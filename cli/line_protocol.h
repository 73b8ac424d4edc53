#pragma once
// Samples and live frames as InfluxDB line protocol, the form Telegraf and
// InfluxDB read:
//   veltra8,logger=cold\ room ch1=4.5,ch2=-18.2 1715926530000000000
// Measurement `veltra8`, one tag `logger`, the temperatures as float fields
// ch1..ch8 (a missing reading left out), a live frame's battery_pct and
// memory_used as integers, the time in nanoseconds since the epoch (UTC).
// A sample's time is the logger's wall clock read in the PC's time zone
// (UtcOfWallSeconds says how a change of summer time is resolved); a live
// frame's is the PC's.
#include "data/saved_file.h"
#include "logger/live_frame.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <optional>

// `name` as the logger tag's value: comma, equals sign and blank escaped
// with a backslash. Nothing for a name InfluxDB cannot take back as it was
// given: empty, with a control character (a line end would split the line)
// or a backslash.
std::optional<QByteArray> LoggerTagValue(const QString& name);

// One sample's line from its wall time and its eight temperature texts
// (with a decimal dot or comma, empty for a missing reading). False, with
// nothing written, when all eight are missing: a line needs a field.
bool AppendSampleLine(QByteArray& out, QByteArrayView tag, qint64 wallSeconds, const QByteArrayView* temperatures);

// A download's rows as lines. Rows without a real time (a stamp that is no
// date, or none) or without any reading have no line; `leftOut` counts them.
QByteArray LineProtocolBytes(QByteArrayView tag, const TableRows& rows, qint64& leftOut);

// A live frame's line, stamped with the PC's time. The battery level and
// the memory in use are rounded to whole numbers.
QByteArray LiveFrameLine(QByteArrayView tag, const QDateTime& pcTime, const LiveFrame& frame);
