// veltra8-sim: a VELTRA8 logger on a pseudo-terminal, for trying the client
// without the device and as the far end of the end-to-end tests.
#include "sim/simulator.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include <pthread.h>

int main(int argc, char** argv)
{
    SimArguments arguments;
    try {
        arguments = ParseSimArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const SimUsageError& e) {
        std::fprintf(stderr, "veltra8-sim: %s\nTry 'veltra8-sim --help'.\n", e.what());
        return 2;
    }
    if (arguments.help) {
        std::fputs(SimUsageText().c_str(), stdout);
        return 0;
    }

    // The signals are taken by this thread alone, with sigtimedwait, so the
    // simulator's thread never runs a handler and the link is always removed
    // by the ordinary stop below.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    Simulator simulator(arguments.options);
    try {
        simulator.Start();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veltra8-sim: %s\n", e.what());
        return 1;
    }
    if (!simulator.LinkPath().empty())
        std::printf("link: %s\n", simulator.LinkPath().c_str());
    std::printf("slave: %s\n", simulator.SlavePath().c_str());
    std::fflush(stdout);

    int reopens = 0;
    for (;;) {
        const timespec tick{0, 100 * 1000 * 1000};
        const int got = sigtimedwait(&signals, nullptr, &tick);
        if (got == SIGUSR1) {
            std::printf("frames: %lld\n", simulator.FramesSent());
            std::fflush(stdout);
        } else if (got > 0) {
            break;
        }
        if (!simulator.Running())
            break;
        if (simulator.Reopens() != reopens) {
            reopens = simulator.Reopens();
            std::printf("slave: %s\n", simulator.SlavePath().c_str());
            std::fflush(stdout);
        }
    }
    simulator.Stop();
    std::printf("frames: %lld\n", simulator.FramesSent());
    std::fflush(stdout);
    return 0;
}
