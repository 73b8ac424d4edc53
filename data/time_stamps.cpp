#include "data/time_stamps.h"

QString TwoDigitText(int value)
{
    return value < 10 ? QStringLiteral("0%1").arg(value) : QString::number(value);
}

QString YearText(int twoDigitYear)
{
    return twoDigitYear < 10 ? QStringLiteral("200%1").arg(twoDigitYear) : QStringLiteral("20%1").arg(twoDigitYear);
}

QString DateText(int day, int month, int twoDigitYear)
{
    return TwoDigitText(day) + QLatin1Char('/') + TwoDigitText(month) + QLatin1Char('/') + YearText(twoDigitYear);
}

QString TimeText(int hour, int minute, int second)
{
    return TwoDigitText(hour) + QLatin1Char(':') + TwoDigitText(minute) + QLatin1Char(':') + TwoDigitText(second);
}

int DaysInMonth(int month, int twoDigitYear, int previous)
{
    switch (month) {
    case 2:
        // The two-digit year means 2000..2099, where every fourth year is a
        // leap year (2000 included).
        return twoDigitYear % 4 == 0 ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    default:
        return previous;
    }
}

void TStampGenerator::carryFromHour()
{
    if (now_.Hour == 24) {
        now_.Hour = 0;
        ++now_.Day;
    }
    Verify();
    if (now_.Day == days_ + 1) {
        now_.Day = 1;
        ++now_.Month;
    }
    if (now_.Month == 13) {
        now_.Month = 1;
        ++now_.Year;
    }
}

void TStampGenerator::Next()
{
    now_.Minute += step_;
    if (now_.Minute == 60) {
        now_.Minute = 0;
        ++now_.Hour;
    }
    carryFromHour();
    if (step_ >= 5) {
        if (now_.Minute > 60) {
            now_.Minute -= 60;
            ++now_.Hour;
        }
        carryFromHour();
    }
}
