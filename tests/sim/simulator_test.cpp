// The simulator in-process, against a client on the real slave of its pty.
#include "sim/simulator.h"
#include "tests/sim/sim_client.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const LoggerStamp kStart{2024, 5, 17, 8, 15, 30};

bool WaitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 200 && !condition(); ++i)
        std::this_thread::sleep_for(10ms);
    return condition();
}

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "veltra8-sim-test-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }
    SimOptions Quick() const
    {
        SimOptions o;
        o.portsFolder = folder_;
        o.framePeriodMs = 100;
        o.paced = false;
        o.start = kStart;
        o.seed = 11;
        return o;
    }
    std::string folder_;
};

struct Transfer {
    std::vector<Chunk> chunks;  // the reads, the lone "A" last if it came
    double xMs = 0;             // when "X" was written
    std::string text;           // all but the "A"
    bool marker = false;
};

// Requests a download as the client does ("8" or "E", a second, "X") and
// reads until the lone "A" or `ms`.
Transfer Download(SimClient& client, char request, double ms = 3000)
{
    Transfer t;
    client.Write(std::string(1, request));
    std::this_thread::sleep_for(1000ms);
    client.ReadFor(1);  // frames sent before the request took hold
    t.xMs = client.Ms();
    client.Write("X");
    for (const double end = client.Ms() + ms; !t.marker && client.Ms() < end && !client.HungUp();) {
        for (Chunk& c : client.ReadFor(20)) {
            t.marker = c.bytes == "A";
            if (!t.marker)
                t.text += c.bytes;
            t.chunks.push_back(std::move(c));
        }
    }
    return t;
}

TEST_F(SimulatorTest, LiveFramesCarryTheLoggerStateOnlyWhileAClientHoldsThePort)
{
    SimOptions o = Quick();
    o.rateCode = 4;
    o.samples = 12;
    o.battery = 154;
    o.recordPath = folder_ + "/record.txt";
    Simulator sim(o);
    sim.Start();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sim.FramesSent(), 0);

    SimClient client(sim.SlavePath());
    const auto frames = Frames(client.ReadBytes(64 * 4, 2000));
    ASSERT_EQ(frames.size(), 4u);
    const LoggerChannels channels(11);
    for (const std::string& f : frames) {
        const DecodedFrame d = DecodeFrame(f);
        ASSERT_TRUE(d.digits) << f;
        EXPECT_EQ(f[63], '\r');
        EXPECT_EQ((std::array{d.day, d.month, d.year, d.hour, d.minute, d.battery, d.rateCode}),
                  (std::array{17, 5, 24, 8, 15, 154, 4}));
        EXPECT_GE(d.second, 30);
        EXPECT_DOUBLE_EQ(d.positions, 12);
        const LoggerSample expected = channels.At(static_cast<double>(ToLoggerSeconds(kStart) + d.second - 30));
        for (std::size_t ch = 0; ch < 8; ++ch)
            EXPECT_NEAR(d.raw[ch], expected[ch], 15) << "channel " << ch + 1;
    }
    client.Close();
    ASSERT_TRUE(WaitFor([&] { return !sim.ClientPresent(); }));
    const long long sent = sim.FramesSent();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sim.FramesSent(), sent);
    EXPECT_LE(sent, 4 + 2);  // what the client read, and one in flight as it left
    sim.Stop();
    EXPECT_EQ(ReadRecordFile(o.recordPath).framesSent, sent);
}

TEST_F(SimulatorTest, NextClientStartsOnAWholeFrame)
{
    SimOptions o = Quick();
    o.framePeriodMs = 0;
    o.chunk = 8;
    o.chunkGapMs = 5;  // a frame takes 40 ms, so the close lands mid-frame
    Simulator sim(o);
    sim.Start();
    for (int round = 0; round < 3; ++round) {
        SimClient client(sim.SlavePath());
        EXPECT_TRUE(DecodeFrame(client.ReadBytes(64 + 20, 2000).substr(0, 64)).digits) << "round " << round;
        client.Close();
        ASSERT_TRUE(WaitFor([&] { return !sim.ClientPresent(); }));
    }
}

