#pragma once
// Reads a saved data file (the windows' layout: the title line, an empty
// line, then per data row its ten texts each followed by two blanks, lines
// ended by CR LF) back into the table's rows, one row at a time, so a file of
// any length is read in one pass without holding its rows. Plain bytes in,
// rows out; the command-line client converts files with it.
#include "data/saved_file.h"
#include "platform/errors.h"

#include <QByteArrayView>

#include <array>

// Why a line could not be read; the caller words it.
enum class SavedFileFault {
    NoTitleLine,      // line 1 is not the column title line
    NoEmptyLine,      // line 2 is not empty
    Layout,           // not ten texts each followed by two blanks
    Date,             // not DD/MM/YYYY (digits, any width)
    Time,             // not hh:mm:ss (digits, any width)
    Temperature,      // not a temperature text such as 23,5 or -50,0
};

class ESavedFileError : public Exception {
public:
    ESavedFileError(SavedFileFault fault, int line, int field);
    SavedFileFault Fault;
    int Line;   // 1-based line of the file
    int Field;  // 1-based text of the line (1 date, 2 time, 3..10 CH1..CH8); 0 for the whole line
};

// A data row's ten texts (date, time, CH1..CH8) as views into the file's
// bytes, Latin-1; valid while the bytes are.
using SavedFileFields = std::array<QByteArrayView, 10>;

class TSavedFileReader {
public:
    // The bytes must outlive the reader.
    explicit TSavedFileReader(QByteArrayView bytes) : bytes_(bytes) {}

    // Reads the next data row into `row`; false after the last one. The
    // title and empty lines are checked on the first call. Empty lines at
    // the very end are allowed. Raises ESavedFileError.
    bool Next(TableRow& row);
    // The same without copying the texts, for reading large files.
    bool Next(SavedFileFields& fields);
    // The 1-based line of the file last read.
    int LineNumber() const { return line_; }

private:
    // The next line without its line end; false at the end of the bytes.
    bool nextLine(QByteArrayView& text);
    bool onlyLineEndsFollow() const;

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    int line_ = 0;
    bool started_ = false;
};
