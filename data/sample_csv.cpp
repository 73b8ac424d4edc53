#include "data/sample_csv.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr std::array<QByteArrayView, SampleCsvFields> HeaderFields = {
    "sample", "time", "ch1", "ch2", "ch3", "ch4", "ch5", "ch6", "ch7", "ch8"};
constexpr QByteArrayView ByteOrderMark = "\xEF\xBB\xBF";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isDigit);
}

void appendNumber(QByteArray& out, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

}  // namespace

// --- Writing -----------------------------------------------------------------

void AppendSampleCsvHeader(QByteArray& out)
{
    out += SampleCsvHeader;
    out += "\r\n";
}

void AppendIsoStamp(QByteArray& out, QByteArrayView date, QByteArrayView time)
{
    if (date.isEmpty() || time.isEmpty())
        return;
    const qsizetype first = date.indexOf('/');
    const qsizetype second = first < 0 ? -1 : date.indexOf('/', first + 1);
    if (second < 0)
        return;
    out += date.sliced(second + 1);
    out += '-';
    out += date.sliced(first + 1, second - first - 1);
    out += '-';
    out += date.first(first);
    out += 'T';
    out += time;
}

void AppendDotDecimal(QByteArray& out, QByteArrayView text)
{
    const qsizetype comma = text.indexOf(',');
    if (comma < 0) {
        out += text;
        return;
    }
    out += text.first(comma);
    out += '.';
    out += text.sliced(comma + 1);
}

void AppendSampleCsvRow(QByteArray& out, qint64 sample, QByteArrayView time, const QByteArrayView* temperatures)
{
    appendNumber(out, sample);
    out += ',';
    out += time;
    for (int k = 0; k < 8; ++k) {
        out += ',';
        AppendDotDecimal(out, temperatures[k]);
    }
    out += "\r\n";
}

void AppendSavedLineAsSampleCsvRow(QByteArray& out, qint64 sample, QByteArrayView line)
{
    // At most the line's own bytes, the sample number and two separators.
    const qsizetype at = out.size();
    out.resize(at + line.size() + 24);
    char* p = out.data() + at;
    p = std::to_chars(p, p + 20, sample).ptr;
    *p++ = ',';
    const qsizetype dateEnd = line.indexOf("  ");
    const qsizetype timeEnd = line.indexOf("  ", dateEnd + 2);
    const QByteArrayView date = line.first(dateEnd);
    const QByteArrayView time = line.sliced(dateEnd + 2, timeEnd - dateEnd - 2);
    if (!date.isEmpty() && !time.isEmpty()) {
        const qsizetype first = date.indexOf('/');
        const qsizetype second = date.indexOf('/', first + 1);
        const auto copy = [&p](QByteArrayView text) { p = std::copy(text.begin(), text.end(), p); };
        copy(date.sliced(second + 1));
        *p++ = '-';
        copy(date.sliced(first + 1, second - first - 1));
        *p++ = '-';
        copy(date.first(first));
        *p++ = 'T';
        copy(time);
    }
    *p++ = ',';
    // The temperatures, each followed by two blanks and holding none: each
    // pair of blanks a comma before the next, the decimal comma a dot.
    for (qsizetype i = timeEnd + 2; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ') {
            *p++ = ',';
            ++i;
        } else {
            *p++ = c == ',' ? '.' : c;
        }
    }
    // The pair after CH8 made a comma where the line ends.
    p[-1] = '\r';
    *p++ = '\n';
    out.resize(p - out.constData());
}

// --- Reading -----------------------------------------------------------------

SampleCsvReader::Step SampleCsvReader::fail(SampleCsvFault fault, int fields)
{
    // Before the header, a record of the wrong shape is simply not the header.
    if (!headerSeen_ && fault == SampleCsvFault::FieldCount)
        fault = SampleCsvFault::NotTheHeader;
    fault_ = fault;
    faultLine_ = line_;
    faultFields_ = fields;
    return Step::Failed;
}

void SampleCsvReader::Continue(QByteArrayView bytes, bool whole)
{
    bytes_ = bytes;
    whole_ = whole;
    at_ = 0;
}

SampleCsvReader::Step SampleCsvReader::Next(SampleCsvRecord& record)
{
    if (fault_ != SampleCsvFault::None)
        return Step::Failed;
    while (at_ < bytes_.size()) {
        const char* b = bytes_.data() + at_;
        const qsizetype size = bytes_.size() - at_;
        const auto* newline = static_cast<const char*>(std::memchr(b, '\n', size_t(size)));
        line_ = nextLine_;
        if (!newline && !whole_)
            return size >= LongestRecord ? fail(SampleCsvFault::TooLong) : Step::More;
        qsizetype length = newline ? qsizetype(newline - b) : size;
        if (length >= LongestRecord)
            return fail(SampleCsvFault::TooLong);
        qint64 lines = 1;
        const auto trimmed = [&](qsizetype n) {
            QByteArrayView text(b, n);
            if (text.endsWith('\r'))
                text.chop(1);
            if (line_ == 1 && text.startsWith(ByteOrderMark))
                text = text.sliced(ByteOrderMark.size());
            return text;
        };
        QByteArrayView text = trimmed(length);
        Split split = Split::Done;
        if (!text.isEmpty()) {
            split = splitPlain(text, record);
            if (split == Split::Quoted) {
                // A quoted field may hold line ends: the record ends at the
                // first one outside quotes.
                bool inQuotes = false;
                qsizetype end = 0;
                for (; end < size; ++end) {
                    if (b[end] == '"')
                        inQuotes = !inQuotes;
                    else if (b[end] == '\n' && !inQuotes)
                        break;
                    else if (b[end] == '\n')
                        ++lines;
                    if (end >= LongestRecord)
                        return fail(SampleCsvFault::TooLong);
                }
                if (end == size && !whole_)
                    return Step::More;
                length = end;
                text = trimmed(length);
                split = splitQuoted(text, record) ? Split::Done : Split::Failed;
            }
            if (split == Split::Failed)
                return Step::Failed;
        }
        nextLine_ += lines;
        at_ += std::min(length + 1, size);
        if (text.isEmpty()) {
            // Blank lines, such as one after the last row, carry nothing.
            blankLine_ = line_;
            continue;
        }
        record.Line = line_;
        record.BlankLineBefore = std::exchange(blankLine_, 0);
        if (headerSeen_)
            return Step::Row;
        headerSeen_ = true;
        if (record.Fields != HeaderFields)
            return fail(SampleCsvFault::NotTheHeader);
    }
    return whole_ ? Step::End : Step::More;
}

