#pragma once
// The PC clock, behind one small interface so that tests can fix the time.
#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime Now() const = 0;
};

// The clock the program reads: the system clock unless a test set another.
const Clock& PcClock();
// Tests: use `clock` (not owned) until called again with nullptr.
void SetPcClock(const Clock* clock);

// A clock that always reads the same instant.
class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime at) : at_(std::move(at)) {}
    QDateTime Now() const override { return at_; }
    void Set(QDateTime at) { at_ = std::move(at); }

private:
    QDateTime at_;
};

// The instant (seconds since the epoch, UTC) at which the PC's clock, in its
// time zone ($TZ, else the system's), read the wall time `wallSeconds`
// (seconds since 01/01/1970 00:00:00 of that wall clock, as the files and
// the logger hold it: no zone). A wall time that a change back from summer
// time shows twice is the earlier of the two instants (the one still on
// summer time); one that the change forward skips is read on the offset
// before the change, so 02:30 on the night clocks go from 02:00 to 03:00
// is the instant shown as 03:30.
qint64 UtcOfWallSeconds(qint64 wallSeconds);
