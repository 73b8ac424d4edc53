// `veltra8-cli stats` and `report` as commands, each against its bar:
//  - stats of 10,000 and 1,000,000 rows x 8 channels with limits on all
//    eight, file reading included: the time on the wall, and the cost per
//    row at both sizes, which should be flat;
//  - the same figures scripted with pandas (bench/stats_pandas.py, Debian's
//    python3-pandas), the tool a user would otherwise reach for;
//  - report of 1,000,000 rows: the time on the wall and the peak resident
//    memory of the larger of its two programs.
#include "bench/child_process.h"
#include "bench/programs.h"
#include "bench/report.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string beside(const char* name)
{
    return ProgramBeside(QString::fromUtf8(name)).toStdString();
}

// `rows` samples a minute apart as this program's CSV: eight fridges
// cycling about 5 °C, each a few degrees out of 2..8 now and then.
QString writeCsv(const QTemporaryDir& dir, int rows)
{
    QByteArray csv = "sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n";
    csv.reserve(qsizetype(rows) * 70);
    const qint64 start = 1704067200;  // 2024-01-01T00:00:00
    for (int r = 0; r < rows; ++r) {
        const qint64 t = start + qint64(r) * 60;
        const qint64 day = t / 86400, s = t % 86400;
        // The calendar of days since 1970 (civil from days).
        const qint64 z = day + 719468, era = z / 146097, doe = z - era * 146097;
        const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365, doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        const qint64 mp = (5 * doy + 2) / 153, d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9, y = yoe + era * 400 + (m <= 2);
        char line[128];
        int n = std::snprintf(line, sizeof line, "%d,%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", r + 1, y, m, d, s / 3600, s / 60 % 60, s % 60);
        for (int k = 0; k < 8; ++k) {
            const int tenths = 50 + (r * 7 + k * 13) % 24 - 12 + ((r + k * 977) % 5000 < 40 ? 45 : 0);
            n += std::snprintf(line + n, sizeof line - size_t(n), ",%d.%d", tenths / 10, tenths % 10);
        }
        line[n++] = '\r';
        line[n++] = '\n';
        csv.append(line, n);
    }
    const QString path = dir.filePath(QStringLiteral("rows-%1.csv").arg(rows));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(csv);
    return path;
}

struct Run {
    double wall = 1e9;  // best of the runs, seconds
    double cpu = 1e9;   // processor seconds, which a loaded machine does not inflate
    double peakMiB = 0;
    int status = -1;
};

// Runs `args` (the program first), keeping the best time on the wall and
// the largest peak resident memory of the command itself.
void runCommand(const std::vector<std::string>& args, Run& best)
{
    const ChildRun run = RunMeasured(args, QDir::temp().filePath(QStringLiteral("veltra8-bench-measure")).toStdString());
    best.wall = std::min(best.wall, run.wall);
    best.cpu = std::min(best.cpu, ProcessorSeconds(run.usage));
    best.peakMiB = std::max(best.peakMiB, run.usage.ru_maxrss / 1024.0);
    best.status = run.status;
}

std::vector<std::string> statsArgs(const QString& csv)
{
    return {beside("veltra8-cli"), "stats", csv.toStdString(), "--limit", "2..8", "--delay", "30m", "-f", "json"};
}

}  // namespace

int main(int argc, char** argv)
{
    if (IsMeasureRun(argc, argv))
        return MeasureCommand(argv + 2);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString small = writeCsv(dir, 10000);
    const QString large = writeCsv(dir, 1000000);
    Run smallRun, largeRun, pandasRun, reportRun;
    for (int i = 0; i < 3; ++i) {
        runCommand(statsArgs(small), smallRun);
        runCommand(statsArgs(large), largeRun);
    }
    const double smallPerRow = smallRun.wall / 1e4, largePerRow = largeRun.wall / 1e6;
    std::printf("stats, 8 channels judged: %.1f ms at 10,000 rows, %.1f ms at 1,000,000 rows (exit %d); per row %.0f ns and %.0f ns; "
                "processor %.1f ms and %.1f ms\n",
        smallRun.wall * 1000, largeRun.wall * 1000, largeRun.status, smallPerRow * 1e9, largePerRow * 1e9, smallRun.cpu * 1000, largeRun.cpu * 1000);
    ReportFigure("veltra8-cli stats, 1,000,000 rows x 8 channels judged, processor time", largeRun.cpu * 1000, "ms",
        std::to_string(int(smallRun.cpu * 1000)) + " ms at 10,000 rows");
    ReportFigure("veltra8-cli stats, 10,000 rows x 8 channels judged, the command", smallRun.wall * 1000, "ms",
        std::to_string(int(smallPerRow * 1e9)) + " ns a row; best of 3");
    ReportFigure("veltra8-cli stats, 1,000,000 rows x 8 channels judged, the command", largeRun.wall * 1000, "ms",
        "bar 250 ms; " + std::to_string(int(largePerRow * 1e9)) + " ns a row, " + std::to_string(largePerRow / smallPerRow).substr(0, 4)
            + " x the cost a row at 10,000 (the start-up spread over fewer rows there)");

    // Debian's Python, where python3-pandas is installed.
    const std::string script = std::string(VELTRA8_SOURCE_DIR) + "/bench/stats_pandas.py";
    runCommand({"/usr/bin/python3", script, large.toStdString(), "2", "8", "1800"}, pandasRun);
    if (pandasRun.status == 0 || pandasRun.status == 7) {
        std::printf("pandas, the same figures: %.3f s, %.1f x ours; processor %.3f s, %.1f x ours\n", pandasRun.wall, pandasRun.wall / largeRun.wall,
            pandasRun.cpu, pandasRun.cpu / largeRun.cpu);
        ReportFigure("pandas (bench/stats_pandas.py), the same 1,000,000 rows", pandasRun.wall * 1000, "ms",
            "goal 5 x ours; " + std::to_string(pandasRun.wall / largeRun.wall).substr(0, 5) + " x");
    } else {
        std::printf("pandas: bench/stats_pandas.py ended with %d (is python3-pandas installed?)\n", pandasRun.status);
    }

    if (!QFileInfo(QString::fromStdString(beside("veltra8-plot"))).isExecutable()) {
        std::printf("report: no veltra8-plot beside veltra8-cli; not measured\n");
        return 0;
    }
    for (int i = 0; i < 3; ++i)
        runCommand({beside("veltra8-cli"), "report", large.toStdString(), "--limit", "2..8", "--delay", "30m", "-o",
                       dir.filePath(QStringLiteral("report.pdf")).toStdString()},
            reportRun);
    std::printf("report of 1,000,000 rows: exit %d, %.3f s, processor %.3f s, peak %.0f MiB\n", reportRun.status, reportRun.wall, reportRun.cpu,
        reportRun.peakMiB);
    ReportFigure("veltra8-cli report of 1,000,000 rows x 8 channels to PDF", reportRun.wall * 1000, "ms", "bar 1500 ms; best of 3");
    ReportFigure("veltra8-cli report of 1,000,000 rows: peak resident memory", reportRun.peakMiB, "MiB", "bar 200 MiB; the larger of the two programs");
    return 0;
}
