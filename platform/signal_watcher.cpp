#include "platform/signal_watcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t stopSignals(bool hangup)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    if (hangup)
        sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void BlockStopSignals(bool hangup)
{
    const sigset_t set = stopSignals(hangup);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void UnblockStopSignals(bool hangup)
{
    const sigset_t set = stopSignals(hangup);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

SignalWatcher::SignalWatcher(bool hangup, QObject* parent) : QObject(parent)
{
    const sigset_t set = stopSignals(hangup);
    fd_ = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info;
        while (::read(fd_, &info, sizeof info) == ssize_t(sizeof info))
            if (info.ssi_signo == SIGHUP)
                emit HungUp();
            else
                emit Stopped(int(info.ssi_signo));
    });
}

SignalWatcher::~SignalWatcher()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}
