// A saved data file as `veltra8-cli convert` reads it: any bytes either read
// as rows, each of which writes back to a file that reads as the same rows,
// or fail with the reader's own error naming a line of the file. Nothing is
// read past the end of the bytes.
#include "fuzz_checks.h"

#include "data/saved_file.h"
#include "data/saved_file_reader.h"

#include <memory>

namespace {

// Reads every row; the error's line number is checked against the input.
bool readAll(QByteArrayView bytes, TableRows& rows)
{
    TSavedFileReader reader(bytes);
    try {
        TableRow row;
        while (reader.Next(row))
            rows.push_back(row);
        return true;
    } catch (const ESavedFileError& e) {
        // A missing line (the empty line after a lone title) is named by the
        // number it should have had.
        const qsizetype lines = bytes.count('\n') + 1;
        FUZZ_CHECK(e.Line >= 1 && e.Line <= lines + 1, QStringLiteral("line %1 of %2").arg(e.Line).arg(lines));
        FUZZ_CHECK(e.Field >= 0 && e.Field <= 10);
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exactly sized copy, so a read past the end is a sanitizer report.
    std::unique_ptr<char[]> exact(new char[size > 0 ? size : 1]);
    std::memcpy(exact.get(), data, size);
    const QByteArrayView bytes(exact.get(), qsizetype(size));
    try {
        TableRows rows;
        if (!readAll(bytes, rows))
            return 0;
        const QByteArray rewritten = SavedFileBytes(rows);
        TableRows again;
        FUZZ_CHECK(readAll(rewritten, again), QString::fromLatin1(rewritten.left(200)));
        FUZZ_CHECK(again == rows);
        FUZZ_CHECK(SavedFileBytes(again) == rewritten);
    } catch (...) {
        ::fuzz::FailForeignException(__FILE__, __LINE__);
    }
    return 0;
}
