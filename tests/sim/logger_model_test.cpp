// The logger's behaviour without a line: frames, download lines, commands,
// clock and memory.
#include "sim/logger_model.h"
#include "tests/sim/sim_client.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Event = LoggerModel::Event;
const LoggerStamp kStart{2024, 5, 17, 8, 15, 30};

LoggerModel Model(int rateCode = 1, int preloaded = 0)
{
    return LoggerModel(LoggerModel::Settings{7, rateCode, 180, preloaded, kStart});
}

Event FeedAll(LoggerModel& m, const std::string& bytes)
{
    Event last = Event::None;
    for (char c : bytes)
        last = m.Feed(c);
    return last;
}

struct FrameRow {
    int raw;
    int positions;
    const char* channelText;  // characters 18..22
    const char* pointerText;  // characters 58..63
};

class LiveFrameFields : public ::testing::TestWithParam<FrameRow> {};

TEST_P(LiveFrameFields, EachFieldAtItsPositions)
{
    const FrameRow row = GetParam();
    LoggerSample sample{};
    sample.fill(500);
    sample[0] = row.raw;
    const std::string f = LoggerModel::FrameText({2022, 3, 7, 14, 5, 9}, 152, 4, sample, row.positions);
    ASSERT_EQ(f.size(), 64u);
    EXPECT_EQ(f.substr(0, 17), "05140703220915204");  // clock, battery, spare, rate code
    EXPECT_EQ(f.substr(17, 5), row.channelText);
    EXPECT_EQ(f.substr(22, 5), "01244");
    EXPECT_EQ(f.substr(57, 7), std::string(row.pointerText) + "\r");
    EXPECT_EQ(DecodeFrame(f).raw[0], row.raw);
    EXPECT_DOUBLE_EQ(DecodeFrame(f).positions, row.positions);
}

INSTANTIATE_TEST_SUITE_P(Values, LiveFrameFields,
                         ::testing::Values(FrameRow{500, 0, "01244", "000015"}, FrameRow{0, 1, "00000", "000031"},
                                           FrameRow{4095, 12, "15255", "000207"},
                                           FrameRow{750, 2000, "02238", "125015"}));

TEST(DownloadLines, HeaderAndSampleFieldsWhereTheClientReadsThem)
{
    const std::string h = LoggerModel::HeaderLine(kStart, 2);
    EXPECT_EQ(h.substr(h.size() - 2), "\r\n");
    EXPECT_EQ((std::array{Digits(h, 2, 2), Digits(h, 5, 2), Digits(h, 8, 2), Digits(h, 11, 2), Digits(h, 14, 2),
                          Digits(h, 17, 2), Digits(h, 21, 1)}),
              (std::array{24, 5, 17, 30, 15, 8, 2}));
    // No "A" anywhere: a one-byte chunk of it would end the client's capture.
    EXPECT_EQ((h + LoggerModel::TrailerLine()).find('A'), std::string::npos);
    EXPECT_EQ(LoggerModel::SampleLine({735, 0, 1750, 500, 499, 4095, 256, 65535}),
              "002223000000006214001244001243015255001000255255\r\n");
}

struct RateRow {
    char command;
    int code;
};

class RateCommands : public ::testing::TestWithParam<RateRow> {};

