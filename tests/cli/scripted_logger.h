#pragma once
// A logger played by the test on a pty, for the answers the simulator never
// gives: live frames every 100 ms with a fixed clock, rate code and memory,
// no reaction to any command but "X", which it answers with a transfer of
// the test's choosing and, after a pause, a lone "A" (unless told not to).
#include "sim/logger_model.h"
#include "tests/support/pty.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <poll.h>
#include <unistd.h>

class ScriptedLogger {
public:
    ScriptedLogger(const LoggerStamp& clock, int rateCode, int positions, QByteArray transfer = {}, bool endMarker = true)
        : frame_(QByteArray::fromStdString(LoggerModel::FrameText(clock, 180, rateCode, LoggerSample{750, 750, 750, 750, 750, 750, 750, 750}, positions))),
          transfer_(std::move(transfer)), endMarker_(endMarker), thread_([this] { run(); })
    {
    }
    ~ScriptedLogger()
    {
        stop_ = true;
        thread_.join();
    }
    QString Port() const { return pty_.SlavePath(); }
    bool TransferSent() const { return transferSent_; }

private:
    void write(const QByteArray& bytes) { [[maybe_unused]] ssize_t n = ::write(pty_.Master(), bytes.constData(), size_t(bytes.size())); }
    void run()
    {
        using namespace std::chrono_literals;
        while (!stop_) {
            pollfd p{pty_.Master(), POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                if (!(p.revents & POLLIN)) {
                    // No client on the slave: wait for one at the frame pace.
                    std::this_thread::sleep_for(100ms);
                    continue;
                }
                char buffer[256];
                const ssize_t n = ::read(pty_.Master(), buffer, sizeof buffer);
                if (n > 0 && QByteArray(buffer, int(n)).contains('X') && !transfer_.isEmpty()) {
                    // As the logger, after a pause that the client's clear step fits in.
                    std::this_thread::sleep_for(600ms);
                    write(transfer_);
                    transferSent_ = true;
                    std::this_thread::sleep_for(300ms);
                    if (endMarker_)
                        write("A");
                }
                continue;
            }
            write(frame_);
        }
    }

    PtyPair pty_;
    QByteArray frame_;
    QByteArray transfer_;
    bool endMarker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> transferSent_{false};
    std::thread thread_;
};
