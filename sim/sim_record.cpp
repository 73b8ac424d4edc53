#include "sim/sim_record.h"

#include "platform/errors.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

std::string RecordText(const SimRecord& record)
{
    std::ostringstream out;
    out << "frames " << record.framesSent << ' ' << record.badFrames << '\n';
    char buf[96];
    for (const SimReceived& r : record.received) {
        std::snprintf(buf, sizeof buf, "rx %.3f %d\n", r.ms, static_cast<unsigned char>(r.byte));
        out << buf;
    }
    for (const SimDownload& d : record.downloads) {
        const LoggerStamp& s = d.snapshot.start;
        std::snprintf(buf, sizeof buf, "download %d %c %04d-%02d-%02d %02d:%02d:%02d %d %zu %d %d\n", d.number,
                      d.snapshot.command, s.year, s.month, s.day, s.hour, s.minute, s.second, d.snapshot.rateCode,
                      d.snapshot.samples.size(), d.linesSent, d.endMarkerSent ? 1 : 0);
        out << buf;
        for (const LoggerSample& sample : d.snapshot.samples) {
            for (std::size_t i = 0; i < sample.size(); ++i)
                out << (i ? " " : "") << sample[i];
            out << '\n';
        }
    }
    for (const LoggerEmptied& e : record.emptied) {
        const LoggerStamp& s = e.start;
        std::snprintf(buf, sizeof buf, "emptied %04d-%02d-%02d %02d:%02d:%02d %d %d\n", s.year, s.month, s.day, s.hour,
                      s.minute, s.second, e.rateCode, e.samples);
        out << buf;
    }
    return out.str();
}

SimRecord ParseRecordText(const std::string& text)
{
    SimRecord record;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const char* why) {
        throw std::runtime_error("record line " + std::to_string(lineNo) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty())
            continue;
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        if (word == "frames") {
            if (!(fields >> record.framesSent >> record.badFrames))
                fail("bad frames line");
        } else if (word == "rx") {
            SimReceived r;
            int byte = 0;
            if (!(fields >> r.ms >> byte))
                fail("bad rx line");
            r.byte = static_cast<char>(byte);
            record.received.push_back(r);
        } else if (word == "download") {
            SimDownload d;
            std::string command, date, time;
            std::size_t count = 0;
            int marker = 0;
            if (!(fields >> d.number >> command >> date >> time >> d.snapshot.rateCode >> count >> d.linesSent
                  >> marker)
                || command.size() != 1)
                fail("bad download line");
            d.snapshot.command = command[0];
            LoggerStamp& s = d.snapshot.start;
            if (std::sscanf(date.c_str(), "%d-%d-%d", &s.year, &s.month, &s.day) != 3
                || std::sscanf(time.c_str(), "%d:%d:%d", &s.hour, &s.minute, &s.second) != 3)
                fail("bad download stamp");
            d.endMarkerSent = marker != 0;
            for (std::size_t i = 0; i < count; ++i) {
                ++lineNo;
                if (!std::getline(in, line))
                    fail("missing sample line");
                std::istringstream counts(line);
                LoggerSample sample{};
                for (int& raw : sample) {
                    if (!(counts >> raw))
                        fail("bad sample line");
                }
                d.snapshot.samples.push_back(sample);
            }
            record.downloads.push_back(std::move(d));
        } else if (word == "emptied") {
            LoggerEmptied e;
            std::string date, time;
            LoggerStamp& s = e.start;
            if (!(fields >> date >> time >> e.rateCode >> e.samples)
                || std::sscanf(date.c_str(), "%d-%d-%d", &s.year, &s.month, &s.day) != 3
                || std::sscanf(time.c_str(), "%d:%d:%d", &s.hour, &s.minute, &s.second) != 3)
                fail("bad emptied line");
            record.emptied.push_back(e);
        } else {
            fail("unknown item");
        }
    }
    return record;
}

void WriteRecordFile(const std::string& path, const SimRecord& record)
{
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << RecordText(record);
        out.flush();
        if (!out)
            throw std::runtime_error("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temporary.c_str());
        throw std::runtime_error("cannot replace " + path + ": " + SystemErrorText(err).toStdString());
    }
}

SimRecord ReadRecordFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseRecordText(text.str());
}
