#include "cli/plot_rules.h"

#include "data/calendar.h"

#include <QRegularExpression>

namespace PlotRules {

std::optional<QList<int>> Channels(const QString& text)
{
    QList<int> channels;
    for (const QString& item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int k = item.trimmed().toInt(&ok);
        if (!ok || k < 1 || k > 8)
            return std::nullopt;
        if (!channels.contains(k))
            channels.push_back(k);
    }
    return channels;
}

std::optional<qint64> Time(const QString& text)
{
    const std::optional<SeriesStamp> stamp = StampOfIsoText(text.toUtf8());
    if (!stamp || stamp->Kind != StampKind::Real)
        return std::nullopt;
    return stamp->Seconds;
}

std::optional<QSize> Size(const QString& text)
{
    static const QRegularExpression WidthByHeight(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch m = WidthByHeight.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    const auto within = [](int side) { return side >= SmallestSide && side <= LargestSide; };
    if (!within(size.width()) || !within(size.height()))
        return std::nullopt;
    return size;
}

}  // namespace PlotRules
