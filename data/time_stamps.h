#pragma once
// Date and time texts of the download's stamps, and the generator that steps
// the start stamp forward by the sampling step for every data row. Plain
// values, no widgets; the Downloaded data window runs one generator per fill.
#include "data/record_decoding.h"

#include <QString>

// "0" before numbers below 10: 7 -> "07", 12 -> "12".
QString TwoDigitText(int value);
// The logger's two-digit year: "200" + n below 10, else "20" + n.
QString YearText(int twoDigitYear);
// day/month/year, for example 17/05/2024.
QString DateText(int day, int month, int twoDigitYear);
// hour:minute:second, for example 08:15:30.
QString TimeText(int hour, int minute, int second);

// Days of `month` in the two-digit `year`; for a month outside 1..12 the
// previous result stands.
int DaysInMonth(int month, int twoDigitYear, int previous);

// Steps a stamp forward by a fixed number of minutes, one data row at a time.
// The carries test for equality (minute 60, hour 24, day one past the month,
// month 13), so a field already beyond its limit keeps growing; for steps of
// 5 minutes and more a second pass carries a minute above 60. The seconds
// never change.
class TStampGenerator {
public:
    TStampGenerator(const StartStamp& start, int stepMinutes) : now_(start), step_(stepMinutes) {}

    // Advances to the next row's stamp.
    void Next();
    // Recomputes the days-in-month value from the current month and year.
    void Verify() { days_ = DaysInMonth(now_.Month, now_.Year, days_); }

    const StartStamp& Current() const { return now_; }
    int DaysInCurrentMonth() const { return days_; }
    QString CurrentDateText() const { return DateText(now_.Day, now_.Month, now_.Year); }
    QString CurrentTimeText() const { return TimeText(now_.Hour, now_.Minute, now_.Second); }

private:
    void carryFromHour();

    StartStamp now_;
    int step_;
    int days_ = 0;  // no valid month seen yet
};
