// veltra8-cli end to end: the program against the simulator program (or a
// logger the test plays on a pty), one test per behaviour and exit code.
#include "sim/sim_record.h"
#include "tests/cli/scripted_logger.h"
#include "tests/support/programs.h"
#include "tests/support/pty.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fcntl.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Cli : public ::testing::Test {
protected:
    // Unpaced unless the arguments give a line rate.
    void startSimulator(const QStringList& arguments = {})
    {
        QStringList all{QStringLiteral("--frame-period"), QStringLiteral("150"), QStringLiteral("--record"), path("record.txt")};
        if (!arguments.contains(QStringLiteral("--baud")))
            all << QStringLiteral("--unpaced");
        sim = std::make_unique<SimulatorProcess>(dir.path(), all + arguments);
        ASSERT_FALSE(sim->Link().isEmpty());
    }
    CliResult run(const QStringList& arguments) { return RunCli(arguments, dir.path()); }
    // The command with -p naming the simulator's link.
    CliResult runOnSim(QStringList arguments)
    {
        arguments.insert(1, QStringLiteral("-p"));
        arguments.insert(2, sim->Link());
        return run(arguments);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // The bytes the simulator heard, in order.
    QByteArray heard() const
    {
        QByteArray bytes;
        try {
            for (const SimReceived& r : ReadRecordFile(path("record.txt").toStdString()).received)
                bytes += r.byte;
        } catch (const std::exception&) {
            // Not written yet: nothing heard.
        }
        return bytes;
    }

    QTemporaryDir dir;
    std::unique_ptr<SimulatorProcess> sim;
};

// --- Command line ------------------------------------------------------------

TEST_F(Cli, HelpVersionAndUsageErrors)
{
    for (const char* command : {"ports", "live", "download", "set-clock", "set-rate", "convert"}) {
        const CliResult help = run({QString::fromLatin1(command), QStringLiteral("--help")});
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_TRUE(help.out.startsWith("Usage: veltra8-cli " + QByteArray(command))) << help.out.constData();
    }
    const CliResult general = run({QStringLiteral("--help")});
    EXPECT_EQ(general.code, 0);
    EXPECT_TRUE(general.out.contains("Exit codes:"));
    EXPECT_EQ(run({QStringLiteral("--version")}).out, "veltra8-cli 3.8\n");

    for (const QStringList& bad : {QStringList{}, {"frobnicate"}, {"live", "--bogus"}, {"download", "-f", "xml"},
             {"live", "--timeout", "soon"}, {"live", "-n", "0"}, {"set-rate", "7"}, {"set-rate"}, {"convert"}}) {
        const CliResult r = run(bad);
        EXPECT_EQ(r.code, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QLatin1String("veltra8-cli: "))) << r.err.toStdString();
        if (!bad.isEmpty()) {
            EXPECT_EQ(r.err.count(u'\n'), 1) << "one line: " << r.err.toStdString();
        }
    }
}

TEST_F(Cli, PortsListTheLinksAndTheChoiceNeedsOneOrANamedPort)
{
    startSimulator();
    const CliResult ports = run({QStringLiteral("ports")});
    EXPECT_EQ(ports.code, 0);
    EXPECT_TRUE(ports.out.split('\n').contains(sim->Link().toLocal8Bit())) << ports.out.constData();

    // A second link to the same logger makes two ports: no choice is made.
    ASSERT_TRUE(QFile::link(QFile::symLinkTarget(sim->Link()), path("second")));
    const CliResult several = run({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1")});
    EXPECT_EQ(several.code, 2);
    EXPECT_TRUE(several.err.contains(sim->Link()) && several.err.contains(path("second"))) << several.err.toStdString();

    const CliResult named = CliProcess({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1")}, dir.path(),
        {QStringLiteral("VELTRA8_PORT=") + sim->Link()}).Finish();
    EXPECT_EQ(named.code, 0) << named.err.toStdString();
}

TEST_F(Cli, ProgramLinksNoGuiLibrary)
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {ProgramBeside(QStringLiteral("veltra8-cli"))});
    ASSERT_TRUE(ldd.waitForFinished());
    const QByteArray libraries = ldd.readAllStandardOutput();
    EXPECT_TRUE(libraries.contains("libQt6Core")) << libraries.constData();
    EXPECT_FALSE(libraries.contains("libQt6Gui") || libraries.contains("libQt6Widgets")) << libraries.constData();
}

TEST_F(Cli, PortWithoutPermissionNamesTheDialoutGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the client as another user";
    PtyPair pty;
    ASSERT_EQ(::chmod(QFile::encodeName(pty.SlavePath()).constData(), 0600), 0);
    QProcess client;
    client.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(126);
    });
    client.start(ProgramBeside(QStringLiteral("veltra8-cli")), {QStringLiteral("live"), QStringLiteral("-p"), pty.SlavePath()});
    ASSERT_TRUE(client.waitForFinished());
    if (client.exitCode() == 126 || client.exitCode() == 127)
        GTEST_SKIP() << "the program is not reachable by an ordinary user here";
    EXPECT_EQ(client.exitCode(), 3);
    EXPECT_EQ(QString::fromLocal8Bit(client.readAllStandardError()),
        QStringLiteral("veltra8-cli: %1: permission denied (add yourself to the dialout group, then log in again)\n").arg(pty.SlavePath()));
}

