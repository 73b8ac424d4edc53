#pragma once
// The client's side of the simulator's line for tests: opens the slave raw
// and non-blocking as the program's port does, keeps each read with its
// arrival time, and decodes the logger's texts with a decoder of its own,
// written from the wire layout rather than from the simulator's code.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

struct Chunk {
    double ms;  // since the client opened the line
    std::string bytes;
};

class SimClient {
public:
    explicit SimClient(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)), t0_(std::chrono::steady_clock::now())
    {
        termios t{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~SimClient() { Close(); }
    SimClient(const SimClient&) = delete;
    SimClient& operator=(const SimClient&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    bool HungUp() const { return hungUp_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    double Ms() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0_).count();
    }
    void Write(const std::string& bytes) { [[maybe_unused]] auto n = ::write(fd_, bytes.data(), bytes.size()); }

    // Every read for `ms`, or until the line hangs up.
    std::vector<Chunk> ReadFor(double ms)
    {
        std::vector<Chunk> chunks;
        const double end = Ms() + ms;
        while (fd_ >= 0 && !hungUp_ && Ms() < end) {
            pollfd p{fd_, POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(std::clamp(end - Ms(), 1.0, 20.0)));
            char buf[65536];
            const ssize_t n = (p.revents & POLLIN) ? ::read(fd_, buf, sizeof buf) : 0;
            if (n > 0)
                chunks.push_back(Chunk{Ms(), std::string(buf, static_cast<std::size_t>(n))});
            else
                hungUp_ = (p.revents & (POLLHUP | POLLERR)) != 0;
        }
        return chunks;
    }
    // Reads until `count` bytes came or `ms` passed.
    std::string ReadBytes(std::size_t count, double ms)
    {
        std::string out;
        for (const double end = Ms() + ms; out.size() < count && Ms() < end && !hungUp_;) {
            for (const Chunk& c : ReadFor(std::min(20.0, end - Ms())))
                out += c.bytes;
        }
        return out;
    }

private:
    int fd_;
    bool hungUp_ = false;
    std::chrono::steady_clock::time_point t0_;
};

inline int Digits(const std::string& s, std::size_t from1, std::size_t count)
{
    int v = 0;
    for (std::size_t i = 0; i < count; ++i)
        v = v * 10 + (s[from1 - 1 + i] - '0');
    return v;
}

// A live frame as the client reads it.
struct DecodedFrame {
    bool digits = true;  // 64 characters, 1..63 all digits
    int minute = 0, hour = 0, day = 0, month = 0, year = 0, second = 0;
    int battery = 0, rateCode = 0;
    int raw[8] = {};
    double positions = 0;
};

inline DecodedFrame DecodeFrame(const std::string& f)
{
    DecodedFrame d;
    d.digits = f.size() == 64 && std::all_of(f.begin(), f.begin() + 63, [](char c) { return c >= '0' && c <= '9'; });
    if (!d.digits)
        return d;
    d.minute = Digits(f, 1, 2);
    d.hour = Digits(f, 3, 2);
    d.day = Digits(f, 5, 2);
    d.month = Digits(f, 7, 2);
    d.year = Digits(f, 9, 2);
    d.second = Digits(f, 11, 2);
    d.battery = Digits(f, 13, 3);
    d.rateCode = Digits(f, 17, 1);
    for (std::size_t ch = 0; ch < 8; ++ch)
        d.raw[ch] = Digits(f, 18 + 5 * ch, 2) * 256 + Digits(f, 20 + 5 * ch, 3);
    d.positions = (Digits(f, 58, 3) * 256 + Digits(f, 61, 3) - 15) / 16.0;
    return d;
}

// Cuts a stream of live frames into 64-character pieces.
inline std::vector<std::string> Frames(const std::string& stream)
{
    std::vector<std::string> frames;
    for (std::size_t at = 0; at + 64 <= stream.size(); at += 64)
        frames.push_back(stream.substr(at, 64));
    return frames;
}

// Lines of a download as the client's buffer splits them (CR LF, LF or CR).
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            lines.back() += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.emplace_back();
    }
    return lines;
}
