#pragma once
// The command `live --on-alarm` runs at each alarm and clear, through
// /bin/sh, with the event in its environment (VELTRA8_EVENT, _CHANNEL,
// _SIDE, _VALUE, _TIME). Started and watched from the event loop, so a
// command that hangs never holds up the reading of frames. Commands still
// running when the next event comes are left to run, up to MaxRunning at
// once; an event beyond that is not run and said on standard error. The
// commands still running when `live` ends are ended with SIGTERM.
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <list>

class QProcess;

class AlarmCommands {
    Q_DECLARE_TR_FUNCTIONS(AlarmCommands)
public:
    static constexpr int MaxRunning = 4;

    explicit AlarmCommands(const QString& command) : command_(command) {}
    ~AlarmCommands();
    AlarmCommands(const AlarmCommands&) = delete;
    AlarmCommands& operator=(const AlarmCommands&) = delete;

    void Run(bool tripped, int channel, const QByteArray& side, const QByteArray& value, const QByteArray& time);

private:
    QString command_;
    std::list<QProcess*> running_;  // owned
};
