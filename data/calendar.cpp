#include "data/calendar.h"

#include <array>

namespace {

// Splits `text` into digit groups at the separators, in order; false when
// its shape is any other. Groups wider than nine digits keep no value.
template <size_t N>
bool digitGroups(QByteArrayView text, const char (&separators)[N], std::array<int, N>& values, std::array<int, N>& widths)
{
    size_t group = 0;
    values.fill(0);
    widths.fill(0);
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (widths[group] < 9)
                values[group] = values[group] * 10 + (c - '0');
            ++widths[group];
        } else if (group + 1 < N && c == separators[group] && widths[group] > 0) {
            ++group;
        } else {
            return false;
        }
    }
    return group + 1 == N && widths[group] > 0;
}

SeriesStamp stampOf(int year, int month, int day, int hour, int minute, int second, bool widthsFit)
{
    SeriesStamp stamp;
    stamp.Kind = StampKind::Impossible;
    if (!widthsFit || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23
        || minute > 59 || second > 59)
        return stamp;
    stamp.Kind = StampKind::Real;
    stamp.Seconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return stamp;
}

void appendNumber(QByteArray& out, qint64 value, int width)
{
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    const bool negative = value < 0;
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    do {
        *--p = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    while (end - p < width)
        *--p = '0';
    if (negative)
        *--p = '-';
    out.append(p, end - p);
}

}  // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

qint64 DaysFromCivil(int year, int month, int day)
{
    const qint64 y = year - (month <= 2);
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<SeriesStamp> StampOfTableTexts(QByteArrayView date, QByteArrayView time)
{
    if (date.isEmpty() || time.isEmpty())
        return SeriesStamp{};
    std::array<int, 3> d{}, dw{}, t{}, tw{};
    if (!digitGroups(date, "//", d, dw) || !digitGroups(time, "::", t, tw))
        return std::nullopt;
    const bool widths = dw == std::array<int, 3>{2, 2, 4} && tw == std::array<int, 3>{2, 2, 2};
    return stampOf(d[2], d[1], d[0], t[0], t[1], t[2], widths);
}

std::optional<SeriesStamp> StampOfIsoText(QByteArrayView time)
{
    if (time.isEmpty())
        return SeriesStamp{};
    // The shape every row this program writes has, YYYY-MM-DDThh:mm:ss,
    // read at its fixed places: stamping a million rows is bound by this.
    if (time.size() == 19 && time[4] == '-' && time[7] == '-' && time[10] == 'T' && time[13] == ':' && time[16] == ':') {
        const auto digit = [&time](int i) { return unsigned(time[i]) - unsigned('0'); };
        bool digits = true;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
            digits &= digit(i) < 10;
        const auto two = [&digit](int i) { return int(digit(i) * 10 + digit(i + 1)); };
        if (digits)
            return stampOf(two(0) * 100 + two(2), two(5), two(8), two(11), two(14), two(17), true);
    }
    std::array<int, 6> v{}, w{};
    if (!digitGroups(time, "--T::", v, w))
        return std::nullopt;
    const bool widths = w == std::array<int, 6>{4, 2, 2, 2, 2, 2};
    return stampOf(v[0], v[1], v[2], v[3], v[4], v[5], widths);
}

void AppendIsoTime(QByteArray& out, qint64 seconds)
{
    // The inverse of DaysFromCivil, on the same eras of 400 years.
    qint64 days = seconds / 86400, second = seconds % 86400;
    if (second < 0) {
        second += 86400;
        --days;
    }
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 mp = (5 * dayOfYear + 2) / 153;
    const qint64 day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const qint64 month = mp < 10 ? mp + 3 : mp - 9;
    const qint64 year = yearOfEra + era * 400 + (month <= 2);
    AppendIsoFields(out, int(year), int(month), int(day), int(second / 3600), int(second / 60 % 60), int(second % 60));
}

void AppendIsoFields(QByteArray& out, int year, int month, int day, int hour, int minute, int second)
{
    appendNumber(out, year, 4);
    out += '-';
    appendNumber(out, month, 2);
    out += '-';
    appendNumber(out, day, 2);
    out += 'T';
    appendNumber(out, hour, 2);
    out += ':';
    appendNumber(out, minute, 2);
    out += ':';
    appendNumber(out, second, 2);
}

QByteArray IsoFieldsText(int year, int month, int day, int hour, int minute, int second)
{
    QByteArray out;
    AppendIsoFields(out, year, month, day, hour, minute, second);
    return out;
}

QByteArray IsoTimeText(qint64 seconds)
{
    QByteArray out;
    AppendIsoTime(out, seconds);
    return out;
}
