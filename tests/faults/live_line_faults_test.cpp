// A faulty line while connected: letters in frames, frames run together,
// bytes dribbling in one at a time, NUL bytes, a megabyte of noise. The
// program must keep showing good frames, say nothing, and stay idle.
#include "tests/faults/fault_run.h"

#include "tests/support/printers.h"

#include <QLineEdit>
#include <QRegularExpression>

namespace faults {
namespace {

class LiveLineFaults : public FaultRun {
protected:
    // A frame was shown: the logger date field holds a date, not the
    // placeholder or nothing.
    static bool ShowsALoggerDate()
    {
        static const QRegularExpression date(QStringLiteral("^\\d\\d/\\d\\d/20\\d\\d$"));
        return date.match(Form1->Edit4->text()).hasMatch();
    }
};

TEST_F(LiveLineFaults, FramesWithALetter_AreDroppedAndCountedWithoutAnErrorBox)
{
    SimOptions o = QuickLogger(dir);
    o.badFrameEvery = 3;
    StartSimulator(o);
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitIdly([] { return Form1->FramesDropped() >= 2 && Form1->FramesParsed() >= 4; }, 10000));
    EXPECT_LT(IdleCpuShare(), 0.10);
    StopAndDrain();

    const SimRecord rec = sim->Record();
    EXPECT_EQ(Form1->FramesDropped(), rec.badFrames);
    EXPECT_EQ(Form1->FramesParsed(), rec.framesSent - rec.badFrames);
    EXPECT_TRUE(ShowsALoggerDate()) << Form1->Edit4->text().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

TEST_F(LiveLineFaults, FramesRunTogether_AreLostAndTheProgramFallsBackIntoStep)
{
    SimOptions o = QuickLogger(dir);
    o.runTogetherEvery = 3;
    StartSimulator(o);
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitFrames(8, 10000));
    EXPECT_LT(IdleCpuShare(), 0.10);
    StopAndDrain();

    // Every third period carries two frames in one write: periods p and
    // frames sent f satisfy f = p + p / 3.
    const long long sent = sim->Record().framesSent;
    long long periods = 0;
    while (periods + periods / 3 < sent)
        ++periods;
    ASSERT_EQ(periods + periods / 3, sent);
    const long long together = periods / 3;
    const long long single = periods - together;
    // Falling back into step: a pair read whole costs only itself; a pair
    // the reads cut elsewhere than between its frames costs at most the one
    // frame after it too. Anything worse is an accumulator out of step.
    EXPECT_GE(Form1->FramesParsed(), single - together);
    EXPECT_LE(Form1->FramesParsed(), sent);
    EXPECT_LE(Form1->FramesDropped(), together);
    EXPECT_TRUE(ShowsALoggerDate()) << Form1->Edit4->text().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

struct EveryFrameCase {
    const char* name;
    int chunk;
    int nulEvery;
};

void PrintTo(const EveryFrameCase& c, std::ostream* os)
{
    *os << c.name;
}

class EveryFrameArrives : public LiveLineFaults, public ::testing::WithParamInterface<EveryFrameCase> {};

// Bytes in any grouping, and NULs the port discards, still make whole frames.
TEST_P(EveryFrameArrives, EveryFrameSentIsParsed)
{
    SimOptions o = QuickLogger(dir);
    o.chunk = GetParam().chunk;
    o.nulEvery = GetParam().nulEvery;
    StartSimulator(o);
    ASSERT_TRUE(Form1->ComPort1->DiscardNull());
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitFrames(6, 10000));
    EXPECT_LT(IdleCpuShare(), 0.10);
    StopAndDrain();

    EXPECT_EQ(Form1->FramesParsed(), sim->Record().framesSent);
    EXPECT_EQ(Form1->FramesDropped(), 0);
    EXPECT_TRUE(ShowsALoggerDate()) << Form1->Edit4->text().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

INSTANTIATE_TEST_SUITE_P(Faults, EveryFrameArrives,
    ::testing::Values(EveryFrameCase{"OneByteWrites", 1, 0}, EveryFrameCase{"ThreeByteWrites", 3, 0},
        EveryFrameCase{"NulBytesDiscarded", 0, 7}, EveryFrameCase{"NulBytesInOneByteWrites", 1, 5}),
    [](const ::testing::TestParamInfo<EveryFrameCase>& row) { return std::string(row.param.name); });

TEST_F(LiveLineFaults, NulBytesKept_FramesFallOutOfStepQuietlyUntilDiscardingIsOn)
{
    SimOptions o = QuickLogger(dir);
    o.nulEvery = 10;
    StartSimulator(o);
    Form1->ComPort1->SetDiscardNull(false);
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitIdly([&] { return sim->FramesSent() >= 8; }, 10000));
    EXPECT_LT(IdleCpuShare(), 0.10);

    // Six or seven NULs make every frame 70 bytes or more: none is taken,
    // and none is mistaken for a frame with a bad character either.
    EXPECT_EQ(Form1->FramesParsed(), 0);
    EXPECT_EQ(Form1->FramesDropped(), 0);
    EXPECT_TRUE(errors.isEmpty()) << Errors();
    EXPECT_TRUE(Form1->ComPort1->Connected());

    // The setting applies to the open port: frames come back at once.
    Form1->ComPort1->SetDiscardNull(true);
    EXPECT_TRUE(WaitFrames(3));
    EXPECT_EQ(Form1->FramesDropped(), 0);
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

TEST_F(LiveLineFaults, MegabyteOfGarbage_AccumulatorStaysBoundedAndFramesComeBack)
{
    SimOptions o = QuickLogger(dir);
    o.garbageBytes = 1 << 20;
    o.garbageAfterFrames = 3;
    StartSimulator(o);
    ASSERT_TRUE(Connect()) << Errors();

    // The burst follows the third frame; watch the accumulator after every
    // handler until frames have been shown again well after it.
    qsizetype largest = 0;
    const bool recovered = WaitIdly(
        [&] {
            largest = std::max(largest, Form1->Edit2.size());
            return sim->FramesSent() >= 8 && Form1->FramesParsed() >= 5;
        },
        20000, 1);
    ASSERT_TRUE(recovered) << "parsed " << Form1->FramesParsed() << " of " << sim->FramesSent();
    EXPECT_LT(IdleCpuShare(), 0.10);
    StopAndDrain();

    // The accumulator holds at most one read's worth, never the burst.
    EXPECT_LE(largest, 256 * 1024);
    EXPECT_LE(Form1->Edit2.size(), 256 * 1024);
    // Frames before the burst and every frame after its tail are shown.
    EXPECT_GE(Form1->FramesParsed(), sim->Record().framesSent - 2);
    EXPECT_TRUE(ShowsALoggerDate()) << Form1->Edit4->text().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

}  // namespace
}  // namespace faults