SampleCsvReader::Split SampleCsvReader::splitPlain(QByteArrayView text, SampleCsvRecord& record)
{
    const char* fieldStart = text.data();
    const char* const end = fieldStart + text.size();
    if (std::memchr(fieldStart, '"', size_t(text.size())))
        return Split::Quoted;
    int count = 0;
    const auto endField = [&](const char* at) {
        if (count < SampleCsvFields)
            record.Fields[size_t(count)] = QByteArrayView(fieldStart, at - fieldStart);
        ++count;
        fieldStart = at + 1;
    };
    // The commas found eight bytes at a time: each byte equal to a comma
    // turns to zero, and each zero byte gets its top bit, carrying nothing
    // into its neighbours.
    constexpr quint64 Commas = 0x2C2C2C2C2C2C2C2CULL, Low7 = 0x7F7F7F7F7F7F7F7FULL;
    const char* p = fieldStart;
    for (; end - p >= 8; p += 8) {
        const quint64 x = qFromLittleEndian<quint64>(p) ^ Commas;
        for (quint64 found = ~(((x & Low7) + Low7) | x | Low7); found != 0; found &= found - 1)
            endField(p + std::countr_zero(found) / 8);
    }
    for (; p < end; ++p)
        if (*p == ',')
            endField(p);
    endField(end);
    if (count != SampleCsvFields) {
        fail(SampleCsvFault::FieldCount, count);
        return Split::Failed;
    }
    record.Text = text;
    record.Quoted = false;
    return Split::Done;
}

bool SampleCsvReader::splitQuoted(QByteArrayView text, SampleCsvRecord& record)
{
    unquoted_.resize(0);
    std::array<std::pair<qsizetype, qsizetype>, SampleCsvFields> spans{};
    int total = 0;
    qsizetype i = 0;
    for (;;) {
        const qsizetype start = unquoted_.size();
        if (i < text.size() && text[i] == '"') {
            // A doubled quote stands for one; a single one closes.
            for (++i;; ++i) {
                if (i >= text.size()) {
                    fail(SampleCsvFault::UnclosedQuote);
                    return false;
                }
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
                    ++i;
                else if (text[i] == '"')
                    break;
                unquoted_ += text[i];
            }
            ++i;
            if (i < text.size() && text[i] != ',') {
                fail(SampleCsvFault::TextAfterQuote);
                return false;
            }
        } else {
            for (; i < text.size() && text[i] != ','; ++i) {
                if (text[i] == '"') {
                    fail(SampleCsvFault::QuoteInField);
                    return false;
                }
                unquoted_ += text[i];
            }
        }
        if (total < SampleCsvFields)
            spans[size_t(total)] = {start, unquoted_.size() - start};
        ++total;
        if (i >= text.size())
            break;
        ++i;
    }
    if (total != SampleCsvFields) {
        fail(SampleCsvFault::FieldCount, total);
        return false;
    }
    for (size_t k = 0; k < spans.size(); ++k)
        record.Fields[k] = QByteArrayView(unquoted_).sliced(spans[k].first, spans[k].second);
    record.Text = {};
    record.Quoted = true;
    return true;
}

bool StartsWithSampleCsvHeader(QByteArrayView bytes)
{
    // The header is short: a first line of a long file need not be split whole.
    const qsizetype end = bytes.indexOf('\n');
    SampleCsvReader reader(end < 0 ? bytes : bytes.first(end + 1));
    SampleCsvRecord record;
    const SampleCsvReader::Step step = reader.Next(record);
    return reader.HeaderSeen() && step != SampleCsvReader::Step::Failed && record.Line == 1;
}

bool IsSampleCsvNumber(QByteArrayView text)
{
    return isDigits(text);
}

bool ReadSampleCsvTemperature(QByteArrayView text, double& value)
{
    if (text.isEmpty()) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    // One pass checks the shape, -?digits(.digits)?, and gathers the digits:
    // every row of a million-row file goes through here eight times.
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = *p == '-';
    p += negative;
    quint64 mantissa = 0;  // wraps past 19 digits, and is then not used
    int count = 0, before = -1;
    for (; p < end; ++p) {
        const unsigned digit = unsigned(*p) - unsigned('0');
        if (digit < 10) {
            mantissa = mantissa * 10 + digit;
            ++count;
        } else if (*p == '.' && before < 0 && count > 0) {
            before = count;
        } else {
            return false;
        }
    }
    if (count == 0 || count == before)
        return false;
    // Short decimals are read as an integer over a power of ten, which is
    // exact and rounds as strtod does; anything longer goes the library's way.
    static constexpr double PowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
        1e13, 1e14, 1e15};
    if (count <= 15) {
        value = double(mantissa) / PowersOfTen[before < 0 ? 0 : count - before];
        value = negative ? -value : value;
        return true;
    }
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return error == std::errc() && stop == text.data() + text.size() && std::isfinite(value);
}
