#include "cli/commands.h"

#include <QCoreApplication>

namespace {

// In the order the general help lists them.
constexpr CliCommand Table[] = {
    {"ports", QT_TRANSLATE_NOOP("CommandLine", "list the serial ports, one a line"), RunPorts},
    {"live", QT_TRANSLATE_NOOP("CommandLine", "write one record per live frame of the logger"), RunLive},
    {"download", QT_TRANSLATE_NOOP("CommandLine", "download the logger's memory as a table"), RunDownload},
    {"set-clock", QT_TRANSLATE_NOOP("CommandLine", "set the logger's clock from the PC's (empties its memory)"), RunSetClock},
    {"set-rate", QT_TRANSLATE_NOOP("CommandLine", "set the logger's sampling interval: 1, 15, 30 or 60 minutes"), RunSetRate},
    {"convert", QT_TRANSLATE_NOOP("CommandLine", "merge saved data files into one series as CSV or JSON lines"), RunConvert},
    {"plot", QT_TRANSLATE_NOOP("CommandLine", "draw saved data files as a chart in a PNG, SVG or PDF file"), RunPlot},
    {"stats", QT_TRANSLATE_NOOP("CommandLine", "judge saved data files against limits, with statistics and MKT"), RunStats},
    {"report", QT_TRANSLATE_NOOP("CommandLine", "judge saved data files into a one-page PDF to be signed"), RunReport},
};

}  // namespace

std::span<const CliCommand> CliCommands()
{
    return Table;
}

const CliCommand* FindCliCommand(const QString& name)
{
    for (const CliCommand& command : Table)
        if (name == QLatin1String(command.Name))
            return &command;
    return nullptr;
}
