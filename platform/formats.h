#pragma once
// Process-wide number and date formats, and the formatters that read them.
// The main window resets them on every activation; everything the program
// shows with a fraction or a date goes through here, so one setting governs
// every text.
#include <QChar>
#include <QDate>
#include <QString>
#include <QTime>

struct FormatSettings {
    QChar DecimalSeparator = QLatin1Char(',');
    QChar ThousandSeparator = QLatin1Char('.');
    QString LongTimeFormat = QStringLiteral("hh:mm:ss");
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    // The system's separators: '/' and ':' in a format stand for these.
    QChar DateSeparator = QLatin1Char('/');
    QChar TimeSeparator = QLatin1Char(':');
};

// The one settings object of the process (GUI thread only).
FormatSettings& Formats();
// Sets the formats every program here shows the logger's numbers and stamps
// in: the decimal comma, the thousands dot, dd/mm/yyyy and hh:mm:ss. Each
// program's start-up, and each window that draws with them on activation,
// calls this one place.
void UseLoggerFormats();

// General format with up to 15 significant digits: 12 -> "12", 12.5 -> "12,5".
QString FloatToStr(double value);

// Fixed format: rounded to at most `precision` significant digits and to
// `digits` decimals, always `digits` decimals shown: (1234.8, 4, 1) -> "1235,0".
// Values with more integer digits than `precision` fall back to FloatToStr.
QString FloatToStrFixed(double value, int precision, int digits);

// Picture format: '0' a required digit, '#' an optional one, the first '.'
// the place of the decimal separator (later ones ignored), ',' asks for
// thousands separators. "##0.0": 23.5 -> "23,5"; "##.##.##": 7 -> "7".
QString FormatFloat(const QString& pattern, double value);

// Date and time texts in a picture format ("dd/mm/yyyy", "hh:mm:ss"):
// d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss; 'm' right after an hour means
// minutes; '/' and ':' become the separators of the settings.
QString FormatDateTime(const QString& format, const QDate& date, const QTime& time);
QString DateToStr(const QDate& date);   // short date format
QString TimeToStr(const QTime& time);   // long time format

// Conversions that fail with the runtime's messages.
int StrToInt(const QString& text);        // "'%s' is not a valid integer value"
double StrToFloat(const QString& text);   // "'%s' is not a valid floating point value"
