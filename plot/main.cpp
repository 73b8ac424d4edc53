// veltra8-plot: the drawing half of `veltra8-cli plot`. The client stays on
// Qt Core and runs this program, which draws the chart on Qt Gui without any
// display. Its command line and exit codes are in plot_options.h and
// plot_text.h.
#include "cli/language.h"
#include "plot/plot_command.h"
#include "plot/plot_text.h"
#include "plot/report_page.h"

#include <QGuiApplication>

#include <exception>
#include <new>

#include <malloc.h>

namespace {

// The toolkit's own notes (a runtime folder not set, a font looked up) mean
// nothing to someone plotting a file and would break the rule of one line
// per message; only what stops the toolkit is passed on, in our form.
void toolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        ReportPlotMessage(PlotText::tr("%1 (please report it)").arg(text));
}

}  // namespace

int main(int argc, char** argv)
{
    // Plots are drawn where there is no screen: on a server, from cron, over
    // ssh. A platform the caller chose is kept.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The toolkit takes options of its own (-platform, -reverse, …) out of
    // the arguments it is given; ours are read apart, so a title such as
    // "-reverse" stays a title. Help shows the command as the user types it.
    char name[] = "veltra8-cli plot";
    char* toolkitArgv[] = {name, nullptr};
    int toolkitArgc = 1;
    qInstallMessageHandler(toolkitMessage);
    // The sample arrays ask for huge pages when they grow (plot_samples.cpp),
    // which needs each to be a mapping of its own. The allocator would
    // otherwise move its threshold up after the first large free and place
    // later arrays in the heap, where the advice does not take.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    try {
        QGuiApplication app(toolkitArgc, toolkitArgv);
        QCoreApplication::setApplicationName(QStringLiteral("veltra8-plot"));
        InstallClientTranslations();
        if (arguments.size() > 2 && arguments[1] == QLatin1String("--report"))
            return RunReport(arguments[2], arguments.mid(0, 1) + arguments.mid(3));
        return RunPlot(arguments);
    } catch (const std::bad_alloc&) {
        ReportPlotMessage(PlotText::tr("not enough memory for the plot (plot a shorter span with --from and --to)"));
    } catch (const std::exception& e) {
        ReportPlotMessage(PlotText::tr("internal error: %1 (please report it)").arg(QString::fromLocal8Bit(e.what())));
    }
    return static_cast<int>(PlotExit::Internal);
}
