#include "platform/formats.h"

#include "platform/errors.h"

#include <charconv>
#include <cmath>
#include <string>

FormatSettings& Formats()
{
    static FormatSettings settings;
    return settings;
}

void UseLoggerFormats()
{
    FormatSettings& formats = Formats();
    formats.DecimalSeparator = QLatin1Char(',');
    formats.ThousandSeparator = QLatin1Char('.');
    formats.LongTimeFormat = QStringLiteral("hh:mm:ss");
    formats.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
}

namespace {

// A finite double as decimal digits d1 d2 ... with the decimal point after
// `exponent` digits (value = 0.d1d2... * 10^exponent). The shortest text that
// reads back as the same double is taken, so 23.4 is "234", not "2339999...".
struct Decimal {
    bool negative = false;
    std::string digits;  // no leading zeros; empty means zero
    int exponent = 0;
};

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    std::string s(buf, res.ptr);
    auto e = s.find('e');
    std::string mant = s.substr(0, e);
    int exp10 = std::stoi(s.substr(e + 1));
    for (char c : mant)
        if (c != '.')
            d.digits += c;
    d.exponent = exp10 + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty() || d.digits == "0") {
        d.digits.clear();
        d.exponent = 0;
    }
    return d;
}

// Keeps `count` leading digits, rounding half away from zero.
void roundToDigits(Decimal& d, int count)
{
    if (count < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (static_cast<int>(d.digits.size()) <= count)
        return;
    bool up = d.digits[count] >= '5';
    d.digits.resize(count);
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.digits.pop_back();
            ++d.exponent;
            if (count == 0) {
                d.digits = "1";
            }
        } else {
            ++d.digits[i];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// Rounds to `decimals` places after the point (on top of any earlier rounding).
void roundToDecimals(Decimal& d, int decimals)
{
    if (d.digits.empty())
        return;
    int keep = d.exponent + decimals;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (keep == 0) {
        // Only the first digit decides: 0.05 with one decimal becomes 0.1.
        if (d.digits[0] >= '5') {
            d.digits = "1";
            d.exponent = 1 - decimals;
        } else {
            d.digits.clear();
            d.exponent = 0;
        }
        return;
    }
    roundToDigits(d, keep);
}

char digitAt(const Decimal& d, int position)  // position 0 = first digit after 10^exponent
{
    return position >= 0 && position < static_cast<int>(d.digits.size()) ? d.digits[position] : '0';
}

QString integerPart(const Decimal& d)
{
    QString out;
    for (int i = 0; i < d.exponent; ++i)
        out += QLatin1Char(digitAt(d, i));
    return out;
}

QString fractionPart(const Decimal& d, int decimals)
{
    QString out;
    for (int i = 0; i < decimals; ++i)
        out += QLatin1Char(digitAt(d, d.exponent + i));
    return out;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

}  // namespace

QString FloatToStr(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundToDigits(d, 15);
    if (d.digits.empty())
        return QStringLiteral("0");
    QString sign = d.negative ? QStringLiteral("-") : QString();
    if (d.exponent > 15 || d.exponent < -4) {
        QString mant(QLatin1Char(d.digits[0]));
        if (d.digits.size() > 1)
            mant += Formats().DecimalSeparator + QString::fromStdString(d.digits.substr(1));
        int e = d.exponent - 1;
        return sign + mant + (e < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) + QString::number(std::abs(e));
    }
    QString ip = d.exponent > 0 ? integerPart(d) : QStringLiteral("0");
    int decimals = static_cast<int>(d.digits.size()) - d.exponent;
    QString fp = decimals > 0 ? fractionPart(d, decimals) : QString();
    return sign + ip + (fp.isEmpty() ? QString() : Formats().DecimalSeparator + fp);
}

QString FloatToStrFixed(double value, int precision, int digits)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundToDigits(d, precision);
    if (d.exponent > precision)
        return FloatToStr(value);
    roundToDecimals(d, digits);
    QString sign = d.negative && !d.digits.empty() ? QStringLiteral("-") : QString();
    QString ip = d.exponent > 0 ? integerPart(d) : QStringLiteral("0");
    QString fp = digits > 0 ? Formats().DecimalSeparator + fractionPart(d, digits) : QString();
    return sign + ip + fp;
}

QString FormatFloat(const QString& pattern, double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    // Read the picture: placeholders before and after the first '.'.
    int intRequired = 0, intPlaces = 0, fracRequired = 0, fracPlaces = 0;
    bool seenPoint = false, thousands = false;
    for (QChar c : pattern) {
        if (c == QLatin1Char('.')) {
            seenPoint = true;
        } else if (c == QLatin1Char(',')) {
            thousands = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!seenPoint) {
                ++intPlaces;
                if (c == QLatin1Char('0') && intRequired == 0)
                    intRequired = intPlaces;  // zeros count from the first '0' on
            } else {
                ++fracPlaces;
                if (c == QLatin1Char('0'))
                    fracRequired = fracPlaces;
            }
        }
    }
    // A '0' forces every integer place to its right: "#0" has one required.
    if (intRequired > 0)
        intRequired = intPlaces - intRequired + 1;

    Decimal d = toDecimal(value);
    roundToDigits(d, 18);
    roundToDecimals(d, fracPlaces);

    QString ip = integerPart(d);  // empty for |value| < 1
    while (ip.size() < intRequired)
        ip.prepend(QLatin1Char('0'));
    if (thousands && ip.size() > 3) {
        for (int i = ip.size() - 3; i > 0; i -= 3)
            ip.insert(i, Formats().ThousandSeparator);
    }
    QString fp = fractionPart(d, fracPlaces);
    while (fp.size() > fracRequired && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    if (ip.isEmpty() && fp.isEmpty())
        ip = QStringLiteral("0");
    QString sign = d.negative && !d.digits.empty() ? QStringLiteral("-") : QString();
    return sign + ip + (fp.isEmpty() ? QString() : Formats().DecimalSeparator + fp);
}

QString FormatDateTime(const QString& format, const QDate& date, const QTime& time)
{
    QString out;
    bool afterHour = false;
    int i = 0;
    auto run = [&](QChar c) {
        int n = 0;
        while (i + n < format.size() && format[i + n].toLower() == c)
            ++n;
        return n;
    };
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    while (i < format.size()) {
        QChar c = format[i].toLower();
        int n = 1;
        if (c == QLatin1Char('d')) {
            n = run(c);
            out += n >= 2 ? two(date.day()) : QString::number(date.day());
            afterHour = false;
        } else if (c == QLatin1Char('m')) {
            n = run(c);
            int v = afterHour ? time.minute() : date.month();
            out += n >= 2 ? two(v) : QString::number(v);
            afterHour = false;
        } else if (c == QLatin1Char('n')) {
            n = run(c);
            out += n >= 2 ? two(time.minute()) : QString::number(time.minute());
            afterHour = false;
        } else if (c == QLatin1Char('y')) {
            n = run(c);
            out += n >= 3 ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) : two(date.year() % 100);
            afterHour = false;
        } else if (c == QLatin1Char('h')) {
            n = run(c);
            out += n >= 2 ? two(time.hour()) : QString::number(time.hour());
            afterHour = true;
        } else if (c == QLatin1Char('s')) {
            n = run(c);
            out += n >= 2 ? two(time.second()) : QString::number(time.second());
        } else if (c == QLatin1Char('/')) {
            out += Formats().DateSeparator;
        } else if (c == QLatin1Char(':')) {
            out += Formats().TimeSeparator;
        } else {
            out += format[i];
        }
        i += n;
    }
    return out;
}

