#pragma once
// The real calendar and the time texts files carry: days in a month, days
// since 1970, and the stamps of a saved file's "17/05/2024" "08:20:30" and of
// the client's CSV "2024-05-17T08:20:30", read and written. Seconds count
// from 01/01/1970 00:00:00 on the logger's own clock: the files carry no time
// zone. The logger's own stamping rule (data/time_stamps) is not this
// calendar and stays apart from it.
#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

bool IsLeapYear(int year);
// Days of `month` (1..12) in `year` of the Gregorian calendar.
int DaysInMonth(int year, int month);
// Days from 01/01/1970 to a date of the proleptic Gregorian calendar, with
// no table and no QDate: a million rows are stamped in a few milliseconds.
qint64 DaysFromCivil(int year, int month, int day);

enum class StampKind : quint8 {
    Real,        // a calendar date and a clock time
    Impossible,  // stamped, but not a date or time that exists
    None,        // no stamp
};

struct SeriesStamp {
    qint64 Seconds = 0;  // for Real stamps only
    StampKind Kind = StampKind::None;
};

// The table's "17/05/2024" and "08:20:30" (digits of any width). Real only
// for two-digit day, month, hour, minute and second and a four-digit year
// that make a date and time; None when either text is empty (a row written
// without its time). Nothing for texts of another shape.
std::optional<SeriesStamp> StampOfTableTexts(QByteArrayView date, QByteArrayView time);
// The CSV's time "2024-05-17T08:20:30" by the same rules; empty is None. The
// stamping rules can make a day 33 or a five-digit year, and a file that
// carries one still reads: its stamp is Impossible, not malformed.
std::optional<SeriesStamp> StampOfIsoText(QByteArrayView time);

// Seconds as "2024-05-17T08:20:30", the form StampOfIsoText reads.
void AppendIsoTime(QByteArray& out, qint64 seconds);
QByteArray IsoTimeText(qint64 seconds);
// The same from its fields as they stand, a date that does not exist (a
// logger's day 33) included: four digits of year and two of the others at
// least, wider where the number is.
void AppendIsoFields(QByteArray& out, int year, int month, int day, int hour, int minute, int second);
QByteArray IsoFieldsText(int year, int month, int day, int hour, int minute, int second);
