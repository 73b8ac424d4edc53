#pragma once
// Everything the simulator can be told, from the command line or by a test
// that runs it in-process. Defaults make an honest logger on a 115200 line.
#include "sim/logger_model.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct SimOptions {
    // Where the port shows up.
    std::string portsFolder;  // empty: the program's virtual-ports folder
    std::string linkName;     // empty: "veltra8-sim", or "veltra8-sim-N" when taken
    bool makeLink = true;

    // The logger.
    int framePeriodMs = 1000;         // one live frame per period
    bool paced = true;                // bytes leave at the line rate
    int baud = 115200;                // 8N1: ten bits per byte
    double speed = 1.0;               // logger clock runs this many times faster ...
    int calmMs = 3000;                // ... except from a client's byte until this long
                                      // after the last byte either way, when it keeps time
    int samples = 0;                  // samples in memory at start, up to 2000
    int rateCode = 1;                 // 1..6
    std::uint32_t seed = 1;
    int battery = 180;                // 0..999, 180 is 90 %
    std::optional<LoggerStamp> start;  // empty: the PC clock
    int transferDelayMs = 550;        // from "X" to the first byte of the transfer
    int markerPauseMs = 250;          // from the trailer to the lone "A"

    // Faults, each off by default.
    int badFrameEvery = 0;      // every Nth live frame carries a letter in 1..63
    int runTogetherEvery = 0;   // every Nth period two frames go out in one write
    int chunk = 0;              // largest write in bytes; 0: the simulator's own
    int chunkGapMs = 0;         // pause after each write
    bool splitCrLf = false;     // CR and LF of a line in two writes
    int nulEvery = 0;           // a NUL after every N bytes of frames and transfer
    bool noEndMarker = false;   // the transfer never ends with "A"
    bool endless = false;       // the transfer repeats its samples until a byte comes back
    int hangupAfterLines = -1;  // close the line after this many sample lines
    bool reopenAfterHangup = false;  // then make a new port instead of ending
    long long garbageBytes = 0;      // a burst of random bytes ...
    int garbageAfterFrames = 1;      // ... after this many live frames

    std::string recordPath;  // what was sent, rewritten as it grows
};

class SimUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SimArguments {
    SimOptions options;
    bool help = false;
};

// Parses the command line (without the program name); throws SimUsageError
// with a one-line reason.
SimArguments ParseSimArguments(const std::vector<std::string>& args);
// The text of --help.
std::string SimUsageText();
