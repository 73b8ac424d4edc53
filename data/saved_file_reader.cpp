#include "data/saved_file_reader.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digit groups joined by `separator`, exactly `groups` of them.
bool isDigitGroups(QByteArrayView text, char separator, int groups)
{
    int seen = 0;
    qsizetype run = 0;
    for (char c : text) {
        if (isDigit(c)) {
            ++run;
        } else if (c == separator && run > 0) {
            ++seen;
            run = 0;
        } else {
            return false;
        }
    }
    return run > 0 && seen + 1 == groups;
}

// "23,5", "-50,0", "1235,0": an optional minus, digits, a comma, digits.
bool isTemperatureText(QByteArrayView text)
{
    if (text.startsWith('-'))
        text = text.sliced(1);
    return isDigitGroups(text, ',', 2);
}

QString latin1(QByteArrayView text)
{
    return QString::fromLatin1(text.data(), text.size());
}

}  // namespace

ESavedFileError::ESavedFileError(SavedFileFault fault, int line, int field)
    : Exception(QStringLiteral("line %1: unreadable saved data file").arg(line)), Fault(fault), Line(line), Field(field)
{
}

bool TSavedFileReader::nextLine(QByteArrayView& text)
{
    if (pos_ >= bytes_.size())
        return false;
    const qsizetype end = bytes_.indexOf('\n', pos_);
    const qsizetype stop = end < 0 ? bytes_.size() : end;
    text = bytes_.sliced(pos_, stop - pos_);
    // The windows end lines with CR LF; a file that passed through a tool
    // that dropped the CRs reads the same.
    if (text.endsWith('\r'))
        text.chop(1);
    pos_ = end < 0 ? bytes_.size() : end + 1;
    ++line_;
    return true;
}

bool TSavedFileReader::onlyLineEndsFollow() const
{
    for (qsizetype p = pos_; p < bytes_.size(); ++p)
        if (bytes_[p] != '\r' && bytes_[p] != '\n')
            return false;
    return true;
}

bool TSavedFileReader::Next(TableRow& row)
{
    SavedFileFields fields;
    if (!Next(fields))
        return false;
    row.Date = latin1(fields[0]);
    row.Time = latin1(fields[1]);
    for (int k = 0; k < 8; ++k)
        row.Temperatures[size_t(k)] = latin1(fields[size_t(2 + k)]);
    return true;
}

bool TSavedFileReader::Next(SavedFileFields& fields)
{
    QByteArrayView text;
    if (!started_) {
        started_ = true;
        if (!nextLine(text) || text != QByteArrayView(SavedFileTitleLine()))
            throw ESavedFileError(SavedFileFault::NoTitleLine, 1, 0);
        if (!nextLine(text) || !text.isEmpty())
            throw ESavedFileError(SavedFileFault::NoEmptyLine, 2, 0);
    }
    if (!nextLine(text))
        return false;
    if (text.isEmpty() && onlyLineEndsFollow()) {
        pos_ = bytes_.size();
        return false;
    }
    // Texts hold no blanks, so each ends at the next pair of blanks; an
    // empty text is the pair alone.
    qsizetype at = 0;
    for (size_t f = 0; f < fields.size(); ++f) {
        const qsizetype end = text.indexOf("  ", at);
        if (end < 0)
            throw ESavedFileError(SavedFileFault::Layout, line_, 0);
        fields[f] = text.sliced(at, end - at);
        if (fields[f].contains(' '))
            throw ESavedFileError(SavedFileFault::Layout, line_, int(f) + 1);
        at = end + 2;
    }
    if (at != text.size())
        throw ESavedFileError(SavedFileFault::Layout, line_, 0);
    if (!fields[0].isEmpty() && !isDigitGroups(fields[0], '/', 3))
        throw ESavedFileError(SavedFileFault::Date, line_, 1);
    if (!fields[1].isEmpty() && !isDigitGroups(fields[1], ':', 3))
        throw ESavedFileError(SavedFileFault::Time, line_, 2);
    for (size_t k = 2; k < fields.size(); ++k)
        if (!fields[k].isEmpty() && !isTemperatureText(fields[k]))
            throw ESavedFileError(SavedFileFault::Temperature, line_, int(k) + 1);
    return true;
}
