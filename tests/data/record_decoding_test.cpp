#include "data/record_decoding.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

// Read positions 2-3, 5-6, 8-9, 11-12, 14-15, 17-18, 21; `f` everywhere else.
QString header(const char* yy, const char* mm, const char* dd, const char* ss, const char* mi, const char* hh,
    char rate, char f = '#')
{
    return QString(f) + yy + f + mm + f + dd + f + ss + f + mi + f + hh + f + f + QChar(rate);
}

QString conversionFailure(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "<no failure>";
}

TEST(HeaderDecoding, DateIsYearMonthDayTimeIsSecondsMinutesHoursUnreadPositionsIgnored)
{
    const DownloadHeader h = DecodeHeaderLine(header("24", "05", "17", "30", "15", "08", '2'));
    EXPECT_EQ(h.Start, (StartStamp{24, 5, 17, 8, 15, 30}));
    EXPECT_EQ(RateText(h.RateCode), "CADA 5 MINUTOS");
    const DownloadHeader noisy = DecodeHeaderLine(header("24", "05", "17", "30", "15", "08", '2', 'z') + "tail");
    EXPECT_EQ(noisy.Start, h.Start);
}

TEST(HeaderDecoding, ShortLinesAreRejectedAndTheFirstNonDigitIsReported)
{
    EXPECT_THROW(DecodeHeaderLine("A"), EDownloadFormatError);
    EXPECT_THROW(DecodeHeaderLine(header("24", "05", "17", "30", "15", "08", '2').left(20)), EDownloadFormatError);
    QString line = header("24", "05", "17", "30", "15", "08", '2');
    line[17] = 'h';  // position 18, read after position 5
    line[4] = 'm';
    EXPECT_EQ(conversionFailure([&] { DecodeHeaderLine(line); }), "'m' is not a valid integer value");
    EXPECT_EQ(conversionFailure([&] { DecodeHeaderLine(header("24", "05", "17", "30", "15", "08", ' ')); }),
        "' ' is not a valid integer value");
}

struct FieldCase {
    const char* field;
    const char* text;
};

class SampleField : public ::testing::TestWithParam<FieldCase> {};

// Fields on either side of each rounding boundary of the temperature text.
TEST_P(SampleField, GivesTheTemperatureTextInEveryChannel)
{
    const QString line = QString::fromLatin1(GetParam().field).repeated(8) + "trailing text";
    for (double t : DecodeSampleLine(line, 1))
        EXPECT_EQ(TemperatureText(t), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Fields, SampleField,
    ::testing::Values(FieldCase{"001244", "0,0"}, FieldCase{"000000", "-50,0"}, FieldCase{"255255", "6504,0"},
        FieldCase{"002223", "23,5"}, FieldCase{"006214", "125,0"}, FieldCase{"001243", "-0,1"},
        FieldCase{"050048", "1235,0"}, FieldCase{"041003", "999,9"}, FieldCase{"041004", "1000,0"},
        FieldCase{"041008", "1000,0"}, FieldCase{"041009", "1001,0"}, FieldCase{"255245", "6503,0"},
        FieldCase{"999999", "25624,3"}));

TEST(SampleDecoding, ChannelsAreSixDigitFieldsInOrderAndShortLinesAreRejected)
{
    QString line;
    for (int k = 1; k <= 8; ++k)
        line += QStringLiteral("002%1").arg(244 + k * 10, 3, 10, QLatin1Char('0'));  // (25,6 + k) degrees
    const auto t = DecodeSampleLine(line, 4);
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(TemperatureText(t[k - 1]), QStringLiteral("%1,6").arg(25 + k)) << "channel " << k;
    EXPECT_THROW(DecodeSampleLine(line.left(47), 3), EDownloadFormatError);
    line[47] = 'x';
    EXPECT_EQ(conversionFailure([&] { DecodeSampleLine(line, 3); }), "'x' is not a valid integer value");
}

TEST(RateTexts, OnlyCodesOneToSixHaveATextAndAStep)
{
    const int steps[] = {0, 1, 5, 10, 15, 30, 60, 0, 0, 0};
    for (int code = 0; code <= 9; ++code) {
        EXPECT_EQ(StepMinutesForRateText(RateText(code)), steps[code]) << "code " << code;
        EXPECT_EQ(RateText(code).isEmpty(), steps[code] == 0) << "code " << code;
    }
    EXPECT_EQ(RateText(1), "CADA 1 MINUTO");
    EXPECT_EQ(StepMinutesForRateText("CADA 5 MINUTOS "), 0);
}

}  // namespace
