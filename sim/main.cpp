// veltra8-sim: a VELTRA8 logger on a pseudo-terminal, for trying the client
// without the device and as the far end of the end-to-end tests.
#include "platform/errors.h"
#include "sim/simulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

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

    // The signals are taken by this thread alone, read from a signalfd, so
    // the simulator's thread (which inherits the blocked mask) never runs a
    // handler and the link is always removed by the ordinary stop below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        sigaddset(&stopSignals, s);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::fprintf(stderr, "veltra8-sim: cannot wait for signals: %s\n", SystemErrorText(errno).toLocal8Bit().constData());
        return 1;
    }

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

    // Nothing wakes this thread but a signal or news from the simulator: its
    // thread ended after a hang-up, or the port was made anew. News is taken
    // first, so a new slave is printed even when a signal comes with it.
    int reopens = 0;
    for (bool stop = false; !stop;) {
        pollfd fds[2] = {{simulator.ChangeEvent(), POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "veltra8-sim: cannot wait: %s\n", SystemErrorText(errno).toLocal8Bit().constData());
            break;
        }
        if (fds[0].revents & POLLIN) {
            simulator.ClearChangeEvent();
            if (simulator.Reopens() != reopens) {
                reopens = simulator.Reopens();
                std::printf("slave: %s\n", simulator.SlavePath().c_str());
                std::fflush(stdout);
            }
            stop = !simulator.Running();
        }
        signalfd_siginfo got{};
        if ((fds[1].revents & POLLIN) && ::read(signalFd, &got, sizeof got) == static_cast<ssize_t>(sizeof got)) {
            if (got.ssi_signo == SIGUSR1) {
                std::printf("frames: %lld\n", simulator.FramesSent());
                std::fflush(stdout);
            } else {
                stop = true;
            }
        }
    }
    simulator.Stop();
    std::printf("frames: %lld\n", simulator.FramesSent());
    std::fflush(stdout);
    return 0;
}
