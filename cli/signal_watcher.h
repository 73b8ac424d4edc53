#pragma once
// Ctrl-C (SIGINT) and SIGTERM as events of the event loop. The two signals
// are blocked in every thread from the start of main (BlockStopSignals, before
// any thread exists, so the port's event thread inherits the mask) and read
// from a signalfd watched by a QSocketNotifier: no handler runs at an
// arbitrary moment, and a command ends through its ordinary clean-up.
#include <QObject>

class QSocketNotifier;

// Blocks SIGINT and SIGTERM in the calling thread and its future threads.
void BlockStopSignals();
// Lets them end the process again, for commands without an event loop.
void UnblockStopSignals();

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

signals:
    // SIGINT or SIGTERM arrived.
    void Stopped(int signal);

private:
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};