TEST_F(SimulatorTest, RateAndClockCommandsShowInTheNextFrames)
{
    SimOptions o = Quick();
    o.samples = 30;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    client.Write("6");
    client.ReadFor(150);
    DecodedFrame d = DecodeFrame(client.ReadBytes(64, 1000));
    EXPECT_EQ(d.rateCode, 5);
    EXPECT_DOUBLE_EQ(d.positions, 0);

    for (char c : std::string("3090307011231"))
        client.Write(std::string(1, c));
    client.ReadFor(150);
    d = DecodeFrame(client.ReadBytes(64, 1000));
    EXPECT_EQ((std::array{d.day, d.month, d.year, d.hour, d.minute, d.rateCode}), (std::array{1, 12, 31, 9, 3, 5}));
    EXPECT_LE(d.second, 8);
    EXPECT_DOUBLE_EQ(d.positions, 0);
}

class DownloadTransfer : public SimulatorTest, public ::testing::WithParamInterface<char> {};

TEST_P(DownloadTransfer, HeaderSamplesTrailerThenALoneMarkerAfterAPause)
{
    SimOptions o = Quick();
    o.samples = 25;
    o.rateCode = 2;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    const Transfer t = Download(client, GetParam());
    ASSERT_TRUE(t.marker);
    // Nothing before the client's clear step; the "A" after a pause.
    EXPECT_GE(t.chunks.front().ms - t.xMs, 450);
    EXPECT_GE(t.chunks.back().ms - t.chunks[t.chunks.size() - 2].ms, 200);

    const SimRecord record = sim.Record();
    ASSERT_EQ(record.downloads.size(), 1u);
    const SimDownload& d = record.downloads[0];
    EXPECT_EQ(d.snapshot.command, GetParam());
    EXPECT_TRUE(d.endMarkerSent);
    EXPECT_EQ(d.linesSent, 25);
    ASSERT_EQ(d.snapshot.samples.size(), 25u);
    EXPECT_EQ(d.snapshot.start, (LoggerStamp{2024, 5, 17, 6, 10, 30}));  // 25 steps of 5 minutes back

    // The client's buffer once it has appended the "A": every sample a row.
    const auto lines = Lines(t.text + "A");
    ASSERT_EQ(lines.size(), 25u + 3u);
    const std::string& h = lines[0];
    EXPECT_EQ((std::array{Digits(h, 2, 2), Digits(h, 5, 2), Digits(h, 8, 2), Digits(h, 11, 2), Digits(h, 14, 2),
                          Digits(h, 17, 2), Digits(h, 21, 1)}),
              (std::array{24, 5, 17, 30, 10, 6, 2}));
    for (std::size_t r = 1; r <= 25; ++r) {
        ASSERT_EQ(lines[r].size(), 48u) << lines[r];
        for (std::size_t ch = 0; ch < 8; ++ch) {
            const int raw = Digits(lines[r], 6 * ch + 1, 3) * 256 + Digits(lines[r], 6 * ch + 4, 3);
            EXPECT_EQ(raw, d.snapshot.samples[r - 1][ch]) << "row " << r;
        }
    }
    EXPECT_EQ(lines[26], "FIN");

    EXPECT_TRUE(client.ReadFor(300).empty());  // no live frames until "x"
    client.Write("x");
    EXPECT_TRUE(DecodeFrame(client.ReadBytes(64, 1000)).digits);
}

INSTANTIATE_TEST_SUITE_P(Requests, DownloadTransfer, ::testing::Values('8', 'E'));

TEST_F(SimulatorTest, FullMemoryLeavesNoFasterThanTheWire)
{
    SimOptions o = Quick();
    o.paced = true;
    o.samples = kLoggerMemoryPositions;
    o.framePeriodMs = 1000;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    const Transfer t = Download(client, '8', 20000);
    ASSERT_TRUE(t.marker);
    EXPECT_EQ(Lines(t.text).size(), 2000u + 3u);
    // The first read's bytes were already on the wire when it came.
    const double wireMs = static_cast<double>(t.text.size() - t.chunks.front().bytes.size()) * 10 * 1000 / 115200;
    const double tookMs = t.chunks[t.chunks.size() - 2].ms - t.chunks.front().ms;
    EXPECT_GE(tookMs, 0.8 * wireMs);
    EXPECT_LE(tookMs, 3 * wireMs);
}

