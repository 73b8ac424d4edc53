// The value helpers of the setting and event types.
#include "serial/comtypes.h"

#include <iterator>

int BaudRateValue(TBaudRate rate)
{
    static constexpr int values[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return values[static_cast<int>(rate)];
}

namespace {
constexpr std::uint32_t kEventMaskBits[] = {0x0001, 0x0004, 0x0002, 0x0100, 0x0040, 0x0008, 0x0010, 0x0080, 0x0020, 0x0400};
}

std::uint32_t EventsToMask(TComEvents events)
{
    std::uint32_t mask = 0;
    for (int i = 0; i < static_cast<int>(std::size(kEventMaskBits)); ++i) {
        if (events.Contains(static_cast<TComEvent>(i)))
            mask |= kEventMaskBits[i];
    }
    return mask;
}

TComEvents MaskToEvents(std::uint32_t mask)
{
    TComEvents events;
    for (int i = 0; i < static_cast<int>(std::size(kEventMaskBits)); ++i) {
        if (mask & kEventMaskBits[i])
            events.Include(static_cast<TComEvent>(i));
    }
    return events;
}
