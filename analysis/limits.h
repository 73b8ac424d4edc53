#pragma once
// The limits a channel is judged by, and their texts on a command line:
// "2..8" for every channel, "ch3:-20..-15" for one, either bound left out
// for none ("..30", "2.."). Degrees Celsius with a dot.
#include <QStringView>

#include <limits>
#include <optional>

struct Limits {
    double Low = -std::numeric_limits<double>::infinity();
    double High = std::numeric_limits<double>::infinity();

    // The limits themselves are in range.
    bool Above(double value) const { return value > High; }
    bool Below(double value) const { return value < Low; }
    bool HasLow() const { return Low != -std::numeric_limits<double>::infinity(); }
    bool HasHigh() const { return High != std::numeric_limits<double>::infinity(); }
};

struct LimitText {
    int Channel = 0;  // 1..8, 0 for every channel
    Limits Range;
};

// Nothing for a malformed text, a channel other than ch1..ch8, a comma,
// no bound at all or a low bound above the high one.
std::optional<LimitText> ReadLimitText(QStringView text);

// "30s", "15m", "2h", "1d", "0": a delay in seconds; nothing for another
// text.
std::optional<qint64> ReadDuration(QStringView text);
