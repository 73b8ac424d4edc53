#pragma once
// The simulator's own account of what it sent, independent of any client:
// live frame counts, the commands it heard and each download's samples as
// numbers. Tests compare the client's table against it. In-process tests
// read it from Simulator::Record(); the executable writes it to a file.
//
// File layout, one item per line, blank-separated:
//   frames <sent> <with a letter>
//   rx <ms since start> <byte as decimal>
//   download <n> <command char> <yyyy-mm-dd> <hh:mm:ss> <rate code> <samples> <lines sent> <end marker 0/1>
//   <eight raw counts>            (one line per sample of the download above)
//   emptied <yyyy-mm-dd> <hh:mm:ss> <rate code> <samples>
//                                 (a memory a clock setting or a new rate emptied)
#include "sim/logger_model.h"

#include <string>
#include <vector>

struct SimDownload {
    int number = 0;          // 1 for the first download of the run
    LoggerSnapshot snapshot;
    int linesSent = 0;       // sample lines that went out whole
    bool endMarkerSent = false;
};

struct SimReceived {
    double ms = 0;  // since the simulator started
    char byte = 0;
};

struct SimRecord {
    long long framesSent = 0;  // whole live frames written to a present client
    long long badFrames = 0;   // of those, frames carrying a letter
    std::vector<SimReceived> received;  // capped, see kMaxReceived
    std::vector<SimDownload> downloads;
    std::vector<LoggerEmptied> emptied;

    static constexpr std::size_t kMaxReceived = 100000;
};

std::string RecordText(const SimRecord& record);
// Throws std::runtime_error on a line that does not fit the layout.
SimRecord ParseRecordText(const std::string& text);
// Replaces `path` atomically (temporary file beside it, then rename), so a
// reader never sees half a record. Throws std::runtime_error on failure.
void WriteRecordFile(const std::string& path, const SimRecord& record);
SimRecord ReadRecordFile(const std::string& path);
