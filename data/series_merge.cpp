#include "data/series_merge.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_map>

namespace {

// Each qint16 as tenths of a degree, NoReading as NaN: reading the kept
// temperatures of a million rows takes no division.
const std::array<double, 65536>& degreesOfTenths()
{
    static const std::array<double, 65536> table = [] {
        std::array<double, 65536> degrees;
        for (int t = std::numeric_limits<qint16>::min(); t <= std::numeric_limits<qint16>::max(); ++t)
            degrees[size_t(t + 32768)] = t == SeriesRow::NoReading ? std::numeric_limits<double>::quiet_NaN() : t / 10.0;
        return degrees;
    }();
    return table;
}

// One temperature text after another, in the file's form; `at` moves on.
QByteArrayView nextValue(QByteArrayView values, qsizetype& at, ValueTexts form)
{
    const QByteArrayView separator = form == ValueTexts::Csv ? QByteArrayView(",") : QByteArrayView("  ");
    qsizetype end = at < values.size() ? values.indexOf(separator, at) : -1;
    if (end < 0)
        end = values.size();
    const QByteArrayView value = values.sliced(std::min(at, end), end - std::min(at, end));
    at = end + separator.size();
    return value;
}

// "23,50" -> "23,5", "23.0" -> "23": the fraction without its trailing zeros.
QByteArrayView withoutTrailingZeros(QByteArrayView text)
{
    if (!text.contains(',') && !text.contains('.'))
        return text;
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith(',') || text.endsWith('.'))
        text.chop(1);
    return text;
}

bool sameNumberText(QByteArrayView a, QByteArrayView b)
{
    a = withoutTrailingZeros(a);
    b = withoutTrailingZeros(b);
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char x = a[i] == ',' ? '.' : a[i];
        const char y = b[i] == ',' ? '.' : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// A row's place in the merged order: the time it sorts at and, at that
// time, whether it comes before the rows stamped with it (0), is one of
// them (1) or follows them (2).
struct Entry {
    qint64 Time;
    quint32 Row;
    quint8 Tier;
};

// By time and place alone: what orders rows of different files.
bool placeBefore(const Entry& a, const Entry& b)
{
    return a.Time != b.Time ? a.Time < b.Time : a.Tier < b.Tier;
}

bool entryBefore(const Entry& a, const Entry& b)
{
    if (placeBefore(a, b) || placeBefore(b, a))
        return placeBefore(a, b);
    return a.Row < b.Row;
}

// The file's rows as entries, in the merged order of the file alone.
LargeVector<Entry> entriesOf(const SeriesFile& file)
{
    LargeVector<Entry> entries(file.Rows.size());
    qint64 anchor = std::numeric_limits<qint64>::max();
    for (const SeriesRow& row : file.Rows) {
        if (row.Kind == StampKind::Real) {
            anchor = row.Seconds;
            break;
        }
    }
    quint8 tier = 0;  // until the first real time
    if (anchor == std::numeric_limits<qint64>::max())
        tier = 2;
    for (size_t r = 0; r < file.Rows.size(); ++r) {
        const SeriesRow& row = file.Rows[r];
        if (row.Kind == StampKind::Real) {
            anchor = row.Seconds;
            entries[r] = Entry{row.Seconds, quint32(r), 1};
            tier = 2;
        } else {
            entries[r] = Entry{anchor, quint32(r), tier};
        }
    }
    if (!std::is_sorted(entries.begin(), entries.end(), entryBefore))
        std::stable_sort(entries.begin(), entries.end(), entryBefore);
    return entries;
}

// The files' orders woven into one: by time and place, then by file.
LargeVector<RowRef> weave(const std::vector<SeriesFile>& files)
{
    std::vector<LargeVector<Entry>> runs;
    size_t total = 0;
    for (const SeriesFile& file : files) {
        runs.push_back(entriesOf(file));
        total += file.Rows.size();
    }
    std::vector<size_t> next(files.size(), 0);
    // A heap of the files whose next entry is the earliest on top.
    const auto later = [&](quint32 a, quint32 b) {
        const Entry& x = runs[a][next[a]];
        const Entry& y = runs[b][next[b]];
        if (placeBefore(y, x))
            return true;
        return !placeBefore(x, y) && b < a;
    };
    std::vector<quint32> heads;
    for (quint32 f = 0; f < files.size(); ++f)
        if (!runs[f].empty())
            heads.push_back(f);
    std::make_heap(heads.begin(), heads.end(), later);
    LargeVector<RowRef> order;
    order.reserve(total);
    while (!heads.empty()) {
        std::pop_heap(heads.begin(), heads.end(), later);
        const quint32 f = heads.back();
        order.push_back(RowRef{f, runs[f][next[f]].Row});
        if (++next[f] < runs[f].size())
            std::push_heap(heads.begin(), heads.end(), later);
        else
            heads.pop_back();
    }
    return order;
}

}  // namespace

bool SameTemperatures(const SeriesRow& a, ValueTexts aForm, const SeriesRow& b, ValueTexts bForm)
{
    const QByteArrayView x = a.Values(), y = b.Values();
    qsizetype i = 0, j = 0;
    for (int k = 0; k < 8; ++k)
        if (!sameNumberText(nextValue(x, i, aForm), nextValue(y, j, bForm)))
            return false;
    return true;
}

