#pragma once
// The subcommands of veltra8-cli, one row each in CliCommands(): the
// dispatcher and the general help are made from that table, so a new command
// is a runner and a row. A runner takes the arguments after the command's
// name, returns the exit code, and raises CliFailure for what ends it before
// its event loop runs (usage, a port that does not open).
#include <QString>
#include <QStringList>

#include <span>

class SignalWatcher;

int RunPorts(const QStringList& arguments);
int RunLive(const QStringList& arguments, SignalWatcher& stops);
int RunDownload(const QStringList& arguments, SignalWatcher& stops);
int RunSetClock(const QStringList& arguments, SignalWatcher& stops);
int RunSetRate(const QStringList& arguments, SignalWatcher& stops);
int RunConvert(const QStringList& arguments);
int RunPlot(const QStringList& arguments);
int RunStats(const QStringList& arguments);
int RunReport(const QStringList& arguments);

// A command that runs an event loop takes the stop signals through the
// watcher; one that does not is ended by them as any program is. Which of
// the two follows from the runner's signature.
struct CliCommand {
    using PlainRunner = int (*)(const QStringList& arguments);
    using LoopRunner = int (*)(const QStringList& arguments, SignalWatcher& stops);

    constexpr CliCommand(const char* name, const char* summary, PlainRunner run)
        : Name(name), Summary(summary), RunPlain(run) {}
    constexpr CliCommand(const char* name, const char* summary, LoopRunner run)
        : Name(name), Summary(summary), RunInLoop(run), EventLoop(true) {}

    const char* Name;
    // Untranslated, for CommandLine::tr: the line of the general help.
    const char* Summary;
    PlainRunner RunPlain = nullptr;
    LoopRunner RunInLoop = nullptr;
    bool EventLoop = false;
};

std::span<const CliCommand> CliCommands();
// Null for a name that is no command.
const CliCommand* FindCliCommand(const QString& name);
