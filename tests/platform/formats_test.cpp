#include "platform/application.h"
#include "platform/errors.h"
#include "platform/formats.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>

struct FixedCase {
    double value;
    const char* text;
};

class FixedOneDecimal : public ::testing::TestWithParam<FixedCase> {};

// The temperature texts: one decimal, at most four significant digits.
TEST_P(FixedOneDecimal, RoundsToFourSignificantDigits)
{
    EXPECT_EQ(FloatToStrFixed(GetParam().value, 4, 1), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Temperatures, FixedOneDecimal,
    ::testing::Values(FixedCase{23.5, "23,5"}, FixedCase{-50.0, "-50,0"}, FixedCase{125.0, "125,0"},
        FixedCase{-0.1, "-0,1"}, FixedCase{0.0, "0,0"}, FixedCase{1234.8, "1235,0"},
        FixedCase{6503.5, "6504,0"}, FixedCase{23.4, "23,4"}, FixedCase{999.9, "999,9"},
        FixedCase{999.95, "1000,0"}, FixedCase{9999.5, "9999,5"}, FixedCase{-49.9, "-49,9"},
        FixedCase{359.5, "359,5"}, FixedCase{0.05, "0,1"}, FixedCase{-0.04, "0,0"}));

TEST(FloatToStr, GeneralFormatUsesTheDecimalComma)
{
    EXPECT_EQ(FloatToStr(12), "12");
    EXPECT_EQ(FloatToStr(12.5), "12,5");
    EXPECT_EQ(FloatToStr(-0.9375), "-0,9375");
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(4094.0 / 16.0), "255,875");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
}

TEST(FormatFloat, PicturePatterns)
{
    EXPECT_EQ(FormatFloat("##0.0", 23.5), "23,5");
    EXPECT_EQ(FormatFloat("##0.0", -50), "-50,0");
    EXPECT_EQ(FormatFloat("##0.0", 0), "0,0");
    EXPECT_EQ(FormatFloat("##0.0", 1234.56), "1234,6");
    EXPECT_EQ(FormatFloat("##0", 76), "76");
    EXPECT_EQ(FormatFloat("##0", 0), "0");
    EXPECT_EQ(FormatFloat("#0.0", 51.2f), "51,2");
    EXPECT_EQ(FormatFloat("##.##.##", 7), "7");
    EXPECT_EQ(FormatFloat("##.##.##", 1999), "1999");
    EXPECT_EQ(FormatFloat("##.##.##", 12.5), "12,5");
    EXPECT_EQ(FormatFloat("##.##.##", 12.34567), "12,3457");
    EXPECT_EQ(FormatFloat("##.##.##", 0), "0");
    EXPECT_EQ(FormatFloat("#,##0", 12345), "12.345");
}

TEST(DateTimeTexts, PictureFormatsWithTheProcessSeparators)
{
    QDate d(2022, 3, 7);
    QTime t(14, 5, 9);
    EXPECT_EQ(DateToStr(d), "07/03/2022");
    EXPECT_EQ(TimeToStr(t), "14:05:09");
    EXPECT_EQ(FormatDateTime("hh:mm:ss", d, QTime(9, 3, 7)), "09:03:07");
    EXPECT_EQ(FormatDateTime("d/m/yy", d, t), "7/3/22");
}

TEST(Conversions, FailWithTheRuntimeMessages)
{
    EXPECT_EQ(StrToInt("7"), 7);
    EXPECT_EQ(StrToInt("-12"), -12);
    EXPECT_EQ(StrToFloat("23,5"), 23.5);
    EXPECT_EQ(StrToFloat("-5,0"), -5.0);
    try {
        StrToInt("x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
    }
    try {
        StrToFloat("");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'' is not a valid floating point value");
    }
    EXPECT_THROW(StrToFloat("23.5"), EConvertError);
    EXPECT_THROW(StrToFloat("1,2,3"), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
}

TEST(ErrorBox, FullStopOnlyAfterCharactersAboveTheFullStop)
{
    EXPECT_EQ(Application::ExceptionText("Disk full"), "Disk full.");
    EXPECT_EQ(Application::ExceptionText("Unable to open com port (win error code: 2)"),
        "Unable to open com port (win error code: 2)");
    EXPECT_EQ(Application::ExceptionText("code: 7"), "code: 7.");
    EXPECT_EQ(Application::ExceptionText("ends:"), "ends:.");
    EXPECT_EQ(Application::ExceptionText("trailing "), "trailing ");
    EXPECT_EQ(Application::ExceptionText("done."), "done.");
    EXPECT_EQ(Application::ExceptionText(""), "");
}

TEST(ErrorBox, GuardReportsAndSwallows)
{
    QStringList seen;
    Application::SetExceptionSink([&](const QString& t) { seen << t; });
    Application::Guard([] { throw EInOutError::fromErrno(28); });
    Application::Guard([] { throw std::runtime_error("plain"); });
    Application::Guard([] { throw 42; });
    Application::SetExceptionSink({});
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], "Disk full.");
    EXPECT_EQ(seen[1], "plain.");
    EXPECT_EQ(EInOutError::fromErrno(13).Message(), "File access denied");
    EXPECT_EQ(EInOutError::fromErrno(5).Message(), "I/O error 5");
}