void KeepTemperatures(SeriesRow& row, const std::array<double, 8>& values)
{
    const std::array<double, 65536>& degrees = degreesOfTenths();
    constexpr double Largest = std::numeric_limits<qint16>::max() / 10.0;
    for (size_t k = 0; k < values.size(); ++k) {
        const double value = values[k];
        if (std::isnan(value)) {
            row.Tenths[k] = SeriesRow::NoReading;
            continue;
        }
        // -0.0 would come back as 0.0.
        if (!(std::fabs(value) < Largest) || (value == 0 && std::signbit(value)))
            return;
        const int tenths = int(value * 10 + (value < 0 ? -0.5 : 0.5));
        if (degrees[size_t(tenths + 32768)] != value)
            return;
        row.Tenths[k] = qint16(tenths);
    }
    row.HasTenths = true;
}

std::array<double, 8> RowTemperatures(const SeriesRow& row, ValueTexts form)
{
    if (row.HasTenths) {
        const std::array<double, 65536>& degrees = degreesOfTenths();
        std::array<double, 8> values;
        for (size_t k = 0; k < values.size(); ++k)
            values[k] = degrees[size_t(row.Tenths[k] + 32768)];
        return values;
    }
    // One pass over the text, each value read as digits and a power of ten:
    // exact for every text the logger and this program write, and many
    // times faster than splitting first and reading a number after, which
    // matters on a million rows.
    static constexpr double tens[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    const char separator = form == ValueTexts::Csv ? ',' : ' ';
    const qsizetype separatorWidth = form == ValueTexts::Csv ? 1 : 2;
    const QByteArrayView text = row.Values();
    const char* p = text.data();
    const char* const end = p + text.size();
    std::array<double, 8> values;
    for (double& value : values) {
        const char* const first = p;
        const bool negative = p < end && *p == '-';
        p += negative;
        double digits = 0;  // whole numbers below 2^53 stay exact
        int decimals = -1;
        for (; p < end && *p != separator; ++p) {
            if (*p == ',' || *p == '.')
                decimals = 0;
            else if (decimals < 18)
                digits = digits * 10 + (*p - '0'), decimals += decimals >= 0;
        }
        value = p == first ? std::numeric_limits<double>::quiet_NaN() : (negative ? -digits : digits) / tens[std::max(decimals, 0)];
        p = std::min(p + separatorWidth, end);
    }
    return values;
}

MergedSeries MergeSeries(const std::vector<SeriesFile>& files)
{
    MergedSeries merged;
    if (files.size() == 1) {
        merged.Rows.reserve(files[0].Rows.size());
        for (quint32 r = 0; r < files[0].Rows.size(); ++r)
            merged.Rows.push_back(RowRef{0, r});
        return merged;
    }
    LargeVector<RowRef> order = weave(files);
    const auto rowOf = [&](const RowRef& ref) -> const SeriesRow& { return files[ref.File].Rows[ref.Row]; };
    std::map<std::pair<int, int>, MergeOverride> overrides;
    size_t kept = 0;
    for (size_t i = 0; i < order.size();) {
        const SeriesRow& first = rowOf(order[i]);
        // The rows stamped with one time lie together, file by file.
        size_t end = i + 1;
        if (first.Kind == StampKind::Real)
            while (end < order.size() && rowOf(order[end]).Kind == StampKind::Real && rowOf(order[end]).Seconds == first.Seconds)
                ++end;
        const quint32 winner = order[end - 1].File;
        size_t winnersFirst = end - 1;
        while (winnersFirst > i && order[winnersFirst - 1].File == winner)
            --winnersFirst;
        for (size_t k = i; k < end; ++k) {
            if (k >= winnersFirst) {
                order[kept++] = order[k];
                continue;
            }
            const SeriesRow& gone = rowOf(order[k]);
            const ValueTexts goneForm = files[order[k].File].Form;
            const bool agrees = std::any_of(order.begin() + qsizetype(winnersFirst), order.begin() + qsizetype(end),
                [&](const RowRef& w) { return SameTemperatures(gone, goneForm, rowOf(w), files[w.File].Form); });
            if (agrees)
                continue;
            MergeOverride& o = overrides[{int(winner), int(order[k].File)}];
            if (o.Count++ == 0) {
                o.File = int(winner);
                o.OverriddenFile = int(order[k].File);
                o.FirstLine = rowOf(order[winnersFirst]).Line;
                o.FirstOverriddenLine = gone.Line;
            }
        }
        i = end;
    }
    order.resize(kept);
    merged.Rows = std::move(order);
    for (const auto& entry : overrides)
        merged.Overrides.push_back(entry.second);
    return merged;
}

qint64 SamplingInterval(const SeriesFile& file)
{
    // Counted a run of equal steps at a time: a logger keeps one rate for
    // thousands of rows.
    std::unordered_map<qint64, qint64> counts;
    qint64 current = 0, run = 0;
    for (size_t r = 1; r < file.Rows.size(); ++r) {
        const SeriesRow& a = file.Rows[r - 1];
        const SeriesRow& b = file.Rows[r];
        if (a.Kind != StampKind::Real || b.Kind != StampKind::Real || b.Seconds <= a.Seconds)
            continue;
        if (b.Seconds - a.Seconds != current) {
            if (run > 0)
                counts[current] += run;
            current = b.Seconds - a.Seconds;
            run = 0;
        }
        ++run;
    }
    if (run > 0)
        counts[current] += run;
    qint64 best = 0, bestCount = 0;
    for (const auto& [step, count] : counts)
        if (count > bestCount || (count == bestCount && step < best)) {
            best = step;
            bestCount = count;
        }
    return best;
}