// --- live --------------------------------------------------------------------

TEST_F(Cli, LiveWritesOneRecordPerFrameInEachFormat)
{
    startSimulator({QStringLiteral("--samples"), QStringLiteral("12"), QStringLiteral("--battery"), QStringLiteral("155")});
    const CliResult csv = runOnSim({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("2"), QStringLiteral("-f"), QStringLiteral("csv")});
    ASSERT_EQ(csv.code, 0) << csv.err.toStdString();
    const QList<QByteArray> lines = csv.out.split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "pc_time,logger_time,battery_pct,rate_min,memory_used,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r");
    const QRegularExpression record(QStringLiteral(
        R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,20\d\d-\d\d-\d\dT\d\d:\d\d:\d\d,77\.5,1,12(,-?\d+\.\d){8}\r$)"));
    EXPECT_TRUE(record.match(QString::fromLatin1(lines[1])).hasMatch()) << lines[1].constData();

    const CliResult jsonl = runOnSim({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("jsonl")});
    ASSERT_EQ(jsonl.code, 0);
    const QJsonObject o = QJsonDocument::fromJson(jsonl.out).object();
    EXPECT_EQ(o.value("battery_pct").toDouble(), 77.5);
    EXPECT_EQ(o.value("rate_min").toInt(), 1);
    EXPECT_EQ(o.value("memory_used").toDouble(), 12);
    EXPECT_EQ(o.value("ch").toArray().size(), 8);
    EXPECT_TRUE(o.value("logger_time").isString());

    // Not a terminal: csv unless asked; text has its header.
    const CliResult text = runOnSim({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("text"), QStringLiteral("-o"), path("live.txt")});
    ASSERT_EQ(text.code, 0);
    EXPECT_TRUE(text.out.isEmpty());
    EXPECT_TRUE(readFile(path("live.txt")).startsWith("logger time")) << readFile(path("live.txt")).constData();
}

