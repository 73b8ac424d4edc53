// Faults the fuzz targets found in the platform layer, kept as plain cases.
#include "platform/application.h"
#include "platform/errors.h"
#include "platform/formats.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QChar Nul(u'\0');

QString failureMessage(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "<no failure>";
}

struct NulCase {
    const char* name;
    QString text;
};

void PrintTo(const NulCase& c, std::ostream* os)
{
    *os << c.name;
}

class TextWithNul : public ::testing::TestWithParam<NulCase> {};

// A NUL byte from the line used to cut the message short at the NUL, so the
// error box showed a lone apostrophe.
TEST_P(TextWithNul, ConversionMessageKeepsEveryCharacter)
{
    const QString text = GetParam().text;
    const QString integerMessage = failureMessage([&] { StrToInt(text); });
    EXPECT_EQ(integerMessage, "'" + text + "' is not a valid integer value");
    EXPECT_EQ(failureMessage([&] { StrToFloat(text); }), "'" + text + "' is not a valid floating point value");
}

INSTANTIATE_TEST_SUITE_P(Fuzz, TextWithNul,
    ::testing::Values(NulCase{"LoneNul", QString(Nul)}, NulCase{"NulFirst", Nul + QStringLiteral("12")},
        NulCase{"NulInside", QStringLiteral("1") + Nul + QStringLiteral("x")}),
    [](const auto& each) { return std::string(each.param.name); });

TEST(ErrorBoxFuzzRegression, MessageWithNulIsShownWhole)
{
    QString shown;
    Application::SetExceptionSink([&](const QString& text) { shown = text; });
    const QString message = QStringLiteral("'") + Nul + QStringLiteral("' is not a valid integer value");
    Application::Guard([&] { throw EConvertError(message); });
    Application::SetExceptionSink({});
    EXPECT_EQ(shown, message + ".");
}

}  // namespace
