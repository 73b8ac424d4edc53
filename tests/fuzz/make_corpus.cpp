// Writes the fuzz targets' seed inputs from the simulator's logger: its live
// frames and download transfers, cut into chunks the way a serial line hands
// them over (whole, split, one byte at a time, run together, with the line
// faults the simulator can inject). Usage: fuzz_make_corpus <corpus folder>.
#include "sim/logger_model.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Chunks = std::vector<std::string>;

// Length-prefixed chunks, the input form of the live-frame and download
// targets; longer pieces are cut at 255 bytes.
std::string encode(const Chunks& chunks)
{
    std::string out;
    for (const std::string& c : chunks) {
        std::size_t at = 0;
        do {
            const std::size_t n = std::min<std::size_t>(255, c.size() - at);
            out += static_cast<char>(n);
            out.append(c, at, n);
            at += n;
        } while (at < c.size());
    }
    return out;
}

void write(const fs::path& folder, const std::string& name, const std::string& bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

Chunks pieces(const std::string& text, std::size_t size)
{
    Chunks out;
    for (std::size_t at = 0; at < text.size(); at += size)
        out.push_back(text.substr(at, size));
    return out;
}

Chunks withNuls(const Chunks& chunks, std::size_t every)
{
    Chunks out;
    std::size_t since = 0;
    for (const std::string& c : chunks) {
        std::string n;
        for (char ch : c) {
            n += ch;
            if (++since == every) {
                n += '\0';
                since = 0;
            }
        }
        out.push_back(n);
    }
    return out;
}

LoggerModel model(int rateCode, int preloaded, LoggerStamp start, int battery = 180, std::uint32_t seed = 1)
{
    LoggerModel::Settings s;
    s.seed = seed;
    s.rateCode = rateCode;
    s.battery = battery;
    s.preloaded = preloaded;
    s.start = start;
    return LoggerModel(s);
}

std::vector<std::string> frames(LoggerModel& m, int count)
{
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        m.AdvanceTo(i, i * 1000.0);
        out.push_back(m.LiveFrame());
    }
    return out;
}

void liveFrames(const fs::path& folder)
{
    LoggerModel m = model(1, 12, {2024, 5, 17, 8, 15, 30});
    const auto f = frames(m, 4);
    write(folder, "one-frame", encode({f[0]}));
    write(folder, "three-frames", encode({f[0], f[1], f[2]}));
    write(folder, "split-40-24", encode({f[0].substr(0, 40), f[0].substr(40)}));
    write(folder, "one-byte-chunks", encode(pieces(f[1], 1)));
    write(folder, "seven-byte-chunks", encode(pieces(f[0] + f[1], 7)));
    write(folder, "run-together", encode({f[0] + f[1], f[2], f[3]}));
    write(folder, "nul-every-10", encode(withNuls({f[0], f[1], f[2]}, 10)));
    std::string bad = f[1];
    bad[20] = 'K';
    write(folder, "bad-frame-then-good", encode({f[0], bad, f[2]}));
    write(folder, "accumulator-at-65", encode({f[0].substr(0, 33), f[0].substr(0, 32), f[1]}));

    // Edge values of every field: year end, a flat battery, memory empty and
    // full, channels at both ends of the live frame's range.
    LoggerSample cold{};
    LoggerSample hot{};
    hot.fill(4095);
    write(folder, "cold-empty-flat",
          encode({LoggerModel::FrameText({2099, 12, 31, 23, 59, 59}, 0, 6, cold, 0)}));
    write(folder, "hot-full-battery",
          encode({LoggerModel::FrameText({2000, 1, 1, 0, 0, 0}, 999, 4, hot, 2000)}));
    write(folder, "battery-76-rate-2",
          encode({LoggerModel::FrameText({2022, 3, 7, 14, 5, 9}, 152, 2, LoggerSample{500, 500, 500, 500, 500, 500, 500, 500}, 1)}));

    std::string garbage;
    std::uint32_t x = 12345;
    for (int i = 0; i < 600; ++i) {
        x = x * 1103515245u + 12345u;
        garbage += static_cast<char>(x >> 24);
    }
    write(folder, "garbage-burst", encode({f[0], garbage, f[1], f[2]}));
}

std::string transfer(const LoggerSnapshot& s, bool trailer = true)
{
    std::string t = LoggerModel::HeaderLine(s.start, s.rateCode);
    for (const LoggerSample& sample : s.samples)
        t += LoggerModel::SampleLine(sample);
    if (trailer)
        t += LoggerModel::TrailerLine();
    return t;
}

// The rate box byte, then the transfer's chunks and, when it ended, the lone "A".
std::string download(int rateBox, Chunks chunks, bool ended = true)
{
    if (ended)
        chunks.push_back("A");
    return std::string(1, static_cast<char>(rateBox)) + encode(chunks);
}