TEST_F(Cli, LiveSkipsUnreadableFramesAndCountsThem)
{
    startSimulator({QStringLiteral("--bad-frame-every"), QStringLiteral("2")});
    const CliResult r = runOnSim({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("3")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.count('\n'), 4);
    EXPECT_TRUE(r.err.contains(QRegularExpression(QStringLiteral("veltra8-cli: [23] unreadable live frame")))) << r.err.toStdString();
}

class CliStopSignal : public Cli, public ::testing::WithParamInterface<int> {};

TEST_P(CliStopSignal, LiveEndsWithZeroAndOtherCommandsWithTheSignalsCodeLeavingThePortFree)
{
    startSimulator();
    CliProcess live({QStringLiteral("live"), QStringLiteral("-p"), sim->Link()}, dir.path());
    ASSERT_TRUE(live.WaitForLines(3));
    live.Signal(GetParam());
    const CliResult ended = live.Finish();
    EXPECT_EQ(ended.code, 0);
    EXPECT_TRUE(ended.out.endsWith('\n'));

    // A transfer that stops short of its end keeps the download waiting.
    ScriptedLogger logger(LoggerStamp{2024, 5, 17, 8, 15, 30}, 1, 5, "D24/05/17 30:15:08 R1\r\n" + QByteArray("001244").repeated(8) + "\r\n", false);
    writeFile(path("old.txt"), "kept");
    CliProcess download({QStringLiteral("download"), QStringLiteral("-p"), logger.Port(), QStringLiteral("-o"), path("old.txt"),
                            QStringLiteral("--raw"), path("raw.txt")},
        dir.path());
    ASSERT_TRUE(WaitUntil([&] { return logger.TransferSent(); }, 10000));
    WaitUntil([] { return false; }, 300);  // for the client to read it
    download.Signal(GetParam());
    const CliResult stopped = download.Finish();
    EXPECT_EQ(stopped.code, 128 + GetParam()) << stopped.err.toStdString();
    EXPECT_EQ(readFile(path("old.txt")), "kept");
    EXPECT_EQ(readFile(path("raw.txt")), "D24/05/17 30:15:08 R1\r\n" + QByteArray("001244").repeated(8) + "\r\n") << "what arrived is kept";
    EXPECT_EQ(run({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1"), QStringLiteral("-p"), logger.Port()}).code, 0)
        << "the port was let go";
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStopSignal, ::testing::Values(SIGINT, SIGTERM));

// --- download ----------------------------------------------------------------

TEST_F(Cli, DownloadAndConvertEndQuietlyWhenTheReaderOfTheirOutputStops)
{
    // Tables far larger than a pipe holds, read by `head -c 1`.
    startSimulator({QStringLiteral("--samples"), QStringLiteral("2000")});
    const CliResult download = RunCliIntoHead({QStringLiteral("download"), QStringLiteral("-p"), sim->Link(), QStringLiteral("-f"), QStringLiteral("csv")}, dir.path());
    EXPECT_EQ(download.code, 0);
    EXPECT_TRUE(download.err.isEmpty()) << download.err.toStdString();
    ASSERT_EQ(runOnSim({QStringLiteral("download"), QStringLiteral("-o"), path("table.txt")}).code, 0);
    const CliResult convert = RunCliIntoHead({QStringLiteral("convert"), path("table.txt")}, dir.path());
    EXPECT_EQ(convert.code, 0);
    EXPECT_TRUE(convert.err.isEmpty()) << convert.err.toStdString();
}

TEST_F(Cli, PortsSaysWhyItCannotListThePortsInItsOwnWords)
{
    // A virtual-ports folder that is a link to itself cannot be read.
    const QString loop = path("loop");
    ASSERT_TRUE(QFile::link(loop, loop));
    const CliResult r = RunCli({QStringLiteral("ports")}, loop);
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, QStringLiteral("veltra8-cli: cannot list the serial ports: Too many levels of symbolic links\n"));
}

TEST_F(Cli, DownloadWritesTheTableInEachFormatAndConvertReadsTheSavedFileBack)
{
    startSimulator({QStringLiteral("--samples"), QStringLiteral("25"), QStringLiteral("--rate-code"), QStringLiteral("2"),
        QStringLiteral("--start"), QStringLiteral("2024-05-17T08:15:30")});
    const CliResult txt = runOnSim({QStringLiteral("download"), QStringLiteral("-o"), path("table.txt"), QStringLiteral("--raw"), path("raw.bin")});
    ASSERT_EQ(txt.code, 0) << txt.err.toStdString();
    EXPECT_TRUE(txt.out.isEmpty());
    EXPECT_TRUE(txt.err.isEmpty()) << "no progress off a terminal: " << txt.err.toStdString();
    const QByteArray table = readFile(path("table.txt"));
    const QList<QByteArray> lines = table.split('\n');
    ASSERT_EQ(lines.size(), 2 + 25 + 1);
    EXPECT_TRUE(lines[0].startsWith("FECHA        HORA     CH1"));
    // The 25 samples end at the logger's start, five minutes apart.
    EXPECT_TRUE(lines[2].startsWith("17/05/2024  06:15:30  ") && lines[2].endsWith("  \r")) << lines[2].constData();
    EXPECT_TRUE(lines[26].startsWith("17/05/2024  08:15:30  ")) << lines[26].constData();
    const QByteArray raw = readFile(path("raw.bin"));
    EXPECT_TRUE(raw.startsWith("D24/05/17 ") && raw.endsWith("FIN\r\nA")) << raw.left(30).constData();

    for (const char* format : {"csv", "jsonl"}) {
        // The forced full download asks with "E"; the logger sends the same.
        const CliResult downloaded = runOnSim({QStringLiteral("download"), QStringLiteral("-f"), QString::fromLatin1(format), QStringLiteral("--full")});
        ASSERT_EQ(downloaded.code, 0);
        const CliResult converted = run({QStringLiteral("convert"), path("table.txt"), QStringLiteral("-f"), QString::fromLatin1(format)});
        ASSERT_EQ(converted.code, 0) << converted.err.toStdString();
        EXPECT_EQ(converted.out, downloaded.out) << format;
    }
    EXPECT_TRUE(WaitUntil([&] { return heard().startsWith("8X") && heard().contains("xEX"); }, 5000)) << heard().constData();
    const CliResult csv = run({QStringLiteral("convert"), path("table.txt")});
    EXPECT_TRUE(csv.out.startsWith("sample,time,ch1,ch2,ch3,ch4,ch5,ch6,ch7,ch8\r\n1,2024-05-17T06:15:30,")) << csv.out.left(80).constData();
    EXPECT_EQ(csv.out.count("\r\n"), 26);
    const QJsonObject first = QJsonDocument::fromJson(run({QStringLiteral("convert"), path("table.txt"), QStringLiteral("-f"), QStringLiteral("jsonl")}).out.split('\n')[0]).object();
    EXPECT_EQ(first.value("sample").toInt(), 1);
    EXPECT_TRUE(first.value("ch").toArray()[0].isDouble());
}

TEST_F(Cli, DownloadWithoutALiveFrameGivesUpAfterTheTimeout)
{
    PtyPair silent;
    const CliResult r = run({QStringLiteral("download"), QStringLiteral("-p"), silent.SlavePath(), QStringLiteral("--timeout"), QStringLiteral("0.5")});
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.err.contains(silent.SlavePath() + QStringLiteral(": no live frame within 0.5 s"))) << r.err.toStdString();
}

TEST_F(Cli, TransferThatNeverEndsLeavesTheOutputAsItWasAndKeepsTheRawBytes)
{
    startSimulator({QStringLiteral("--samples"), QStringLiteral("30"), QStringLiteral("--no-end-marker")});
    writeFile(path("old.csv"), "old");
    const CliResult r = runOnSim({QStringLiteral("download"), QStringLiteral("-f"), QStringLiteral("csv"), QStringLiteral("-o"), path("old.csv"),
        QStringLiteral("--raw"), path("raw.bin"), QStringLiteral("--timeout"), QStringLiteral("1")});
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no byte for 1 s during the transfer"))) << r.err.toStdString();
    EXPECT_EQ(readFile(path("old.csv")), "old");
    EXPECT_TRUE(readFile(path("raw.bin")).endsWith("FIN\r\n"));
}

TEST_F(Cli, DeviceVanishingMidDownloadIsAPortFailureWithNothingWritten)
{
    startSimulator({QStringLiteral("--samples"), QStringLiteral("30"), QStringLiteral("--hangup-after"), QStringLiteral("10")});
    const CliResult r = runOnSim({QStringLiteral("download"), QStringLiteral("-o"), path("table.txt"), QStringLiteral("--raw"), path("raw.bin")});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("the device vanished"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("table.txt")));
    EXPECT_EQ(readFile(path("raw.bin")).count('\n'), 11) << "the header and ten samples arrived";
}

TEST_F(Cli, PortHeldByAnotherProgramIsBusyAndAMissingPortSaysSo)
{
    startSimulator();
    const int holder = ::open(QFile::encodeName(sim->Link()).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const CliResult busy = runOnSim({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1")});
    ::close(holder);
    EXPECT_EQ(busy.code, 3);
    EXPECT_EQ(busy.err, QStringLiteral("veltra8-cli: %1: port busy: another program holds it; close that program and try again\n").arg(sim->Link()));

    const CliResult missing = run({QStringLiteral("download"), QStringLiteral("-p"), path("nothing")});
    EXPECT_EQ(missing.code, 3);
    EXPECT_TRUE(missing.err.contains(path("nothing") + QStringLiteral(": no such port"))) << missing.err.toStdString();
}

TEST_F(Cli, UndecodableDownloadIsADataFailureAndACountMismatchAWarning)
{
    const LoggerStamp clock{2024, 5, 17, 8, 15, 30};
    {
        ScriptedLogger logger(clock, 1, 2, "D24/05/17 30:15:08 R1\r\n" + QByteArray(48, '1') + "\r\n00x000" + QByteArray(42, '0') + "\r\nFIN\r\n");
        const CliResult r = run({QStringLiteral("download"), QStringLiteral("-p"), logger.Port(), QStringLiteral("-o"), path("bad.txt"), QStringLiteral("--raw"), path("bad.raw")});
        EXPECT_EQ(r.code, 5);
        EXPECT_TRUE(r.err.contains(QStringLiteral("cannot be decoded at line 3: 'x' is not a valid integer value"))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("bad.txt")));
        EXPECT_TRUE(readFile(path("bad.raw")).endsWith("FIN\r\nA"));
    }
    ScriptedLogger logger(clock, 1, 5, "D24/05/17 30:15:08 R1\r\n" + QByteArray("001244").repeated(8) + "\r\nFIN\r\n");
    const CliResult r = run({QStringLiteral("download"), QStringLiteral("-p"), logger.Port()});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("veltra8-cli: warning: the logger reported 5 samples in memory, the download holds 1\n"));
    EXPECT_TRUE(r.out.endsWith("17/05/2024  08:16:30  " + QByteArray("0,0  ").repeated(8) + "\r\n")) << r.out.constData();
}

// --- set-clock and set-rate --------------------------------------------------

TEST_F(Cli, SetClockRefusesToEmptyTheMemoryWithoutYesThenSetsAndConfirms)
{
    startSimulator({QStringLiteral("--samples"), QStringLiteral("40"), QStringLiteral("--start"), QStringLiteral("2021-01-01T00:00:00")});
    const CliResult refused = runOnSim({QStringLiteral("set-clock")});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("holds 40 samples"))) << refused.err.toStdString();
    // The simulator writes its record once the client has left.
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(path("record.txt")); }, 5000));
    EXPECT_FALSE(heard().contains('3')) << "nothing sent";

    const CliResult set = runOnSim({QStringLiteral("set-clock"), QStringLiteral("--yes")});
    EXPECT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_TRUE(set.out.startsWith("clock set: the logger reads " + QDate::currentDate().toString(Qt::ISODate).toLatin1()));
    EXPECT_TRUE(WaitUntil([&] { return QRegularExpression(QStringLiteral("3\\d{12}")).match(QString::fromLatin1(heard())).hasMatch(); }, 5000))
        << "the clock-set command, thirteen digits";

    // Memory now empty: no --yes needed, and --no-verify returns at once.
    EXPECT_EQ(runOnSim({QStringLiteral("set-clock"), QStringLiteral("--no-verify")}).code, 0);
}

