#pragma once
// The commands the program writes to the logger. Every command is one or
// more single characters; no reply is awaited for any of them.
#include <QByteArray>
#include <QDateTime>
#include <QList>

namespace Command {
inline const QByteArray Download("8");
inline const QByteArray ForcedDownload("E");
inline const QByteArray StartTransfer("X");
inline const QByteArray ResumeLive("x");
inline const QByteArray EndMarker("A");  // the logger's lone end-of-download chunk
}  // namespace Command

// The rate command for a rate item 0..3 ("1", "5", "6", "7"); empty for any
// other index (no selection).
QByteArray RateCommand(int item);

// The clock-set command as its thirteen one-character writes: "3", then hour,
// minute, second, day, month and two-digit year, two digits each, taken from
// the PC clock texts in the process-wide time and date formats.
QList<QByteArray> ClockSetWrites(const QDateTime& timeReading, const QDateTime& dateReading);

// The activity pie's next progress while capturing: one more, back to 0 at 50.
int NextPieProgress(int progress, int maxValue = 50);
