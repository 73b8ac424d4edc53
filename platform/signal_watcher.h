#pragma once
// Ctrl-C (SIGINT) and SIGTERM, and for a service SIGHUP, as events of the
// event loop. The signals are blocked in every thread from the start of main (BlockStopSignals, before
// any thread exists, so the port's event thread inherits the mask) and read
// from a signalfd watched by a QSocketNotifier: no handler runs at an
// arbitrary moment, and a command ends through its ordinary clean-up.
#include <QObject>

class QSocketNotifier;

// Blocks SIGINT and SIGTERM (and SIGHUP when `hangup`) in the calling thread
// and its future threads.
void BlockStopSignals(bool hangup = false);
// Lets them end the process again, for commands without an event loop.
void UnblockStopSignals(bool hangup = false);

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    // With `hangup`, SIGHUP is read too (blocked as BlockStopSignals(true)).
    explicit SignalWatcher(bool hangup = false, QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    // SIGINT or SIGTERM arrived.
    void Stopped(int signal);
    // SIGHUP arrived: the service rereads its configuration.
    void HungUp();

private:
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};