TEST_F(Cli, SetRateWritesTheCommandAndConfirmsTheNewRate)
{
    startSimulator();
    const CliResult r = runOnSim({QStringLiteral("set-rate"), QStringLiteral("30")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return heard().endsWith('6'); }, 5000)) << "the simulator writes what it heard once the client has left";
    const CliResult live = runOnSim({QStringLiteral("live"), QStringLiteral("-n"), QStringLiteral("1"), QStringLiteral("-f"), QStringLiteral("jsonl")});
    EXPECT_EQ(QJsonDocument::fromJson(live.out).object().value("rate_min").toInt(), 30);
}

TEST_F(Cli, CommandsTheLoggerIgnoresFailConfirmation)
{
    ScriptedLogger logger(LoggerStamp{2021, 1, 1, 0, 0, 0}, 1, 0);
    const CliResult clock = run({QStringLiteral("set-clock"), QStringLiteral("-p"), logger.Port()});
    EXPECT_EQ(clock.code, 5);
    EXPECT_TRUE(clock.err.contains(QStringLiteral("did not take the clock: it reads 01/01/2021 00:00:00"))) << clock.err.toStdString();
    const CliResult rate = run({QStringLiteral("set-rate"), QStringLiteral("-p"), logger.Port(), QStringLiteral("60")});
    EXPECT_EQ(rate.code, 5);
    EXPECT_TRUE(rate.err.contains(QStringLiteral("still report rate code 1"))) << rate.err.toStdString();
}

