#pragma once
// What the plot's options may say: one set of rules for `veltra8-cli plot`,
// which checks them before it starts its drawing program, and for the
// drawing program, which can be run on its own. Each says a refusal in its
// own words. Core floor only: the client links no Qt Gui.
#include <QList>
#include <QSize>
#include <QString>

#include <optional>

namespace PlotRules {

inline constexpr int SmallestSide = 64;
inline constexpr int LargestSide = 10000;

// Channels 1 to 8 separated by commas, blanks around them allowed; a channel
// named twice is drawn once ("3, 1,3" is 3 and 1, in that order).
std::optional<QList<int>> Channels(const QString& text);
// A real date and time, YYYY-MM-DDThh:mm:ss, as seconds since 1970.
std::optional<qint64> Time(const QString& text);
// Width and height in pixels, each SmallestSide to LargestSide: 1200x675
// (or 1200X675).
std::optional<QSize> Size(const QString& text);
// A span to draw has a length: --from before --to.
inline bool SpanInOrder(qint64 from, qint64 to)
{
    return from < to;
}

}  // namespace PlotRules
