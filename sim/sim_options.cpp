#include "sim/sim_options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

template <typename T>
T Number(const std::string& option, const std::string& text, T low, T high)
{
    T value{};
    const char* end = text.data() + text.size();
    const auto [at, err] = std::from_chars(text.data(), end, value);
    if (err != std::errc() || at != end || value < low || value > high)
        throw SimUsageError(option + " wants a number from " + std::to_string(low) + " to " + std::to_string(high)
                            + ", not '" + text + "'");
    return value;
}

double Factor(const std::string& option, const std::string& text)
{
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || !std::isfinite(value) || value <= 0 || value > 1e7)
        throw SimUsageError(option + " wants a positive factor, not '" + text + "'");
    return value;
}

LoggerStamp StartStamp(const std::string& option, const std::string& text)
{
    LoggerStamp s;
    char sep = 0;
    int used = 0;
    const int got = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &s.year, &s.month, &s.day, &sep, &s.hour,
                                &s.minute, &s.second, &used);
    if (got != 7 || (sep != ' ' && sep != 'T') || static_cast<std::size_t>(used) != text.size() || !IsValidStamp(s))
        throw SimUsageError(option + " wants a time of 2000..2099 as YYYY-MM-DDThh:mm:ss, not '" + text + "'");
    return s;
}

}  // namespace

