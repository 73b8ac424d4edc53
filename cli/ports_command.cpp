#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/output.h"
#include "platform/errors.h"
#include "serial/comerror.h"
#include "serial/ports.h"

namespace {

class PortsCommand {
    Q_DECLARE_TR_FUNCTIONS(PortsCommand)
public:
    static int run(const QStringList& arguments)
    {
        CommandLine line(QStringLiteral("ports"), QStringLiteral("ports"),
            tr("Lists the serial ports, one a line: the serial devices present and the links\n"
               "in the virtual-ports folder ($VELTRA8_PORTS_DIR), as the port setup of the\n"
               "windows lists them.\n"));
        if (line.Parse(arguments))
            return Exit::Ok;
        QStringList ports;
        try {
            ListSerialPorts(ports);
        } catch (const EComPort& e) {
            // The component's text is the windows' emulated one; here the
            // system's says what happened.
            throw CliFailure(Exit::Port, tr("cannot list the serial ports: %1").arg(SystemErrorText(e.SystemError)));
        }
        QByteArray out;
        for (const QString& p : ports)
            out += p.toLocal8Bit() + '\n';
        WriteResult({}, out);
        return Exit::Ok;
    }
};

}  // namespace

int RunPorts(const QStringList& arguments)
{
    return PortsCommand::run(arguments);
}
