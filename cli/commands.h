#pragma once
// The subcommands of veltra8-cli. Each takes the arguments after its name,
// returns the exit code, and raises CliFailure for what ends it before its
// event loop runs (usage, a port that does not open).
#include <QStringList>

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