void downloads(const fs::path& folder)
{
    const LoggerStamp start{2024, 5, 17, 8, 15, 30};
    for (int code = 1; code <= 6; ++code) {
        LoggerModel m = model(code, 6, start, 180, static_cast<std::uint32_t>(code));
        write(folder, "rate-" + std::to_string(code), download(0, {transfer(m.TakeSnapshot())}));
    }
    LoggerModel m = model(1, 20, start);
    const std::string t = transfer(m.TakeSnapshot());
    write(folder, "chunks-of-64", download(1, pieces(t, 64)));
    write(folder, "chunks-of-13", download(1, pieces(t, 13)));

    // CR at the end of one chunk, LF at the start of the next.
    Chunks split;
    std::size_t from = 0;
    for (std::size_t at = t.find("\r\n"); at != std::string::npos; at = t.find("\r\n", from)) {
        split.push_back(t.substr(from, at + 1 - from));
        from = at + 1;
    }
    split.push_back(t.substr(from));
    write(folder, "cr-lf-split", download(1, split));
    write(folder, "nul-every-25", download(1, withNuls(pieces(t, 64), 25)));
    write(folder, "no-end-marker", download(1, pieces(t, 64), false));
    write(folder, "hangup-mid-line", download(1, pieces(t.substr(0, t.size() / 2 + 7), 64), false));
    write(folder, "a-inside-a-chunk", download(1, {t + "A"}));

    LoggerModel empty = model(2, 0, start);
    write(folder, "no-samples", download(0, {transfer(empty.TakeSnapshot())}));
    write(folder, "only-the-marker", download(0, {}));
    write(folder, "header-only-no-trailer", download(0, {transfer(empty.TakeSnapshot(), false)}));

    // Calendar edges of the row stamps.
    const struct {
        const char* name;
        LoggerStamp start;
        int code;
    } edges[] = {
        {"year-end-1-minute", {2023, 12, 31, 23, 59, 7}, 1},
        {"year-end-5-minutes", {2023, 12, 31, 23, 55, 0}, 2},
        {"leap-day-30-minutes", {2024, 2, 28, 23, 30, 0}, 5},
        {"no-leap-30-minutes", {2023, 2, 28, 23, 30, 0}, 5},
        {"april-end-15-minutes", {2024, 4, 30, 23, 45, 0}, 4},
        {"off-grid-5-minutes", {2024, 1, 1, 10, 58, 15}, 2},
        {"day-end-60-minutes", {2024, 1, 1, 20, 20, 0}, 6},
        {"year-09-to-10", {2009, 12, 31, 23, 50, 0}, 3},
        {"century-end", {2099, 12, 31, 22, 0, 0}, 6},
    };
    for (const auto& e : edges) {
        LoggerSnapshot s{'8', e.start, e.code, {}};
        for (int i = 0; i < 8; ++i)
            s.samples.push_back(LoggerSample{735, 0, 1750, 499, 500, 12848, 65535, 4095});
        write(folder, e.name, download(0, {transfer(s)}));
    }

    // Fields the logger never sends: out-of-range stamps, rate code 0.
    write(folder, "month-13-minute-75-rate-0",
          download(3, {"D24/13/32 00:75:25 R0\r\n" + LoggerModel::SampleLine({1, 2, 3, 4, 5, 6, 7, 8})
                           + LoggerModel::SampleLine({}) + LoggerModel::TrailerLine()}));
    write(folder, "letter-in-a-sample",
          download(1, {LoggerModel::HeaderLine(start, 1) + "001244001244x01244001244001244001244001244001244\r\n"
                           + LoggerModel::TrailerLine()}));
    write(folder, "short-sample-line",
          download(1, {LoggerModel::HeaderLine(start, 1) + "0012440012440012\r\n" + LoggerModel::TrailerLine()}));
}

void portSetup(const fs::path& folder)
{
    const char* texts[] = {"115200", "9600", "Custom", "custom", "256000", "8", "5", "1", "1.5", "2",
                           "None", "none", "Odd", "EVEN", "Mark", "space", "Hardware", "software",
                           "115200 ", " 8", "1,5", "N\xc3\xb6ne", "MAR\xe2\x84\xaa"};
    int n = 0;
    for (const char* t : texts)
        write(folder, "text-" + std::to_string(++n), t);
}

void formats(const fs::path& folder)
{
    const struct {
        double value;
        int precision, digits;
        const char* text;
    } seeds[] = {
        {23.5, 4, 1, "##0.0"},   {-50.0, 4, 1, "0.0"},     {1234.8, 4, 1, "#,##0.00"}, {6503.5, 4, 1, "12,5"},
        {-0.9375, 15, 0, "-0,9375"}, {12.5, 4, 1, "##.##.##"}, {1e20, 18, 18, "1E20"},   {5e-324, 1, 0, "$7FFFFFFF"},
        {0.05, 4, 1, " -2147483648"}, {99999.95, 4, 1, "1,2E-5"},
    };
    int n = 0;
    for (const auto& s : seeds) {
        std::string bytes(sizeof s.value, '\0');
        std::memcpy(bytes.data(), &s.value, sizeof s.value);
        bytes += static_cast<char>(s.precision - 1);
        bytes += static_cast<char>(s.digits);
        bytes += s.text;
        write(folder, "value-" + std::to_string(++n), bytes);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[1]);
    liveFrames(root / "fuzz_live_frame");
    downloads(root / "fuzz_download");
    portSetup(root / "fuzz_port_setup");
    formats(root / "fuzz_formats");
    return 0;
}