SimArguments ParseSimArguments(const std::vector<std::string>& args)
{
    SimArguments parsed;
    SimOptions& o = parsed.options;

    using Setter = std::function<void(const std::string& option, const std::string& value)>;
    // Options that take a value, and switches that do not.
    const std::map<std::string, Setter> valued{
        {"--ports-dir", [&](auto&, auto& v) { o.portsFolder = v; }},
        {"--link-name",
         [&](auto& opt, auto& v) {
             if (v.empty() || v.find('/') != std::string::npos)
                 throw SimUsageError(opt + " wants a plain file name");
             o.linkName = v;
         }},
        {"--frame-period", [&](auto& opt, auto& v) { o.framePeriodMs = Number(opt, v, 0, 3600000); }},
        {"--baud", [&](auto& opt, auto& v) { o.baud = Number(opt, v, 50, 4000000); }},
        {"--speed", [&](auto& opt, auto& v) { o.speed = Factor(opt, v); }},
        {"--calm", [&](auto& opt, auto& v) { o.calmMs = Number(opt, v, 0, 3600000); }},
        {"--samples", [&](auto& opt, auto& v) { o.samples = Number(opt, v, 0, kLoggerMemoryPositions); }},
        {"--rate-code", [&](auto& opt, auto& v) { o.rateCode = Number(opt, v, 1, 6); }},
        {"--seed", [&](auto& opt, auto& v) { o.seed = Number<std::uint32_t>(opt, v, 0, 0xffffffffU); }},
        {"--battery", [&](auto& opt, auto& v) { o.battery = Number(opt, v, 0, 999); }},
        {"--start", [&](auto& opt, auto& v) { o.start = StartStamp(opt, v); }},
        {"--transfer-delay", [&](auto& opt, auto& v) { o.transferDelayMs = Number(opt, v, 0, 60000); }},
        {"--marker-pause", [&](auto& opt, auto& v) { o.markerPauseMs = Number(opt, v, 0, 60000); }},
        {"--bad-frame-every", [&](auto& opt, auto& v) { o.badFrameEvery = Number(opt, v, 1, 1000000); }},
        {"--run-together", [&](auto& opt, auto& v) { o.runTogetherEvery = Number(opt, v, 1, 1000000); }},
        {"--chunk", [&](auto& opt, auto& v) { o.chunk = Number(opt, v, 1, 1 << 20); }},
        {"--chunk-gap", [&](auto& opt, auto& v) { o.chunkGapMs = Number(opt, v, 0, 10000); }},
        {"--nul-every", [&](auto& opt, auto& v) { o.nulEvery = Number(opt, v, 1, 1 << 20); }},
        {"--hangup-after", [&](auto& opt, auto& v) { o.hangupAfterLines = Number(opt, v, 0, kLoggerMemoryPositions); }},
        {"--garbage", [&](auto& opt, auto& v) { o.garbageBytes = Number<long long>(opt, v, 1, 1LL << 30); }},
        {"--garbage-after", [&](auto& opt, auto& v) { o.garbageAfterFrames = Number(opt, v, 0, 1 << 30); }},
        {"--record", [&](auto&, auto& v) { o.recordPath = v; }},
    };
    const std::map<std::string, std::function<void()>> switches{
        {"--help", [&] { parsed.help = true; }},
        {"-h", [&] { parsed.help = true; }},
        {"--no-link", [&] { o.makeLink = false; }},
        {"--unpaced", [&] { o.paced = false; }},
        {"--low-battery", [&] { o.battery = 140; }},
        {"--split-crlf", [&] { o.splitCrLf = true; }},
        {"--no-end-marker", [&] { o.noEndMarker = true; }},
        {"--endless", [&] { o.endless = true; }},
        {"--reopen", [&] { o.reopenAfterHangup = true; }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::string value;
        bool inlineValue = false;
        if (const auto eq = option.find('='); option.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
            inlineValue = true;
        }
        if (const auto s = switches.find(option); s != switches.end()) {
            if (inlineValue)
                throw SimUsageError(option + " takes no value");
            s->second();
            continue;
        }
        const auto v = valued.find(option);
        if (v == valued.end())
            throw SimUsageError("unknown option '" + option + "'");
        if (!inlineValue) {
            if (i + 1 >= args.size())
                throw SimUsageError(option + " wants a value");
            value = args[++i];
        }
        v->second(option, value);
    }
    if (o.reopenAfterHangup && o.hangupAfterLines < 0)
        throw SimUsageError("--reopen goes with --hangup-after");
    return parsed;
}

std::string SimUsageText()
{
    return R"(Usage: veltra8-sim [options]

Plays a VELTRA8 logger on a pseudo-terminal, so the client can be tried and
tested without the device. The port is listed in the virtual-ports folder as
a link "veltra8-sim" (or "veltra8-sim-2", "-3" ... when taken); the link and
the slave path are printed on start ("link: ...", "slave: ...") and the link
is removed on exit, also on Ctrl-C or SIGTERM. SIGUSR1 prints "frames: N",
the live frames sent so far; so does the exit.

The logger sends a 64-character live frame once per period while a client
holds the port open (none otherwise), ended by a carriage return. Its clock
starts from the PC clock; it stores one sample per sampling interval, up to
2000, starting from the moment it starts, a clock set or a rate change.
Commands: "8" or "E", then "X", sends the download (both send the whole
memory; the logger keeps no mark of what was downloaded); "x" resumes live
frames; "3" and hhmmssDDMMYY sets the clock and empties the memory; "1", "5",
"6", "7" set the rate codes 1, 4, 5, 6 (1, 15, 30, 60 minutes) and, when the
code changes, start the memory afresh, since a download states one interval
for all its samples. Other bytes are ignored. From "8"/"E" until "x" there
are no live frames; a request without "X" lapses after 5 s.

Download: after the transfer delay, a header line "Dyy/mm/dd ss:mi:hh Rc"
(year, month, day, seconds, minutes, hours, rate code; the start stamp is
the sampling instant before the first sample), one line of 48 digits per
sample (per channel a three-digit high byte and a three-digit low byte of
the raw count, temperature * 10 + 500), a line "FIN", every line ended by
CR LF; then, after the marker pause, a lone "A" in a write of its own.

Where:
  --ports-dir DIR        folder for the link (default: $VELTRA8_PORTS_DIR, else
                         $XDG_RUNTIME_DIR/veltra8-ports, else
                         /tmp/veltra8-ports-<uid>); made when missing
  --link-name NAME       name of the link; it must be free
  --no-link              make no link; use the printed slave path

Logger:
  --frame-period MS      time between live frames (default 1000; 0: back to back)
  --unpaced              write as fast as the pty takes it
  --baud N               line rate the writes are paced at (default 115200, 8N1)
  --speed N              the logger clock runs N times faster (default 1) ...
  --calm MS              ... but keeps time from a client's first byte until MS
                         after the last byte either way, a transfer's included
                         (default 3000; 0: always fast): a month passes in
                         minutes, yet each download and clock setting happens
                         at the pace of a logger
  --samples N            samples in memory at start, 0..2000 (default 0)
  --rate-code C          sampling rate code 1..6: 1, 5, 10, 15, 30, 60 minutes (default 1)
  --seed N               seed of the temperatures (default 1); same seed, same readings
  --battery COUNT        battery count 0..999, per cent is half (default 180)
  --low-battery          battery count 140 (70 %)
  --start TIME           logger clock at start, YYYY-MM-DDThh:mm:ss (default: PC clock)
  --transfer-delay MS    from "X" to the transfer (default 550; the client
                         discards what arrives in its first 450 ms)
  --marker-pause MS      from the last line to the lone "A" (default 250)
  --record FILE          keep FILE up to date with what was sent: live frame
                         counts, bytes received, each download's start stamp,
                         rate code and samples as numbers

Faults:
  --bad-frame-every N    every Nth live frame has a letter in positions 1..63
  --run-together N       every Nth period sends two frames in one write, no pause
  --chunk N              no write larger than N bytes (1: byte by byte)
  --chunk-gap MS         pause after every write
  --split-crlf           each CR and its LF of the download go in two writes
  --nul-every N          a NUL byte after every N bytes of frames and download
  --no-end-marker        the download never ends with "A"
  --endless              the download repeats its sample lines, without end,
                         until the client sends a byte
  --hangup-after LINES   close the line after LINES sample lines of the first
                         download (0: after the header) and end ...
  --reopen               ... or make a new port instead, the link pointing to it
  --garbage BYTES        one burst of BYTES random bytes ...
  --garbage-after N      ... after the Nth live frame (default 1)

  -h, --help             this text
)";
}
