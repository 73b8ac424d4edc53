#include "analysis/limits.h"

#include <QRegularExpression>

std::optional<LimitText> ReadLimitText(QStringView text)
{
    static const QRegularExpression shape(
        QStringLiteral("^(?:ch([1-8]):)?(-?[0-9]+(?:\\.[0-9]+)?)?\\.\\.(-?[0-9]+(?:\\.[0-9]+)?)?$"));
    const QRegularExpressionMatch m = shape.match(text.toString());
    if (!m.hasMatch() || (!m.hasCaptured(2) && !m.hasCaptured(3)))
        return std::nullopt;
    LimitText limit;
    limit.Channel = m.hasCaptured(1) ? m.capturedView(1).toInt() : 0;
    if (m.hasCaptured(2))
        limit.Range.Low = m.capturedView(2).toDouble();
    if (m.hasCaptured(3))
        limit.Range.High = m.capturedView(3).toDouble();
    if (limit.Range.Low > limit.Range.High)
        return std::nullopt;
    return limit;
}

std::optional<qint64> ReadDuration(QStringView text)
{
    static const QRegularExpression shape(QStringLiteral("^([0-9]{1,9})([smhd]?)$"));
    const QRegularExpressionMatch m = shape.match(text.toString());
    if (!m.hasMatch() || (m.capturedView(2).isEmpty() && m.capturedView(1).toLongLong() != 0))
        return std::nullopt;
    const QStringView unit = m.capturedView(2);
    const qint64 scale = unit == u"m" ? 60 : unit == u"h" ? 3600 : unit == u"d" ? 86400 : 1;
    return m.capturedView(1).toLongLong() * scale;
}
