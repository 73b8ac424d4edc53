#pragma once
// The simulator's pseudo-terminal and the symbolic link that lists it in the
// virtual-ports folder. Owned by the Simulator; usable alone by tests.
#include <string>

// A pty whose master end this process keeps; the slave is raw and closed
// here, so the master reports a hang-up for as long as no client holds it.
// That hang-up is a level: it says whether a client is there, but cannot be
// waited on while nobody is. A client's coming is learnt from an inotify
// watch on the slave's device node instead, which wakes a waiting thread.
class LoggerPty {
public:
    LoggerPty();  // throws std::runtime_error when no pty or watch can be made
    ~LoggerPty();
    LoggerPty(const LoggerPty&) = delete;
    LoggerPty& operator=(const LoggerPty&) = delete;

    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }
    // True while some process holds the slave open.
    bool ClientPresent() const;
    // Readable (for poll) once some process opened the slave since the last
    // ClearOpenings(). Call that before ClientPresent(), so an
    // opening after the look still wakes the wait that follows it.
    int Openings() const { return watch_; }
    void ClearOpenings() const;
    // After a client let go: drops what it left unread in the slave's queue
    // (the next client must not start with a stale half frame), puts the
    // line back to raw in case the client changed it and lifts an exclusive
    // mode the client left behind. False when the slave cannot be opened:
    // on a pty, exclusive mode outlives the client's close and keeps every
    // later open out (except root's), so the port is spent.
    bool ResetSlave() const;
    void CloseMaster();

private:
    int master_ = -1;
    int watch_ = -1;
    std::string slavePath_;
};

// A symbolic link to the slave, named so the port setup dialog shows it.
class PortLink {
public:
    PortLink() = default;
    ~PortLink() { Remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Creates `folder` if missing, then the link. An empty `name` takes
    // "veltra8-sim", else "veltra8-sim-2", "-3" ... whichever is free; a given
    // name must be free. Links left dangling by an earlier run count as free.
    // Throws std::runtime_error.
    void Create(const std::string& folder, const std::string& name, const std::string& target);
    // Points the link at a new slave (after a simulated hang-up and reopen).
    void Retarget(const std::string& target);
    // Removes the link, only if it still points where this object put it.
    void Remove();

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string target_;
};
