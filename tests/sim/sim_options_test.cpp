// The command line and the record file.
#include "sim/sim_options.h"
#include "sim/sim_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace {

struct OptionRow {
    std::vector<std::string> args;
    std::function<bool(const SimOptions&)> holds;
};

TEST(SimArguments, EachOptionReachesItsFieldAndIsDocumented)
{
    EXPECT_TRUE(ParseSimArguments({"-h"}).help);
    const std::vector<OptionRow> rows{
        {{"--ports-dir", "/tmp/p"}, [](auto& o) { return o.portsFolder == "/tmp/p"; }},
        {{"--link-name=my-logger"}, [](auto& o) { return o.linkName == "my-logger"; }},
        {{"--no-link"}, [](auto& o) { return !o.makeLink; }},
        {{"--frame-period", "0"}, [](auto& o) { return o.framePeriodMs == 0; }},
        {{"--unpaced"}, [](auto& o) { return !o.paced; }},
        {{"--baud", "9600"}, [](auto& o) { return o.baud == 9600; }},
        {{"--speed", "60.5"}, [](auto& o) { return o.speed == 60.5; }},
        {{"--samples", "2000"}, [](auto& o) { return o.samples == 2000; }},
        {{"--rate-code", "6"}, [](auto& o) { return o.rateCode == 6; }},
        {{"--seed", "4294967295"}, [](auto& o) { return o.seed == 4294967295U; }},
        {{"--battery", "999"}, [](auto& o) { return o.battery == 999; }},
        {{"--low-battery"}, [](auto& o) { return o.battery < 152; }},
        {{"--start", "2024-02-29T23:59:58"},
         [](auto& o) { return o.start && *o.start == LoggerStamp{2024, 2, 29, 23, 59, 58}; }},
        {{"--transfer-delay", "600"}, [](auto& o) { return o.transferDelayMs == 600; }},
        {{"--marker-pause", "300"}, [](auto& o) { return o.markerPauseMs == 300; }},
        {{"--bad-frame-every", "3"}, [](auto& o) { return o.badFrameEvery == 3; }},
        {{"--run-together", "2"}, [](auto& o) { return o.runTogetherEvery == 2; }},
        {{"--chunk", "1"}, [](auto& o) { return o.chunk == 1; }},
        {{"--chunk-gap", "5"}, [](auto& o) { return o.chunkGapMs == 5; }},
        {{"--split-crlf"}, [](auto& o) { return o.splitCrLf; }},
        {{"--nul-every", "10"}, [](auto& o) { return o.nulEvery == 10; }},
        {{"--no-end-marker"}, [](auto& o) { return o.noEndMarker; }},
        {{"--hangup-after", "0", "--reopen"}, [](auto& o) { return o.hangupAfterLines == 0 && o.reopenAfterHangup; }},
        {{"--garbage", "1048576"}, [](auto& o) { return o.garbageBytes == 1048576; }},
        {{"--garbage-after", "5"}, [](auto& o) { return o.garbageAfterFrames == 5; }},
        {{"--record", "/tmp/r.txt"}, [](auto& o) { return o.recordPath == "/tmp/r.txt"; }},
    };
    const std::string help = SimUsageText();
    for (const OptionRow& row : rows) {
        const SimArguments parsed = ParseSimArguments(row.args);
        EXPECT_TRUE(row.holds(parsed.options)) << row.args[0];
        std::string name = row.args[0].substr(0, row.args[0].find('='));
        EXPECT_NE(help.find("  " + name), std::string::npos) << name << " is not in --help";
    }
}

TEST(SimArguments, BadValuesAreRefusedWithTheOptionNamed)
{
    const std::vector<std::vector<std::string>> bad{
        {"--samples", "2001"}, {"--rate-code", "7"},  {"--rate-code", "0"},   {"--speed", "0"},
        {"--speed", "fast"},   {"--chunk", "0"},      {"--battery", "1000"},  {"--seed", "-1"},
        {"--start", "2024-02-30T00:00:00"},           {"--start", "yesterday"}, {"--frame-period"},
        {"--unpaced=yes"},     {"--link-name", "a/b"}, {"--reopen"},          {"--wat"},
        {"--samples", "12x"},
    };
    for (const auto& args : bad) {
        try {
            ParseSimArguments(args);
            ADD_FAILURE() << args[0] << " was accepted";
        } catch (const SimUsageError& e) {
            EXPECT_NE(std::string(e.what()).find(args[0].substr(0, args[0].find('='))), std::string::npos) << e.what();
        }
    }
}

TEST(SimRecordFile, WhatIsWrittenReadsBackAndBrokenTextIsRefused)
{
    SimRecord r;
    r.framesSent = 1234;
    r.badFrames = 5;
    r.received = {{1000.5, '8'}, {2001.25, 'X'}};
    const std::vector<LoggerSample> samples{{735, 0, 1750, 500, 499, 4095, 256, 1}, {1, 2, 3, 4, 5, 6, 7, 8}};
    SimDownload d{1, LoggerSnapshot{'E', {2024, 5, 17, 8, 15, 30}, 2, samples}, 1, false};
    r.downloads = {d, SimDownload{2, LoggerSnapshot{}, 0, true}};
    const std::string path = (std::filesystem::temp_directory_path() / "veltra8-sim-record-test.txt").string();
    WriteRecordFile(path, r);
    const SimRecord back = ReadRecordFile(path);
    std::filesystem::remove(path);
    EXPECT_EQ(back.framesSent, 1234);
    EXPECT_EQ(back.badFrames, 5);
    ASSERT_EQ(back.received.size(), 2u);
    EXPECT_EQ(back.received[1].byte, 'X');
    EXPECT_DOUBLE_EQ(back.received[1].ms, 2001.25);
    ASSERT_EQ(back.downloads.size(), 2u);
    const SimDownload& b = back.downloads[0];
    EXPECT_EQ(b.snapshot.command, 'E');
    EXPECT_EQ(b.snapshot.start, d.snapshot.start);
    EXPECT_EQ(b.snapshot.rateCode, 2);
    EXPECT_EQ(b.snapshot.samples, d.snapshot.samples);
    EXPECT_EQ(b.linesSent, 1);
    EXPECT_FALSE(b.endMarkerSent);
    EXPECT_TRUE(back.downloads[1].endMarkerSent);

    const std::string text = RecordText(r);
    EXPECT_THROW(ParseRecordText(text.substr(0, text.rfind("1 2 3"))), std::runtime_error);
    EXPECT_THROW(ParseRecordText("frames 1 0\nsomething else\n"), std::runtime_error);
    EXPECT_THROW(ReadRecordFile("/nonexistent/veltra8/record"), std::runtime_error);
}

}  // namespace
