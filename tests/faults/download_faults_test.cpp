// A faulty line during a download: odd write sizes and split line breaks,
// a transfer that never ends, a device that vanishes half-way. What was
// captured stays in the buffer, and the program can connect and download
// again afterwards.
#include "tests/faults/fault_run.h"

#include "toolkit/string_grid.h"
#include "tests/support/printers.h"

#include <QSignalSpy>

namespace faults {
namespace {

// What the logger put on the line for `snapshot`, as the buffer must hold it:
// the header, the first `lines` sample lines, then the trailer and the end
// marker when asked for.
QString Transfer(const LoggerSnapshot& snapshot, int lines, bool trailer, bool marker)
{
    std::string text = LoggerModel::HeaderLine(snapshot.start, snapshot.rateCode);
    for (int i = 0; i < lines && i < static_cast<int>(snapshot.samples.size()); ++i)
        text += LoggerModel::SampleLine(snapshot.samples[static_cast<size_t>(i)]);
    if (trailer)
        text += LoggerModel::TrailerLine();
    if (marker)
        text += "A";
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

class DownloadFaults : public FaultRun {
protected:
    const SimDownload& LastDownload()
    {
        record = sim->Record();
        if (record.downloads.empty())
            ADD_FAILURE() << "the simulator recorded no download";
        static const SimDownload none;
        return record.downloads.empty() ? none : record.downloads.back();
    }

    // Replaces the simulator by an honest one on a new port and proves the
    // program can take up the work: frames shown, a download completed.
    void ConnectToAFreshLoggerAndDownload(int samples)
    {
        sim.reset();
        StartSimulator(QuickLogger(dir, samples));
        ASSERT_TRUE(Connect()) << Errors();
        ASSERT_TRUE(WaitFrames(2)) << "no live frames after reconnecting";
        int rows = 0;
        ASSERT_TRUE(RunDownload([&] { rows = Form5->StringGrid1->RowCount(); }));
        EXPECT_EQ(rows, samples + 1);
        EXPECT_TRUE(Flags().DataDownloaded);
    }

    SimRecord record;
};

struct IntactCase {
    const char* name;
    int chunk;
    bool splitCrLf;
    int nulEvery;
};

void PrintTo(const IntactCase& c, std::ostream* os)
{
    *os << c.name;
}

class DownloadArrivesIntact : public DownloadFaults, public ::testing::WithParamInterface<IntactCase> {};

TEST_P(DownloadArrivesIntact, BufferHoldsExactlyWhatWasSentOneLinePerRecord)
{
    constexpr int samples = 30;
    SimOptions o = QuickLogger(dir, samples);
    o.chunk = GetParam().chunk;
    o.splitCrLf = GetParam().splitCrLf;
    o.nulEvery = GetParam().nulEvery;
    StartSimulator(o);
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitFrames(1));

    int rows = 0;
    ASSERT_TRUE(RunDownload([&] { rows = Form5->StringGrid1->RowCount(); })) << Errors();
    const SimDownload& d = LastDownload();
    EXPECT_EQ(Form1->RichEdit1->Text(), Transfer(d.snapshot, samples, true, true));
    EXPECT_EQ(Form1->RichEdit1->LineCount(), samples + 3);
    EXPECT_EQ(rows, samples + 1);
    EXPECT_TRUE(Flags().DataDownloaded);
    EXPECT_FALSE(Flags().DownloadMode);
    EXPECT_TRUE(errors.isEmpty()) << Errors();
    // Live frames resume once "x" has been written.
    EXPECT_TRUE(WaitFrames(2));
    EXPECT_LT(IdleCpuShare(), 0.10);
}

INSTANTIATE_TEST_SUITE_P(Faults, DownloadArrivesIntact,
    ::testing::Values(IntactCase{"OneByteWrites", 1, false, 0}, IntactCase{"CrAndLfInTwoWrites", 0, true, 0},
        IntactCase{"CrAndLfSplitInOneByteWrites", 1, true, 0}, IntactCase{"NulBytesDiscarded", 0, false, 5}),
    [](const ::testing::TestParamInfo<IntactCase>& row) { return std::string(row.param.name); });

TEST_F(DownloadFaults, NeverEndingTransferLeftByDisconnecting_KeepsThePartialTextAndTheProgramUsable)
{
    constexpr int samples = 25;
    SimOptions o = QuickLogger(dir, samples);
    o.noEndMarker = true;
    StartSimulator(o);
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitFrames(1));

    QTest::mouseClick(Form1->AbColBitBtn4, Qt::LeftButton);
    ASSERT_TRUE(WaitIdly([&] { return Form1->RichEdit1->LineCount() >= samples + 2; }, 15000))
        << "captured only " << Form1->RichEdit1->LineCount() << " lines";
    // Waiting for a marker that never comes costs nothing.
    EXPECT_LT(IdleCpuShare(), 0.10);
    EXPECT_TRUE(Flags().DownloadMode);
    EXPECT_FALSE(Form5->isVisible());

