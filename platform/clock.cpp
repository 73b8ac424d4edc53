#include "platform/clock.h"

namespace {
class SystemClock : public Clock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};
const SystemClock systemClock;
const Clock* current = nullptr;
}  // namespace

const Clock& PcClock()
{
    return current ? *current : systemClock;
}

void SetPcClock(const Clock* clock)
{
    current = clock;
}