// --- convert -----------------------------------------------------------------

TEST_F(Cli, ConvertNamesTheLineOrFileItCannotReadAndTheOutputItCannotWrite)
{
    const QByteArray title = "FECHA        HORA     CH1   CH2   CH3   CH4   CH5   CH6   CH7   CH8\r\n\r\n";
    const QByteArray good = "17/05/2024  08:20:30  " + QByteArray("23,5  ").repeated(8) + "\r\n";
    writeFile(path("bad.txt"), title + good + good + "17/05/2024  08:22:30  23.5  " + QByteArray("23,5  ").repeated(7) + "\r\n");
    const CliResult bad = run({QStringLiteral("convert"), path("bad.txt"), QStringLiteral("-o"), path("out.csv")});
    EXPECT_EQ(bad.code, 5);
    EXPECT_EQ(bad.err, QStringLiteral("veltra8-cli: %1: line 5: the temperature of CH1 is not a number such as 23,5; not converted\n").arg(path("bad.txt")));
    EXPECT_FALSE(QFile::exists(path("out.csv")));

    const CliResult missing = run({QStringLiteral("convert"), path("none.txt")});
    EXPECT_EQ(missing.code, 5);
    EXPECT_TRUE(missing.err.contains(path("none.txt") + QStringLiteral(": cannot open"))) << missing.err.toStdString();

    writeFile(path("good.txt"), title + good);
    const CliResult unwritable = run({QStringLiteral("convert"), path("good.txt"), QStringLiteral("-o"), path("no/such/folder.csv")});
    EXPECT_EQ(unwritable.code, 6);
    EXPECT_TRUE(unwritable.err.contains(path("no/such/folder.csv") + QStringLiteral(": cannot write"))) << unwritable.err.toStdString();
}

}  // namespace