    ClickSwitch();
    EXPECT_FALSE(Form1->ComPort1->Connected());
    EXPECT_FALSE(Form1->AbRockerSwitch1->Checked());
    EXPECT_FALSE(Flags().DownloadMode);
    EXPECT_FALSE(Flags().DataDownloaded);
    EXPECT_EQ(Form1->RichEdit1->Text(), Transfer(LastDownload().snapshot, samples, true, false));
    EXPECT_TRUE(errors.isEmpty()) << Errors();

    // Back on the same logger, once it has seen the line go quiet (it never
    // heard "x" and only a hang-up puts it back to live frames): frames
    // again, the partial text kept.
    ASSERT_TRUE(WaitIdly([&] { return !sim->ClientPresent(); }, 5000));
    const QString partial = Form1->RichEdit1->Text();
    ASSERT_TRUE(Connect()) << Errors();
    EXPECT_TRUE(WaitFrames(2));
    EXPECT_EQ(Form1->RichEdit1->Text(), partial);
    ClickSwitch();

    // The download never completed, so the button asks for a new one.
    ConnectToAFreshLoggerAndDownload(12);
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

TEST_F(DownloadFaults, DeviceHangsUpMidTransfer_UserIsToldThePortClosesAndANewLoggerWorks)
{
    constexpr int samples = 40;
    constexpr int before = 10;
    SimOptions o = QuickLogger(dir, samples);
    o.hangupAfterLines = before;
    o.reopenAfterHangup = false;
    StartSimulator(o);
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitFrames(1));

    QTest::mouseClick(Form1->AbColBitBtn4, Qt::LeftButton);
    ASSERT_TRUE(WaitIdly([&] { return !sim->Running(); }, 15000)) << "the simulator never hung up";
    ASSERT_TRUE(WaitIdly([&] { return !errors.isEmpty(); }, 5000)) << "the vanished device went unreported";
    // Once, with the port's own text.
    EXPECT_LT(IdleCpuShare(), 0.10);
    ASSERT_EQ(errors.size(), 1) << Errors();
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("ReadFile function failed (win error code: "))) << errors[0].toStdString();

    // Everything that arrived before the hang-up is in the buffer.
    EXPECT_EQ(Form1->RichEdit1->Text(), Transfer(LastDownload().snapshot, before, false, false));
    EXPECT_FALSE(Flags().DataDownloaded);
    EXPECT_FALSE(Form5->isVisible());

    // The switch lets go of the dead port without a second box.
    ClickSwitch();
    EXPECT_FALSE(Form1->ComPort1->Connected());
    EXPECT_FALSE(Form1->AbRockerSwitch1->Checked());
    EXPECT_FALSE(Flags().DownloadMode);
    EXPECT_EQ(errors.size(), 1) << Errors();
    EXPECT_EQ(Form1->RichEdit1->Text(), Transfer(LastDownload().snapshot, before, false, false));

    errors.clear();
    ConnectToAFreshLoggerAndDownload(15);
    EXPECT_TRUE(errors.isEmpty()) << Errors();
}

// How the user lets go of a port whose device vanished.
enum class LetGo { Switch, CloseMainWindow };

void PrintTo(LetGo how, std::ostream* os)
{
    *os << (how == LetGo::Switch ? "switch" : "closing the main window");
}

class HangUpWhileLive : public DownloadFaults, public ::testing::WithParamInterface<LetGo> {};

TEST_P(HangUpWhileLive, UserIsToldOnceAndThePortIsLetGoWithoutASecondBox)
{
    StartSimulator(QuickLogger(dir));
    ASSERT_TRUE(Connect()) << Errors();
    ASSERT_TRUE(WaitFrames(2));
    const int shown = Form1->FramesParsed();

    // The adapter is pulled: the simulator goes, and its pty master with it.
    sim.reset();
    ASSERT_TRUE(WaitIdly([&] { return !errors.isEmpty(); }, 5000)) << "the vanished device went unreported";
    EXPECT_LT(IdleCpuShare(), 0.10);
    ASSERT_EQ(errors.size(), 1) << Errors();
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("ReadFile function failed (win error code: "))) << errors[0].toStdString();
    EXPECT_GE(Form1->FramesParsed(), shown);

    QSignalSpy ended(Form1, &TForm1::MainWindowClosed);
    if (GetParam() == LetGo::Switch)
        ClickSwitch();
    else
        Form1->close();
    EXPECT_FALSE(Form1->ComPort1->Connected());
    EXPECT_FALSE(Form1->AbRockerSwitch1->Checked());
    EXPECT_EQ(ended.count(), GetParam() == LetGo::CloseMainWindow ? 1 : 0);
    EXPECT_EQ(errors.size(), 1) << Errors();
}

INSTANTIATE_TEST_SUITE_P(Faults, HangUpWhileLive, ::testing::Values(LetGo::Switch, LetGo::CloseMainWindow),
    [](const ::testing::TestParamInfo<LetGo>& row) {
        return std::string(row.param == LetGo::Switch ? "BySwitch" : "ByClosingTheMainWindow");
    });

}  // namespace
}  // namespace faults
