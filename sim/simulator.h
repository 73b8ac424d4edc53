#pragma once
// Plays the logger on the master side of a pseudo-terminal: live frames while
// a client holds the slave open, the download transfer, the clock and rate
// commands, and the fault switches of SimOptions. The executable veltra8-sim
// owns one; tests own one in-process.
//
// Threads: Start() spawns one thread that does all the pty work and owns the
// LoggerModel. It sleeps until something is due: a frame, a command, a
// client opening or leaving the port, the stop. The owner calls Start and
// Stop, from one thread at a time; the readers take a mutex or read atomics,
// so they may be called from any thread at any time. Stop() wakes the thread
// through an eventfd and joins it, then removes the link. A client holding
// the port gets up to 300 ms meanwhile to read what was already sent, so
// frames counted as sent arrive; a client in the owner's own process must be
// reading on another thread for that (stop from a helper thread if need be).
// The destructor stops. After a hang-up fault without reopen the thread ends
// by itself and Running() turns false. Either change the thread makes by
// itself (ending, or making the port anew) raises the change event, so the
// owner can wait for it without a timer.
#include "sim/sim_options.h"
#include "sim/sim_record.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class LoggerPty;
class PortLink;

class Simulator {
public:
    explicit Simulator(SimOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Makes the pty and the link and starts the thread. Throws
    // std::runtime_error when either cannot be made.
    void Start();
    void Stop();
    bool Running() const { return running_.load(); }

    // The slave a client opens; changes when the port is made anew (a
    // hang-up fault with reopen, or a client that left the port locked).
    std::string SlavePath() const;
    // The link in the virtual-ports folder; empty without one.
    std::string LinkPath() const;
    bool ClientPresent() const { return clientPresent_.load(); }
    long long FramesSent() const { return framesSent_.load(); }
    // How many times the port was made anew so far.
    int Reopens() const { return reopens_.load(); }
    // Readable (for poll) once Running() or Reopens() has changed by itself
    // since the last ClearChangeEvent(). Lives as long as the simulator.
    int ChangeEvent() const { return changeFd_; }
    // Call before looking at Running() and Reopens(), so no change is missed.
    void ClearChangeEvent();
    SimRecord Record() const;

    const SimOptions& Options() const { return options_; }

private:
    class Worker;
    void Announce();  // raises the change event

    SimOptions options_;
    std::unique_ptr<LoggerPty> pty_;
    std::unique_ptr<PortLink> link_;
    std::unique_ptr<Worker> worker_;
    std::thread thread_;
    int stopFd_ = -1;
    int changeFd_ = -1;

    mutable std::mutex mutex_;  // guards record_, slavePath_, linkPath_
    SimRecord record_;
    std::string slavePath_;
    std::string linkPath_;

    std::atomic<bool> running_{false};
    std::atomic<bool> clientPresent_{false};
    std::atomic<long long> framesSent_{0};
    std::atomic<int> reopens_{0};
};
