#pragma once
// The kernel's termios with free input and output rates, for the
// TCGETS2/TCSETS2 requests. glibc knows the request numbers (which name this
// structure) but does not declare it, and the kernel header that has it
// clashes with <termios.h>, so it is declared here, as the kernel lays it
// out. Used by the serial backend and by the tests that read a device back.
#include <termios.h>

struct termios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};

namespace comm {
// The rate code that says "the rate is the number in c_ispeed / c_ospeed".
inline constexpr tcflag_t kBOTHER = 0010000;
// The input rate's code sits this far above the output rate's (CIBAUD).
inline constexpr int kIBSHIFT = 16;
}  // namespace comm