QString DateToStr(const QDate& date)
{
    return FormatDateTime(Formats().ShortDateFormat, date, QTime());
}

QString TimeToStr(const QTime& time)
{
    return FormatDateTime(Formats().LongTimeFormat, QDate(), time);
}

int StrToInt(const QString& text)
{
    // Leading blanks and a sign are accepted, as the runtime does; a '$'
    // prefix reads hexadecimal.
    auto fail = [&]() -> int { throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text)); };
    int i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    }
    if (i >= text.size())
        return fail();
    long long v = 0;
    for (; i < text.size(); ++i) {
        int digit = QStringLiteral("0123456789abcdef").indexOf(text[i].toLower());
        if (digit < 0 || digit >= base)
            return fail();
        v = v * base + digit;
        if (v > 2147483648LL)
            return fail();
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return fail();
    return static_cast<int>(v);
}

double StrToFloat(const QString& text)
{
    auto fail = [&]() -> double {
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    };
    QString t = text.trimmed();
    if (t.isEmpty())
        return fail();
    std::string s;
    bool seenDigit = false, seenPoint = false, seenExp = false;
    for (int i = 0; i < t.size(); ++i) {
        QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            seenDigit = true;
            s += char(c.unicode());
        } else if (c == Formats().DecimalSeparator && !seenPoint && !seenExp) {
            seenPoint = true;
            s += '.';
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && seenDigit && !seenExp) {
            seenExp = true;
            s += 'e';
            if (i + 1 < t.size() && (t[i + 1] == QLatin1Char('+') || t[i + 1] == QLatin1Char('-')))
                s += char(t[++i].unicode());
            if (i + 1 >= t.size())
                return fail();
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && i == 0) {
            s += char(c.unicode());
        } else {
            return fail();
        }
    }
    if (!seenDigit)
        return fail();
    double v = 0;
    auto res = std::from_chars(s.data() + (s[0] == '+' ? 1 : 0), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size())
        return fail();
    return v;
}
