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