TEST_F(SimulatorTest, BadFrameEveryNthCarriesALetter)
{
    SimOptions o = Quick();
    o.badFrameEvery = 2;
    o.framePeriodMs = 30;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    const auto frames = Frames(client.ReadBytes(64 * 8, 3000));
    ASSERT_EQ(frames.size(), 8u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(std::count_if(frames[i].begin(), frames[i].end() - 1, ::isalpha), i % 2) << frames[i];
        EXPECT_EQ(frames[i][63], '\r');
    }
    EXPECT_GE(sim.Record().badFrames, 4);
}

TEST_F(SimulatorTest, RunTogetherAndSmallChunksChangeOnlyHowFramesAreCut)
{
    SimOptions glued = Quick();
    glued.runTogetherEvery = 2;
    glued.framePeriodMs = 80;
    SimOptions bytewise = Quick();
    bytewise.chunk = 1;
    bytewise.chunkGapMs = 2;
    for (const SimOptions& o : {glued, bytewise}) {
        Simulator sim(o);
        sim.Start();
        SimClient client(sim.SlavePath());
        std::string stream;
        std::vector<std::size_t> sizes;
        for (const Chunk& c : client.ReadFor(800)) {
            stream += c.bytes;
            sizes.push_back(c.bytes.size());
        }
        ASSERT_GE(stream.size(), 128u);
        for (const std::string& f : Frames(stream))
            EXPECT_TRUE(DecodeFrame(f).digits) << f;
        if (o.chunk) {  // a busy reader may still catch a few bytes at once
            EXPECT_GE(sizes.size(), stream.size() / 4);
        } else {
            EXPECT_NE(std::find(sizes.begin(), sizes.end(), 128u), sizes.end());
            EXPECT_NE(std::find(sizes.begin(), sizes.end(), 64u), sizes.end());
        }
    }
}

TEST_F(SimulatorTest, SplitCrLfPutsEveryLineFeedInAWriteOfItsOwn)
{
    SimOptions o = Quick();
    o.samples = 10;
    o.splitCrLf = true;
    o.chunkGapMs = 10;  // room for a busy machine to read the CR alone
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    const Transfer t = Download(client, '8');
    ASSERT_TRUE(t.marker);
    int crEnds = 0;
    for (std::size_t i = 0; i + 1 < t.chunks.size(); ++i) {
        EXPECT_EQ(t.chunks[i].bytes.find("\r\n"), std::string::npos);
        if (t.chunks[i].bytes.back() == '\r') {
            ++crEnds;
            EXPECT_EQ(t.chunks[i + 1].bytes.front(), '\n');
        }
    }
    EXPECT_EQ(crEnds, 12);  // header, ten samples, trailer
    EXPECT_EQ(Lines(t.text + "A").size(), 13u);
}

TEST_F(SimulatorTest, NulBytesAreSprinkledButNeverIntoTheMarker)
{
    SimOptions o = Quick();
    o.samples = 3;
    o.nulEvery = 10;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    const std::string live = client.ReadBytes(70 * 2, 2000);
    EXPECT_GE(std::count(live.begin(), live.end(), '\0'), 12);
    const Transfer t = Download(client, 'E');
    ASSERT_TRUE(t.marker);  // no NUL beside the "A"
    std::string clean = t.text;
    clean.erase(std::remove(clean.begin(), clean.end(), '\0'), clean.end());
    EXPECT_GE(t.text.size() - clean.size(), clean.size() / 10 - 1);
    const auto lines = Lines(clean + "A");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1].size(), 48u);
}

TEST_F(SimulatorTest, NoEndMarkerLeavesTheTransferOpenUntilResumed)
{
    SimOptions o = Quick();
    o.samples = 4;
    o.noEndMarker = true;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    const Transfer t = Download(client, '8', 1500);
    EXPECT_FALSE(t.marker);
    EXPECT_EQ(Lines(t.text).size(), 1u + 4u + 2u);  // header, samples, trailer and the empty rest
    EXPECT_EQ(t.text.find('A'), std::string::npos);
    EXPECT_FALSE(sim.Record().downloads.at(0).endMarkerSent);
    client.Write("x");
    EXPECT_TRUE(DecodeFrame(client.ReadBytes(64, 1000)).digits);
}

