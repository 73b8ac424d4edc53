#include "data/record_decoding.h"

#include "platform/formats.h"

namespace {

struct Rate {
    int code;
    int minutes;
    const char* text;
};

constexpr Rate Rates[] = {
    {1, 1, "CADA 1 MINUTO"},
    {2, 5, "CADA 5 MINUTOS"},
    {3, 10, "CADA 10 MINUTOS"},
    {4, 15, "CADA 15 MINUTOS"},
    {5, 30, "CADA 30 MINUTOS"},
    {6, 60, "CADA 60 MINUTOS"},
};

int twoDigits(const QString& line, int position)
{
    const int tens = DigitAt(line, position);
    return 10 * tens + DigitAt(line, position + 1);
}

int threeDigits(const QString& line, int position)
{
    const int hundreds = DigitAt(line, position);
    const int tens = DigitAt(line, position + 1);
    return 100 * hundreds + 10 * tens + DigitAt(line, position + 2);
}

}  // namespace

int DigitAt(const QString& line, int position)
{
    // A one-character text converts only when it is a decimal digit; anything
    // else goes through the runtime's conversion for its message.
    const QChar c = line.at(position - 1);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    return StrToInt(QString(c));
}

void ThrowMissingHeader()
{
    throw EDownloadFormatError(QStringLiteral("La descarga no tiene línea de encabezado"));
}

DownloadHeader DecodeHeaderLine(const QString& line)
{
    if (line.size() < HeaderLineMinLength)
        throw EDownloadFormatError(
            QStringLiteral("La línea 0 de la descarga es demasiado corta para un encabezado"));
    // Read in position order, so the first bad character is the one reported.
    DownloadHeader h;
    h.Start.Year = twoDigits(line, 2);
    h.Start.Month = twoDigits(line, 5);
    h.Start.Day = twoDigits(line, 8);
    h.Start.Second = twoDigits(line, 11);
    h.Start.Minute = twoDigits(line, 14);
    h.Start.Hour = twoDigits(line, 17);
    h.RateCode = DigitAt(line, 21);
    return h;
}

std::array<double, ChannelCount> DecodeSampleLine(const QString& line, int lineIndex)
{
    if (line.size() < SampleLineMinLength)
        throw EDownloadFormatError(
            QStringLiteral("La línea %1 de la descarga es demasiado corta para una muestra").arg(lineIndex));
    std::array<double, ChannelCount> t{};
    for (int k = 0; k < ChannelCount; ++k) {
        const int first = 6 * k + 1;
        const int high = threeDigits(line, first);
        const int low = threeDigits(line, first + 3);
        t[k] = TemperatureFromRaw(RawCount(high, low));
    }
    return t;
}

QString TemperatureText(double celsius)
{
    return FloatToStrFixed(celsius, 4, 1);
}

QString RateText(int rateCode)
{
    for (const Rate& r : Rates)
        if (r.code == rateCode)
            return QString::fromLatin1(r.text);
    return QString();
}

int StepMinutesForRateText(const QString& rateText)
{
    for (const Rate& r : Rates)
        if (rateText == QLatin1String(r.text))
            return r.minutes;
    return 0;
}