TEST_P(RateCommands, SetTheCodeTheNextFrameCarries)
{
    LoggerModel m = Model(2);
    EXPECT_EQ(m.Feed(GetParam().command), Event::RateSet);
    EXPECT_EQ(DecodeFrame(m.LiveFrame()).rateCode, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Commands, RateCommands,
                         ::testing::Values(RateRow{'1', 1}, RateRow{'5', 4}, RateRow{'6', 5}, RateRow{'7', 6}));

TEST(RateCommands, NewIntervalStartsTheMemoryAfreshTheSameKeepsIt)
{
    LoggerModel m = Model(1, 10);
    m.Feed('1');
    m.AdvanceTo(90, 90);
    EXPECT_EQ(m.MemoryUsed(), 11);
    m.Feed('5');
    EXPECT_EQ(m.MemoryUsed(), 0);
    EXPECT_EQ(m.SeriesStart(), (LoggerStamp{2024, 5, 17, 8, 17, 0}));
    m.AdvanceTo(90 + 15 * 60, 100);
    EXPECT_EQ(m.MemoryUsed(), 1);
}

TEST(ClockSet, SetsTheClockEmptiesTheMemoryAndSamplingFollowsIt)
{
    LoggerModel m = Model(1, 50);
    m.AdvanceTo(3.5, 0);
    EXPECT_EQ(FeedAll(m, "3090307011231"), Event::ClockSet);
    const DecodedFrame d = DecodeFrame(m.LiveFrame());
    EXPECT_EQ((std::array{d.day, d.month, d.year, d.hour, d.minute, d.second}), (std::array{1, 12, 31, 9, 3, 7}));
    EXPECT_DOUBLE_EQ(d.positions, 0);
    m.AdvanceTo(3.5 + 61, 100);
    EXPECT_EQ(m.Clock(), (LoggerStamp{2031, 12, 1, 9, 4, 8}));
    EXPECT_EQ(m.MemoryUsed(), 1);
}

TEST(ClockSet, BrokenCommandsLeaveClockAndMemoryAlone)
{
    LoggerModel m = Model(2, 5);
    EXPECT_EQ(FeedAll(m, "3250000311324"), Event::None);  // hour 25
    EXPECT_EQ(FeedAll(m, "314308"), Event::None);
    EXPECT_EQ(m.Feed('E'), Event::Requested);  // breaks off the clock, read as a command
    m.Feed('x');
    m.Feed('3');
    m.AdvanceTo(2, 2000);                   // digits that trickle in later ...
    EXPECT_EQ(m.Feed('7'), Event::RateSet);  // ... are rate commands
    EXPECT_EQ(m.RateCode(), 6);
    EXPECT_EQ(m.Clock(), (LoggerStamp{2024, 5, 17, 8, 15, 32}));
}

TEST(DownloadRequest, RequestThenXSendsLowerXResumesAndAStaleRequestLapses)
{
    for (char request : {'8', 'E'}) {
        LoggerModel m = Model(1, 3);
        EXPECT_EQ(m.Feed('X'), Event::None);  // no request yet
        EXPECT_EQ(m.Feed(request), Event::Requested);
        EXPECT_EQ(m.Feed('q'), Event::None);
        EXPECT_EQ(m.Feed('X'), Event::Transfer);
        EXPECT_EQ(m.TakeSnapshot().command, request);
        EXPECT_EQ(m.Feed('8'), Event::None);  // not while sending
        EXPECT_EQ(m.CurrentMode(), LoggerModel::Mode::Sending);
        EXPECT_EQ(m.Feed('x'), Event::Resumed);
        EXPECT_EQ(m.CurrentMode(), LoggerModel::Mode::Live);
    }
    LoggerModel m = Model();
    EXPECT_EQ(m.ModeLapsesAfterMs(), std::numeric_limits<double>::infinity());
    m.Feed('8');
    // The simulator's thread sleeps until then: past it, and not before,
    // the request is gone.
    EXPECT_EQ(m.ModeLapsesAfterMs(), 5000);
    m.AdvanceTo(4, 4000);
    EXPECT_EQ(m.CurrentMode(), LoggerModel::Mode::Requested);
    m.AdvanceTo(5, 5000);
    EXPECT_EQ(m.CurrentMode(), LoggerModel::Mode::Requested);
    m.AdvanceTo(6, 6001);
    EXPECT_EQ(m.CurrentMode(), LoggerModel::Mode::Live);
    EXPECT_EQ(m.ModeLapsesAfterMs(), std::numeric_limits<double>::infinity());
}

TEST(Memory, PreloadedSamplesEndAtTheStartAndTheStampPrecedesTheFirst)
{
    LoggerModel m = Model(2, 4);
    const LoggerSnapshot snap = m.TakeSnapshot();
    EXPECT_EQ(snap.start, (LoggerStamp{2024, 5, 17, 7, 55, 30}));
    ASSERT_EQ(snap.samples.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(snap.samples[i], m.Channels().At(static_cast<double>(ToLoggerSeconds(snap.start)) + 300.0 * (i + 1)));
    // A long memory may reach back before the logger's epoch, or over a leap day.
    EXPECT_EQ(ToLoggerStamp(-1), (LoggerStamp{1999, 12, 31, 23, 59, 59}));
    EXPECT_EQ(ToLoggerStamp(ToLoggerSeconds({2024, 3, 1, 0, 0, 0}) - 1800), (LoggerStamp{2024, 2, 29, 23, 30, 0}));
}

TEST(Memory, GrowsOnePositionPerIntervalUpToTwoThousand)
{
    LoggerModel m = Model(1, 1998);
    m.AdvanceTo(59.9, 0);
    EXPECT_EQ(m.MemoryUsed(), 1998);
    m.AdvanceTo(60, 0);
    EXPECT_DOUBLE_EQ(DecodeFrame(m.LiveFrame()).positions, 1999);
    m.AdvanceTo(3600, 0);
    EXPECT_DOUBLE_EQ(DecodeFrame(m.LiveFrame()).positions, 2000);
}

TEST(Channels, RepeatWithTheSeedVarySlowlyAndOneGoesBelowZero)
{
    const LoggerChannels a(3), b(3), c(4);
    bool negative = false, differs = false;
    for (double t = 0; t < 86400; t += 97) {
        EXPECT_EQ(a.At(t), b.At(t));
        differs = differs || a.At(t) != c.At(t);
        for (int ch = 1; ch <= 8; ++ch) {
            EXPECT_LT(std::abs(a.Temperature(ch, t) - a.Temperature(ch, t + 1)), 0.5) << ch << " at " << t;
            negative = negative || a.Temperature(ch, t) < 0;
        }
    }
    EXPECT_TRUE(negative);
    EXPECT_TRUE(differs);
}

}  // namespace
