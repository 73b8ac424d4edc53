#include "cli/plot/sample_csv.h"

#include <QDateTime>
#include <QIODevice>

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int FieldCount = 10;
constexpr std::array<std::string_view, FieldCount> Header = {
    "sample", "time", "ch1", "ch2", "ch3", "ch4", "ch5", "ch6", "ch7", "ch8"};
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t ReadSize = size_t(1) << 20;
// A row of the client's CSV takes under a hundred bytes. A "line" as long as
// the read buffer is no such CSV, and holding it whole would only eat memory.
constexpr size_t LongestRecord = ReadSize;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int number(std::string_view s, size_t at, size_t length)
{
    int n = 0;
    for (size_t i = at; i < at + length; ++i)
        n = n * 10 + (s[i] - '0');
    return n;
}

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : Days[month - 1];
}

// Days from 01/01/1970 in the Gregorian calendar, with no table and no
// QDate: a million rows are stamped in a few milliseconds.
qint64 daysFromCivil(int year, int month, int day)
{
    qint64 y = year - (month <= 2);
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// A temperature with a dot decimal, or empty for no reading (NaN). Short
// decimals are read as an integer over a power of ten, which is exact and
// rounds as strtod does; anything longer goes the library's way.
bool readTemperature(std::string_view s, double& value)
{
    if (s.empty()) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    static constexpr double PowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
        1e13, 1e14, 1e15};
    const char* p = s.data();
    const char* end = p + s.size();
    bool negative = *p == '-';
    p += negative;
    quint64 mantissa = 0;
    int digits = 0, decimals = 0;
    bool dot = false;
    for (; p < end; ++p) {
        if (isDigit(*p) && digits < 15) {
            mantissa = mantissa * 10 + static_cast<quint64>(*p - '0');
            ++digits;
            decimals += dot;
        } else if (*p == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
    }
    if (p == end && digits > 0) {
        value = static_cast<double>(mantissa) / PowersOfTen[decimals];
        value = negative ? -value : value;
        return true;
    }
    auto [stop, error] = std::from_chars(s.data(), end, value, std::chars_format::fixed);
    return error == std::errc() && stop == end && std::isfinite(value);
}

// Sample arrays of a long file are written once from start to end. Asking
// for huge pages spares the kernel all but a five-hundredth of its page
// faults, which otherwise cost as much as reading the text. Advice only:
// where the kernel declines it, nothing changes.
template <class T>
void growFresh(std::vector<T>& v, size_t capacity)
{
    constexpr size_t WorthIt = size_t(2) << 20;
    constexpr auto Page = uintptr_t(4096);
    std::vector<T> bigger;
    bigger.reserve(capacity);
    // The array's own pages, the one it starts in included: a block this
    // large is a mapping of its own (main.cpp sees to it), so the advice
    // reaches no other memory.
    const auto first = reinterpret_cast<uintptr_t>(bigger.data());
    const uintptr_t from = first & ~(Page - 1);
    const uintptr_t to = (first + capacity * sizeof(T) + Page - 1) & ~(Page - 1);
    if (capacity * sizeof(T) >= WorthIt)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    bigger.insert(bigger.end(), v.begin(), v.end());
    v.swap(bigger);
}

// A field as a message shows it: short, and with no control character that
// could upset a terminal.
QString shown(std::string_view field)
{
    constexpr size_t Longest = 40;
    QString text = QString::fromUtf8(field.data(), static_cast<qsizetype>(std::min(field.size(), Longest)));
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    if (field.size() > Longest)
        text += QStringLiteral("…");
    return text;
}

// Splits records into fields and turns rows into samples. Fields are views
// into the read buffer; only a record with quotes is copied, to undo them.
class CsvReader {
public:
    CsvReader(QIODevice& in, const QString& name)
        : in_(in), name_(name), length_(in.isSequential() ? 0 : std::max<qint64>(in.size() - in.pos(), 0))
    {
    }

    std::variant<SampleCsv, PlotFailure> Read()
    {
        if (!readRecords())
            return failure_;
        if (!headerSeen_)
            return PlotFailure{PlotExit::Data,
                PlotText::tr("%1: empty, not even a header line (give the CSV that veltra8-cli writes with -f csv)")
                    .arg(name_)};
        for (size_t k = 0; k < 8; ++k) {
            if (!hasReading_[k]) {
                out_.samples.channels[k].clear();
                out_.samples.channels[k].shrink_to_fit();
            }
        }
        return std::move(out_);
    }

private:
    bool readRecords()
    {
        std::vector<char> buffer(ReadSize);
        size_t begin = 0, end = 0;
        bool atEnd = false;
        qint64 nextLine = 1;
        for (;;) {
            while (begin < end) {
                const char* b = buffer.data() + begin;
                const size_t size = end - begin;
                const auto* newline = static_cast<const char*>(std::memchr(b, '\n', size));
                if (!newline && !atEnd)
                    break;
                size_t length = newline ? static_cast<size_t>(newline - b) : size;
                line_ = nextLine;
                int lines = 1;
                std::string_view text = withoutCarriageReturn(b, length);
                Split split = splitPlain(text);
                if (split == Split::Quoted) {
                    // A quoted field may hold line ends: the record ends at
                    // the first one outside quotes.
                    std::optional<size_t> stop = recordEnd(b, size, lines);
                    if (!stop && !atEnd)
                        break;
                    length = stop.value_or(size);
                    text = withoutCarriageReturn(b, length);
                    split = splitQuoted(text) ? Split::Done : Split::Failed;
                }
                if (split == Split::Failed)
                    return false;
                nextLine += lines;
                begin += std::min(length + 1, size);
                consumed_ = offset_ + begin;
                if (split == Split::Blank)
                    continue;
                if (!(headerSeen_ ? row() : header()))
                    return false;
            }
            if (atEnd)
                return true;
            // Keep the start of an unfinished record and read on behind it.
            std::memmove(buffer.data(), buffer.data() + begin, end - begin);
            end -= begin;
            offset_ += begin;
            begin = 0;
            if (end >= LongestRecord) {
                line_ = nextLine;
                return fail(PlotText::tr("%1:%2: the line is longer than 1 MiB (give the CSV that veltra8-cli "
                                         "writes with -f csv)")
                                .arg(name_, QString::number(line_)));
            }
            qint64 got = in_.read(buffer.data() + end, static_cast<qint64>(buffer.size() - end));
            if (got < 0)
                return fail(PlotText::tr("%1: cannot be read: %2 (check the file and try again)")
                                .arg(name_, in_.errorString()));
            atEnd = got == 0;
            end += static_cast<size_t>(got);
        }
    }

    std::string_view withoutCarriageReturn(const char* b, size_t length) const
    {
        std::string_view text(b, length);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        if (!headerSeen_ && line_ == 1 && text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
            text.remove_prefix(ByteOrderMark.size());
        return text;
    }

    // Where the record starting at `b` ends, with `lines` set to the lines
    // it spans; none when the buffer ends first.
    static std::optional<size_t> recordEnd(const char* b, size_t size, int& lines)
    {
        bool inQuotes = false;
        lines = 1;
        for (size_t i = 0; i < size; ++i) {
            if (b[i] == '"')
                inQuotes = !inQuotes;
            else if (b[i] == '\n' && !inQuotes)
                return i;
            else if (b[i] == '\n')
                ++lines;
        }
        return std::nullopt;
    }

    enum class Split { Done, Blank, Quoted, Failed };

    // The common record, without quotes, split in one pass over its bytes.
    Split splitPlain(std::string_view text)
    {
        // Blank lines, such as one after the last row, carry nothing.
        if (text.empty())
            return Split::Blank;
        const char* start = text.data();
        const char* end = start + text.size();
        count_ = 0;
        for (const char* p = start; p < end; ++p) {
            if (*p == '"')
                return Split::Quoted;
            if (*p != ',')
                continue;
            if (count_ == FieldCount - 1) {
                if (std::memchr(p, '"', static_cast<size_t>(end - p)))
                    return Split::Quoted;
                wrongFieldCount(static_cast<int>(std::count(text.begin(), text.end(), ',')) + 1);
                return Split::Failed;
            }
            fields_[static_cast<size_t>(count_++)] = std::string_view(start, static_cast<size_t>(p - start));
            start = p + 1;
        }
        fields_[static_cast<size_t>(count_++)] = std::string_view(start, static_cast<size_t>(end - start));
        if (count_ == FieldCount)
            return Split::Done;
        wrongFieldCount(count_);
        return Split::Failed;
    }

    bool splitQuoted(std::string_view text)
    {
        unquoted_.clear();
        std::array<std::pair<size_t, size_t>, FieldCount> spans{};
        int total = 0;
        size_t i = 0;
        for (;;) {
            const size_t start = unquoted_.size();
            if (i < text.size() && text[i] == '"') {
                // A doubled quote stands for one; a single one closes.
                for (++i;; ++i) {
                    if (i >= text.size())
                        return fail(PlotText::tr("%1:%2: a quoted field is not closed (close it with \" or remove "
                                                 "the quote)")
                                        .arg(name_, QString::number(line_)));
                    if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
                        ++i;
                    else if (text[i] == '"')
                        break;
                    unquoted_ += text[i];
                }
                ++i;
                if (i < text.size() && text[i] != ',')
                    return fail(PlotText::tr("%1:%2: text after the closing quote of a field (put the whole field "
                                             "in quotes)")
                                    .arg(name_, QString::number(line_)));
            } else {
                for (; i < text.size() && text[i] != ','; ++i) {
                    if (text[i] == '"')
                        return fail(PlotText::tr("%1:%2: a quote inside a field that does not start with one "
                                                 "(quote the whole field and double the quote)")
                                        .arg(name_, QString::number(line_)));
                    unquoted_ += text[i];
                }
            }
            if (total < FieldCount)
                spans[static_cast<size_t>(total)] = {start, unquoted_.size() - start};
            ++total;
            if (i >= text.size())
                break;
            ++i;
        }
        if (total != FieldCount)
            return wrongFieldCount(total);
        count_ = total;
        for (size_t k = 0; k < FieldCount; ++k)
            fields_[k] = std::string_view(unquoted_).substr(spans[k].first, spans[k].second);
        return true;
    }

    bool header()
    {
        headerSeen_ = true;
        return std::equal(Header.begin(), Header.end(), fields_.begin()) || notTheHeader();
    }

    bool notTheHeader()
    {
        return fail(PlotText::tr("%1:%2: the first line is not the header sample,time,ch1,…,ch8 (give the CSV that "
                                 "veltra8-cli writes with -f csv)")
                        .arg(name_, QString::number(line_)));
    }

    bool row()
    {
        qint64 seconds = 0;
        const TimeField time = ReadTime(fields_[1], seconds);
        if (time == TimeField::Malformed)
            return fail(PlotText::tr("%1:%2: the time \"%3\" is not YYYY-MM-DDThh:mm:ss (mend the line, or empty "
                                     "the time to leave the row out)")
                            .arg(name_, QString::number(line_), shown(fields_[1])));
        std::array<double, 8> values{};
        for (size_t k = 0; k < 8; ++k) {
            if (!readTemperature(fields_[k + 2], values[k]))
                return fail(PlotText::tr("%1:%2: ch%3 \"%4\" is not a temperature (write it with a dot decimal, "
                                         "like 23.5, or leave it empty)")
                                .arg(name_, QString::number(line_), QString::number(k + 1), shown(fields_[k + 2])));
        }
        if (time == TimeField::Empty) {
            ++out_.withoutTime;
            return true;
        }
        if (time == TimeField::Impossible) {
            ++out_.impossibleTime;
            return true;
        }
        if (out_.samples.times.size() == out_.samples.times.capacity())
            makeRoom();
        out_.samples.times.push_back(seconds);
        for (size_t k = 0; k < 8; ++k) {
            out_.samples.channels[k].push_back(values[k]);
            hasReading_[k] = hasReading_[k] || !std::isnan(values[k]);
        }
        return true;
    }

    // Room for more rows. From a file of known length the arrays are sized
    // once, by the length of the rows read so far, so a million rows are
    // not copied on the way (should the rows grow shorter later, by a
    // quarter at least each time). From a pipe they grow fourfold: room not
    // yet written costs address space only, and a million rows are copied a
    // third of a time rather than once.
    void makeRoom()
    {
        const size_t rows = out_.samples.times.size();
        size_t capacity = std::max<size_t>(4 * rows, 4096);
        const size_t read = rows + out_.withoutTime + out_.impossibleTime;
        if (length_ > 0 && rows > 0) {
            const double perRow = static_cast<double>(consumed_) / static_cast<double>(read);
            const auto expected = static_cast<size_t>(static_cast<double>(length_) / perRow * 1.02);
            capacity = std::max(rows + rows / 4 + 4096, expected);
        }
        growFresh(out_.samples.times, capacity);
        for (std::vector<double>& channel : out_.samples.channels)
            growFresh(channel, capacity);
    }

    bool wrongFieldCount(int count)
    {
        if (!headerSeen_)
            return notTheHeader();
        return fail(PlotText::tr("%1:%2: %3 fields where the header has 10 (mend the line or remove it)")
                        .arg(name_, QString::number(line_), QString::number(count)));
    }

    bool fail(const QString& message)
    {
        failure_ = PlotFailure{PlotExit::Data, message};
        return false;
    }

    QIODevice& in_;
    const QString name_;
    // The input's length when it is a file, 0 for a pipe; bytes consumed up
    // to the record being read, and up to the start of the read buffer.
    const qint64 length_;
    qint64 consumed_ = 0;
    qint64 offset_ = 0;
    qint64 line_ = 0;  // where the record being read starts
    bool headerSeen_ = false;
    std::array<std::string_view, FieldCount> fields_{};
    int count_ = 0;
    std::string unquoted_;
    std::array<bool, 8> hasReading_{};
    SampleCsv out_;
    PlotFailure failure_;
};

}  // namespace

TimeField ReadTime(std::string_view s, qint64& seconds)
{
    if (s.empty())
        return TimeField::Empty;
    constexpr std::string_view Shape = "dddd-dd-ddTdd:dd:dd";
    if (s.size() != Shape.size())
        return TimeField::Malformed;
    for (size_t i = 0; i < Shape.size(); ++i)
        if (Shape[i] == 'd' ? !isDigit(s[i]) : s[i] != Shape[i])
            return TimeField::Malformed;
    const int year = number(s, 0, 4), month = number(s, 5, 2), day = number(s, 8, 2);
    const int hour = number(s, 11, 2), minute = number(s, 14, 2), second = number(s, 17, 2);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return TimeField::Impossible;
    seconds = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return TimeField::Valid;
}

QString TimeText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
}

std::variant<SampleCsv, PlotFailure> ReadSampleCsv(QIODevice& in, const QString& name)
{
    return CsvReader(in, name).Read();
}
