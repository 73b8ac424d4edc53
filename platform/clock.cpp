#include "platform/clock.h"

#include <algorithm>
#include <ctime>
#include <limits>
#include <optional>

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

namespace {

// The PC's offset from UTC in seconds at an instant.
long offsetAt(qint64 utcSeconds)
{
    const time_t t = time_t(utcSeconds);
    tm local{};
    localtime_r(&t, &local);
    return local.tm_gmtoff;
}

qint64 resolveWall(qint64 wall)
{
    // A zone changes its offset at most once in two days, so the offsets a
    // day either side are the only ones this wall time can be read on.
    const long before = offsetAt(wall - 86400);
    const long after = offsetAt(wall + 86400);
    const bool onBefore = offsetAt(wall - before) == before;
    const bool onAfter = offsetAt(wall - after) == after;
    if (onBefore && onAfter)
        return std::min(wall - before, wall - after);
    if (onAfter && !onBefore)
        return wall - after;
    return wall - before;
}

}  // namespace

qint64 UtcOfWallSeconds(qint64 wallSeconds)
{
    // A series holds many samples of one day: a day whose offset is the
    // same two days either side is read on that offset at once. The cache
    // is per thread; tzset() is called once per thread, as $TZ is read
    // when a program starts.
    thread_local const bool zoneRead = (tzset(), true);
    (void)zoneRead;
    thread_local qint64 cachedDay = std::numeric_limits<qint64>::min();
    thread_local std::optional<long> cachedOffset;
    const qint64 day = wallSeconds >= 0 ? wallSeconds / 86400 : (wallSeconds - 86399) / 86400;
    if (day != cachedDay) {
        cachedDay = day;
        const long early = offsetAt(day * 86400 - 2 * 86400);
        const long late = offsetAt(day * 86400 + 3 * 86400);
        cachedOffset = early == late ? std::optional<long>(early) : std::nullopt;
    }
    return cachedOffset ? wallSeconds - *cachedOffset : resolveWall(wallSeconds);
}
