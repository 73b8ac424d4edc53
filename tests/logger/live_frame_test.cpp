#include "logger/commands.h"
#include "logger/live_frame.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

namespace {

// Builds a frame from its fields, as the logger lays them out.
QByteArray frame(const char* clock = "0514070322" "09", const char* battery = "180", const char* rate = "01",
    const char* channels = "01244" "01244" "01244" "01244" "01244" "01244" "01244" "01244",
    const char* memory = "000015", char last = '\r')
{
    QByteArray f = QByteArray(clock) + battery + rate + channels + memory;
    f.append(last);
    return f;
}

}  // namespace

TEST(AddToFrame, SplitFrameHeldWholeAndRunTogetherFramesEmptiedAboveSixtyFive)
{
    QByteArray acc;
    const QByteArray f = frame();
    EXPECT_FALSE(AddToFrame(acc, f.left(40)));
    EXPECT_TRUE(AddToFrame(acc, f.mid(40)));
    EXPECT_EQ(acc, f);

    acc.clear();
    EXPECT_FALSE(AddToFrame(acc, QByteArray(65, '1')));
    // Exactly 65 is kept: the next chunk is added on top.
    EXPECT_FALSE(AddToFrame(acc, "2"));
    EXPECT_EQ(acc.size(), 66);
    // 66 held: emptied, collection restarts with this chunk.
    EXPECT_TRUE(AddToFrame(acc, f));

    acc.clear();
    EXPECT_FALSE(AddToFrame(acc, f + f));  // 128: no match
    EXPECT_TRUE(AddToFrame(acc, f));       // emptied first, then one frame
}

TEST(FrameReader, FramesComeWholeHoweverTheReadsCutThemAndStepIsRegained)
{
    const QByteArray f = frame();
    ASSERT_EQ(f.back(), '\r');
    // Every frame, once, whatever the reads: split, together, a half frame
    // first (a port opened mid-frame), garbage between, a frame cut short.
    const QByteArray stream = f.mid(20) + f + f + "garbage\x01" + f + f.left(30) + f + f;
    for (int piece : {1, 7, 32, 64, 96, 1000}) {
        FrameReader reader;
        int frames = 0, pieces = 0;
        std::optional<LiveFrame> parsed;
        QByteArray text;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            reader.Add(stream.mid(at, piece));
            while (reader.Next(parsed, &text)) {
                parsed ? ++frames : ++pieces;
                if (parsed) {
                    EXPECT_EQ(text, f);
                }
            }
        }
        // The frame after the one cut short goes with it: only its end
        // shows where it ends.
        EXPECT_EQ(frames, 4) << "reads of " << piece;
        EXPECT_EQ(pieces, 4) << "reads of " << piece;
        EXPECT_EQ(reader.Held(), 0);
    }
}

TEST(LiveFrame, SixtyFourthCharacterIsNeverRead)
{
    auto parsed = ParseLiveFrame(frame("0514070322" "09", "180", "01", "01244" "01244" "01244" "01244" "01244" "01244" "01244" "01244", "000015", 'Z'));
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(ParseLiveFrame(frame()));
}

TEST(LiveFrame, NonDigitInFirstSixtyThreeIsRejected)
{
    for (int pos : {0, 16, 40, 62}) {
        QByteArray f = frame();
        f[pos] = 'a';
        EXPECT_FALSE(ParseLiveFrame(f)) << "position " << pos + 1;
    }
    EXPECT_FALSE(ParseLiveFrame(frame().left(63)));
}

TEST(LiveFrame, FieldsAndConversions)
{
    auto f = ParseLiveFrame(frame("0514070322" "09", "152", "04",
        "05000" "15255" "00000" "02250" "01244" "01244" "01244" "01244", "000023"));
    ASSERT_TRUE(f);
    EXPECT_EQ(LoggerDateText(*f), "07/03/2022");
    EXPECT_EQ(LoggerTimeText(*f), "14:05:09");
    EXPECT_EQ(f->rateCode, 4);
    EXPECT_DOUBLE_EQ(ChannelTemperature(f->raw[0]), 78.0);    // 05 000 -> 1280
    EXPECT_DOUBLE_EQ(ChannelTemperature(f->raw[1]), 359.5);   // raw 4095
    EXPECT_DOUBLE_EQ(ChannelTemperature(f->raw[2]), -50.0);
    EXPECT_DOUBLE_EQ(ChannelTemperature(f->raw[3]), 26.2);    // 02 250 -> 762
    EXPECT_DOUBLE_EQ(ChannelTemperature(f->raw[4]), 0.0);
    EXPECT_EQ(MemoryText(f->memoryHigh, f->memoryLow), "0,5");
}

TEST(LiveFrame, MemoryTexts)
{
    EXPECT_EQ(MemoryText(0, 15), "0");
    EXPECT_EQ(MemoryText(0, 31), "1");
    EXPECT_EQ(MemoryText(0, 23), "0,5");
    EXPECT_EQ(MemoryText(0, 0), "-0,9375");
    EXPECT_EQ(MemoryText(124, 255), "1999");  // (124*256+255-15)/16
}

TEST(LiveFrame, BatteryLevelsAndStates)
{
    EXPECT_EQ(BatteryLevel(152), 76.0f);
    EXPECT_EQ(BatteryStateFor(BatteryLevel(152)), BatteryState::Unchanged);
    EXPECT_EQ(BatteryStateFor(BatteryLevel(154)), BatteryState::Ok);
    EXPECT_EQ(BatteryStateFor(BatteryLevel(153)), BatteryState::Ok);  // 76.5
    EXPECT_EQ(BatteryStateFor(BatteryLevel(150)), BatteryState::Replace);
    EXPECT_EQ(BatteryLevel(220), 100.0f);
    EXPECT_EQ(BatteryLevel(999), 100.0f);
}

TEST(LiveFrame, RateCodesToItems)
{
    EXPECT_EQ(RateItemForCode(1), 0);
    EXPECT_EQ(RateItemForCode(4), 1);
    EXPECT_EQ(RateItemForCode(5), 2);
    EXPECT_EQ(RateItemForCode(6), 3);
    for (int code : {0, 2, 3, 7, 9})
        EXPECT_EQ(RateItemForCode(code), -1);
}

TEST(Commands, ClockSetIsThirteenSingleCharacterWrites)
{
    QDateTime t(QDate(2031, 12, 1), QTime(9, 3, 7));
    QList<QByteArray> writes = ClockSetWrites(t, t);
    QList<QByteArray> expected{"3", "0", "9", "0", "3", "0", "7", "0", "1", "1", "2", "3", "1"};
    EXPECT_EQ(writes, expected);
    QDateTime u(QDate(2022, 3, 7), QTime(14, 5, 9));
    EXPECT_EQ(ClockSetWrites(u, u).join(), QByteArray("3140509070322"));
}

TEST(Commands, RateCommandsAndPie)
{
    EXPECT_EQ(RateCommand(0), "1");
    EXPECT_EQ(RateCommand(1), "5");
    EXPECT_EQ(RateCommand(2), "6");
    EXPECT_EQ(RateCommand(3), "7");
    EXPECT_TRUE(RateCommand(-1).isEmpty());
    int p = 0;
    for (int i = 0; i < 50; ++i)
        p = NextPieProgress(p);
    EXPECT_EQ(p, 0);
    EXPECT_EQ(NextPieProgress(48), 49);
}
