// The port setup's text-to-value conversions on any text, read as Latin-1,
// as UTF-8 and as UTF-16: the result is always a member of its enumeration;
// a member other than the fallback comes only from its own display text, in
// any case of A to Z; and every other text gives the fallback.
#include "fuzz_checks.h"

#include "serial/comselect.h"

#include <cstring>

namespace {

// Only the letters A to Z fold, so a text outside ASCII never matches.
bool sameIgnoringAsciiCase(const QString& text, const QString& display)
{
    return fuzz::AllAscii(text) && text.toLatin1().toLower() == display.toLatin1().toLower();
}

template <typename E>
void check(const QString& text, E (*fromText)(const QString&), QString (*toText)(E), int members, E fallback)
{
    const E value = fromText(text);
    const int ordinal = static_cast<int>(value);
    FUZZ_CHECK(ordinal >= 0 && ordinal < members, text);
    int firstMatch = -1;
    for (int m = 0; m < members && firstMatch < 0; ++m)
        if (sameIgnoringAsciiCase(text, toText(static_cast<E>(m))))
            firstMatch = m;
    FUZZ_CHECK(value == (firstMatch >= 0 ? static_cast<E>(firstMatch) : fallback), text);
}

void checkAll(const QString& text)
{
    check<TBaudRate>(text, BaudRateFromText, BaudRateToText, br256000 + 1, br9600);
    check<TDataBits>(text, DataBitsFromText, DataBitsToText, dbEight + 1, dbEight);
    check<TStopBits>(text, StopBitsFromText, StopBitsToText, sbTwoStopBits + 1, sbOneStopBit);
    check<TParityBits>(text, ParityFromText, ParityToText, prSpace + 1, prNone);
    check<TFlowControl>(text, FlowControlFromText, FlowControlToText, fcCustom + 1, fcCustom);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        checkAll(QString::fromLatin1(bytes));
        checkAll(QString::fromUtf8(bytes));
        QString wide(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
        std::memcpy(wide.data(), data, (size / 2) * 2);
        checkAll(wide);
    } catch (...) {
        fuzz::FailForeignException(__FILE__, __LINE__);
    }
    return 0;
}
