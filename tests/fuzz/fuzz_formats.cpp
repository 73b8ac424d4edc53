// The number texts every window goes through: any double through the general,
// fixed and picture formats, any text through the integer and floating-point
// conversions. Formatting never fails and its texts read back; a conversion
// either gives a number or fails with the runtime's message for that text.
//
// Input: eight bytes of a double, a precision byte, a digits byte, then a
// text used both as a picture and as the text to convert.
#include "fuzz_checks.h"

#include "platform/errors.h"
#include "platform/formats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Distance allowed between a value and its text read back: half a unit of
// the last digit kept, plus the reading's own rounding to a double.
bool closeTo(double read, double value, int digitsKept)
{
    if (value == 0)
        return read == 0;
    return std::fabs(read - value) <= std::fabs(value) * (0.5 * std::pow(10.0, 1 - digitsKept) + 4e-16);
}

void checkFormatting(double value, int precision, int digits, const QString& picture)
{
    const QString general = FloatToStr(value);
    FUZZ_CHECK(!general.isEmpty());
    if (!std::isfinite(value))
        return;
    // The decimal comma is the only separator a general text carries; the
    // thousands separator never appears.
    FUZZ_CHECK(!general.contains(QLatin1Char('.')), general);
    // Fifteen digits of the largest doubles round up past the largest double,
    // so those texts cannot read back; no value of the program comes near.
    if (std::fabs(value) > 1e308)
        return;
    const double back = StrToFloat(general);
    FUZZ_CHECK(closeTo(back, value, 15) || (std::fabs(value) < 1e-300 && std::fabs(back) < 1e-300),
               general + QStringLiteral(" from %1").arg(value, 0, 'g', 17));

    const QString fixed = FloatToStrFixed(value, precision, digits);
    FUZZ_CHECK(!fixed.isEmpty() && !fixed.contains(QLatin1Char('.')), fixed);
    const double fixedBack = StrToFloat(fixed);
    // Rounded to `precision` significant digits, then to `digits` places; a
    // value too large for the precision falls back to the general format's 15.
    const double bound = std::fabs(value) * (0.5 * std::pow(10.0, 1 - std::min(precision, 15)) + 4e-16)
        + 0.5 * std::pow(10.0, -digits) + 1e-300;
    FUZZ_CHECK(std::fabs(fixedBack - value) <= bound,
               fixed + QStringLiteral(" from %1 (%2, %3)").arg(value, 0, 'g', 17).arg(precision).arg(digits));
    if (fixed.startsWith(QLatin1Char('-')))
        FUZZ_CHECK(value < 0, fixed);

    const QString pictured = FormatFloat(picture, value);
    FUZZ_CHECK(!pictured.isEmpty());
}

void checkConversions(const QString& text)
{
    try {
        const int v = StrToInt(text);
        // A text that converts holds digits, and its decimal form reads back.
        FUZZ_CHECK(StrToInt(QString::number(v)) == v);
    } catch (const EConvertError& e) {
        FUZZ_CHECK(e.Message() == QStringLiteral("'%1' is not a valid integer value").arg(text), e.Message());
    }
    try {
        const double v = StrToFloat(text);
        FUZZ_CHECK(!std::isnan(v), text);
    } catch (const EConvertError& e) {
        FUZZ_CHECK(e.Message() == QStringLiteral("'%1' is not a valid floating point value").arg(text), e.Message());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Formats() = FormatSettings{};
    try {
        double value = 0;
        int precision = 4, digits = 1;
        std::size_t at = 0;
        if (size >= sizeof value) {
            std::memcpy(&value, data, sizeof value);
            at = sizeof value;
        }
        // The runtime takes precisions 1..18 and 0..18 decimals.
        if (at < size)
            precision = 1 + data[at++] % 18;
        if (at < size)
            digits = data[at++] % 19;
        const QByteArray rest(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(size - at));
        checkFormatting(value, precision, digits, QString::fromLatin1(rest));
        checkConversions(QString::fromLatin1(rest));
        checkConversions(QString::fromUtf8(rest));
    } catch (const Exception& e) {
        fuzz::Fail("a formatted text does not read back", __FILE__, __LINE__, e.Message());
    } catch (...) {
        fuzz::FailForeignException(__FILE__, __LINE__);
    }
    return 0;
}