TEST_F(SimulatorTest, HangupAfterTheGivenLinesEndsTheSimulator)
{
    SimOptions o = Quick();
    o.samples = 20;
    o.hangupAfterLines = 3;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    const Transfer t = Download(client, '8', 2000);
    EXPECT_TRUE(client.HungUp());
    EXPECT_EQ(Lines(t.text).size(), 1u + 3u + 1u);
    EXPECT_TRUE(WaitFor([&] { return !sim.Running(); }));
    EXPECT_EQ(sim.Record().downloads.at(0).linesSent, 3);
}

TEST_F(SimulatorTest, HangupWithReopenServesANewPortUnderTheSameLink)
{
    SimOptions o = Quick();
    o.samples = 5;
    o.hangupAfterLines = 0;
    o.reopenAfterHangup = true;
    Simulator sim(o);
    sim.Start();
    const std::string first = sim.SlavePath();
    {
        SimClient client(sim.LinkPath());
        client.ReadBytes(64, 2000);
        EXPECT_EQ(Lines(Download(client, '8').text).size(), 2u);  // the header only
        EXPECT_TRUE(client.HungUp());
    }
    // The client has let go of the old port by now, so its number is free;
    // the new port must still be another one.
    ASSERT_TRUE(WaitFor([&] { return sim.Reopens() == 1; }));
    EXPECT_NE(sim.SlavePath(), first);
    EXPECT_EQ(fs::read_symlink(sim.LinkPath()).string(), sim.SlavePath());
    SimClient again(sim.LinkPath());
    EXPECT_TRUE(DecodeFrame(again.ReadBytes(64, 2000)).digits);
    const Transfer t = Download(again, '8');  // the hang-up comes once
    EXPECT_TRUE(t.marker);
    EXPECT_EQ(Lines(t.text + "A").size(), 5u + 3u);
}

TEST_F(SimulatorTest, RequestWithoutXLapsesAndLiveFramesResume)
{
    Simulator sim(Quick());
    sim.Start();
    SimClient client(sim.SlavePath());
    client.ReadBytes(64, 2000);
    client.Write("8");
    const double asked = client.Ms();
    client.ReadFor(300);  // frames sent before the request took hold
    const std::string frame = client.ReadBytes(64, 8000);
    EXPECT_TRUE(DecodeFrame(frame).digits) << frame;
    EXPECT_GE(client.Ms() - asked, 4900);
}

TEST_F(SimulatorTest, GarbageBurstComesOnceBetweenFrames)
{
    SimOptions o = Quick();
    o.garbageBytes = 100000;
    o.garbageAfterFrames = 2;
    Simulator sim(o);
    sim.Start();
    SimClient client(sim.SlavePath());
    const std::string stream = client.ReadBytes(64 * 4 + 100000, 5000);
    ASSERT_EQ(stream.size(), 64u * 4 + 100000);
    for (std::size_t at : {0, 64, 128 + 100000, 192 + 100000})
        EXPECT_TRUE(DecodeFrame(stream.substr(at, 64)).digits) << at;
    EXPECT_FALSE(DecodeFrame(stream.substr(128, 64)).digits);
}

TEST_F(SimulatorTest, LinkIsNamedFreelyAndRemovedOnStop)
{
    SimOptions nested = Quick();
    nested.portsFolder = folder_ + "/made/here";
    Simulator missingFolder(nested);
    missingFolder.Start();
    EXPECT_TRUE(fs::is_symlink(nested.portsFolder + "/veltra8-sim"));

    fs::create_symlink("/dev/pts/nonexistent-veltra8", folder_ + "/veltra8-sim");  // left by a killed run
    Simulator a(Quick()), b(Quick());
    a.Start();
    b.Start();
    EXPECT_EQ(a.LinkPath(), folder_ + "/veltra8-sim");
    EXPECT_EQ(b.LinkPath(), folder_ + "/veltra8-sim-2");
    EXPECT_EQ(fs::read_symlink(b.LinkPath()).string(), b.SlavePath());
    SimOptions named = Quick();
    named.linkName = "veltra8-sim-2";
    Simulator c(named);
    EXPECT_THROW(c.Start(), std::runtime_error);

    a.Stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ + "/veltra8-sim")));
    EXPECT_TRUE(fs::is_symlink(b.LinkPath()));
    b.Stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ + "/veltra8-sim-2")));
}

}  // namespace
