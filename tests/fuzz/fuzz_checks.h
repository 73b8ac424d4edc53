#pragma once
// What the fuzz targets share: a check that turns a broken promise into a
// crash the fuzzer keeps as an input, the way inputs are cut into the chunks
// a port hands over, and exactly sized copies of lines so that a read past a
// line's end lands in the sanitizer's guard zone instead of in spare capacity.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

// A small quarantine and no fill of fresh blocks: on a virtual machine the
// page faults of a large quarantine cost more than the code under test, and
// a use after free is still caught while the block waits in the quarantine.
// Each target is one translation unit, so this is defined once per program.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=16:max_malloc_fill_size=0:detect_leaks=1";
}

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line, const QString& detail = {})
{
    std::fprintf(stderr, "%s:%d: broken: %s\n", file, line, what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

// Anything that is neither success nor one of the program's own failures.
[[noreturn]] inline void FailForeignException(const char* file, int line)
{
    try {
        throw;
    } catch (const std::exception& e) {
        Fail("a foreign exception escaped", file, line, QString::fromUtf8(e.what()));
    } catch (...) {
        Fail("a foreign exception escaped", file, line);
    }
}

#define FUZZ_CHECK(condition, ...)                                        \
    do {                                                                  \
        if (!(condition))                                                 \
            ::fuzz::Fail(#condition, __FILE__, __LINE__ __VA_OPT__(, ) __VA_ARGS__); \
    } while (false)

// Cuts the input into chunks by its own bytes: each chunk is a length byte
// followed by that many bytes (fewer at the end of the input). A zero length
// gives an empty chunk, which the port never hands over but must be harmless.
inline std::vector<QByteArray> LengthPrefixedChunks(const std::uint8_t* data, std::size_t size)
{
    std::vector<QByteArray> chunks;
    std::size_t at = 0;
    while (at < size) {
        std::size_t length = data[at++];
        if (length > size - at)
            length = size - at;
        chunks.emplace_back(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(length));
        at += length;
    }
    return chunks;
}

// A line held in a heap block of exactly its length, seen through a QString
// that does not copy it. Reading one character past the end is a sanitizer
// report, where an ordinary QString would hand out its terminating zero.
class ExactLine {
public:
    explicit ExactLine(const QString& text)
        : size_(text.size()), chars_(size_ > 0 ? new QChar[static_cast<std::size_t>(size_)] : nullptr)
    {
        for (qsizetype i = 0; i < size_; ++i)
            chars_[static_cast<std::size_t>(i)] = text[i];
    }
    // Valid while this object lives.
    QString View() const { return size_ > 0 ? QString::fromRawData(chars_.get(), size_) : QString(); }

private:
    qsizetype size_;
    std::unique_ptr<QChar[]> chars_;
};

inline bool AllAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

}  // namespace fuzz
