// veltra8-station end to end: the built program against veltra8-sim on a
// pty, systemd's notification socket read by the test, the archive on a real
// file system. Every test ends by checking the archive against the
// simulator's own record: each sample it stored and sent whole in a finished
// transfer is archived once, in order, with its time.
#include "sim/sim_record.h"
#include "sim/stored_samples.h"
#include "tests/support/programs.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <map>
#include <memory>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// How gtest shows a row that differs.
std::ostream& operator<<(std::ostream& os, const StoredRow& r)
{
    return os << r.sample << ' ' << r.time.toString(Qt::ISODate).toStdString() << ' ' << r.raw[0];
}

namespace {

// A fixed logger: its memory cycle began at the same instant in every run,
// so a simulator started again with more samples holds the same cycle grown,
// as a logger does when its cable is plugged back in later.
const QDateTime CycleStart(QDate(2026, 3, 10), QTime(8, 0, 0));

// systemd's side of sd_notify: a datagram socket the station writes to.
class NotifySocket {
public:
    explicit NotifySocket(const QString& path) : path_(path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        qstrncpy(a.sun_path, QFile::encodeName(path).constData(), sizeof a.sun_path);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        // Read as systemd reads it, whenever something comes: a full queue
        // would hold the station up in sd_notify.
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Messages(); });
    }
    ~NotifySocket()
    {
        notifier_.reset();
        ::close(fd_);
    }
    const QString& Path() const { return path_; }
    // Every message so far, one per entry.
    const QStringList& Messages()
    {
        char buf[4096];
        ssize_t n;
        while ((n = ::recv(fd_, buf, sizeof buf, 0)) > 0)
            messages_ << QString::fromUtf8(buf, int(n));
        return messages_;
    }
    bool Saw(const QString& text) { return Messages().join(u'\n').contains(text); }

private:
    QString path_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QStringList messages_;
};

class StationProcess {
public:
    StationProcess(const QStringList& arguments, const QString& notifySocket)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "JOURNAL_STREAM", "WATCHDOG_USEC"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("NOTIFY_SOCKET"), notifySocket);
        process_.setProcessEnvironment(env);
        process_.start(ProgramBeside(QStringLiteral("veltra8-station")), arguments);
        process_.waitForStarted();
    }
    ~StationProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    QString Err()
    {
        err_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return err_;
    }
    int Count(const QString& text) { return int(Err().count(text)); }
    bool WaitFor(const QString& text, int count = 1, int timeoutMs = 15000)
    {
        return WaitUntil([&] { return Count(text) >= count; }, timeoutMs);
    }
    void Signal(int signal) { ::kill(pid_t(process_.processId()), signal); }
    int Finish()
    {
        process_.waitForFinished(10000);
        Err();
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

private:
    QProcess process_;
    QString err_;
};

class StationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath(QStringLiteral("ports"));
        notify_ = std::make_unique<NotifySocket>(path("notify"));
    }

    QString path(const QString& name) const { return dir_.path() + u'/' + name; }
    QString port() const { return path(QStringLiteral("ports/lg")); }

    // A logger on the link ports/lg holding `samples` of the fixed cycle at
    // one a minute; each run keeps its own record.
    std::unique_ptr<SimulatorProcess> plug(int samples, QStringList arguments = {})
    {
        const QString record = path(QStringLiteral("record-%1.txt").arg(++runs_));
        records_ << record;
        arguments << QStringLiteral("--link-name") << QStringLiteral("lg") << QStringLiteral("--record") << record
                  << QStringLiteral("--samples") << QString::number(samples);
        if (!arguments.contains(QStringLiteral("--start")))
            arguments << QStringLiteral("--start") << CycleStart.addSecs(60LL * samples).toString(Qt::ISODate);
        return std::make_unique<SimulatorProcess>(path(QStringLiteral("ports")), arguments);
    }

    std::unique_ptr<StationProcess> station(QStringList extra = {})
    {
        return std::make_unique<StationProcess>(
            QStringList{QStringLiteral("-p"), port(), QStringLiteral("--archive"), path(QStringLiteral("archive")),
                QStringLiteral("--max-clock-drift"), QStringLiteral("0")}
                + extra,
            notify_->Path());
    }

    std::vector<StoredRow> archived(const QString& name = QStringLiteral("lg")) const
    {
        QStringList problems;
        std::vector<StoredRow> rows = ReadArchiveRows(path(QStringLiteral("archive/") + name), &problems);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
        return rows;
    }

    std::vector<SimRecord> records() const
    {
        std::vector<SimRecord> all;
        for (const QString& file : records_)
            if (QFile::exists(file))
                all.push_back(ReadRecordFile(file.toStdString()));
        return all;
    }

    void expectExactlyOnce(const QString& name = QStringLiteral("lg"))
    {
        const std::vector<SimRecord> runs = records();
        const std::vector<StoredRow> want = StoredRows(runs);
        const std::vector<StoredRow> got = archived(name);
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(EmptiedUnsent(runs), 0) << "samples emptied before any transfer held them";
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], want[i]) << "row " << i;
    }

    // The simulator's records are written when the client leaves and when
    // it ends; the station is stopped first.
    void stopAll(std::unique_ptr<StationProcess>& s, std::unique_ptr<SimulatorProcess>& sim)
    {
        s->Signal(SIGTERM);
        EXPECT_EQ(s->Finish(), 0) << s->Err().toStdString();
        sim.reset();
    }

    QTemporaryDir dir_;
    std::unique_ptr<NotifySocket> notify_;
    QStringList records_;
    int runs_ = 0;
};

// Fast transfers, so the tests spend their time on what they test.
const QStringList Quick{QStringLiteral("--unpaced"), QStringLiteral("--transfer-delay"), QStringLiteral("50"),
    QStringLiteral("--marker-pause"), QStringLiteral("50"), QStringLiteral("--frame-period"), QStringLiteral("200")};

TEST_F(StationTest, Station_StartedWithoutLogger_ReadyThenArchivesOnceAcrossReplugs)
{
    auto s = station();
    ASSERT_TRUE(WaitUntil([&] { return notify_->Saw(QStringLiteral("READY=1")); }, 10000)) << s->Err().toStdString();
    EXPECT_TRUE(notify_->Saw(QStringLiteral("STATUS=waiting for ") + port()));
    ASSERT_TRUE(s->WaitFor(QStringLiteral("no such device; waiting for it to appear")));

    auto sim = plug(40, Quick);
    ASSERT_TRUE(s->WaitFor(QStringLiteral("40 new samples archived, 40 in memory"), 1, 10000)) << s->Err().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return notify_->Saw(QStringLiteral("STATUS=connected to ") + port() + QStringLiteral(", 40 samples in memory, 40 archived")); }));

    // Unplugged and plugged back: the same memory is downloaded at once,
    // nothing of it appended again.
    sim.reset();
    ASSERT_TRUE(s->WaitFor(QStringLiteral("the device vanished")));
    sim = plug(40, Quick);
    ASSERT_TRUE(s->WaitFor(QStringLiteral(": 0 new samples archived, 40 in memory"), 1, 10000)) << s->Err().toStdString();
    EXPECT_EQ(s->Count(QStringLiteral("the device vanished")), 1);
    stopAll(s, sim);
    EXPECT_TRUE(notify_->Saw(QStringLiteral("STOPPING=1")));
    expectExactlyOnce();
    EXPECT_EQ(QDir(path(QStringLiteral("archive/lg/raw"))).entryList(QDir::Files).size(), 2);
}

TEST_F(StationTest, Station_LoggerLeftAfterATransfer_ResumedAndArchived)
{
    // Someone's download cut off before its "x" (a cable pulled, a client
    // killed) leaves the logger without live frames until it hears one.
    auto sim = plug(30, Quick);
    const int fd = ::open(port().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "8", 1), 1);
    WaitUntil([] { return false; }, 1100);
    ASSERT_EQ(::write(fd, "X", 1), 1);
    QByteArray transfer;
    pollfd p{fd, POLLIN, 0};
    while (!transfer.endsWith("FIN\r\n") && ::poll(&p, 1, 5000) > 0) {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        transfer.append(buffer, n);
    }
    ::close(fd);
    ASSERT_TRUE(transfer.contains("FIN")) << transfer.constData();

    auto s = station();
    ASSERT_TRUE(s->WaitFor(QStringLiteral("30 new samples archived, 30 in memory"), 1, 10000)) << s->Err().toStdString();
    stopAll(s, sim);
    expectExactlyOnce();
}

TEST_F(StationTest, Station_CycleAcrossMonths_EachMonthItsFileAndGrowthAppendedOnce)
{
    // Samples from 31 March 22:00 on, past midnight into April.
    const QDateTime start(QDate(2026, 3, 31), QTime(22, 0, 0));
    auto s = station();
    auto sim = plug(100, Quick + QStringList{QStringLiteral("--start"), start.addSecs(100 * 60).toString(Qt::ISODate)});
    ASSERT_TRUE(s->WaitFor(QStringLiteral("100 new samples archived"))) << s->Err().toStdString();
    sim.reset();
    sim = plug(180, Quick + QStringList{QStringLiteral("--start"), start.addSecs(180 * 60).toString(Qt::ISODate)});
    ASSERT_TRUE(s->WaitFor(QStringLiteral(": 80 new samples archived, 180 in memory"))) << s->Err().toStdString();
    stopAll(s, sim);
    expectExactlyOnce();
    EXPECT_EQ(QDir(path(QStringLiteral("archive/lg"))).entryList({QStringLiteral("*.csv")}),
        QStringList({QStringLiteral("2026-03.csv"), QStringLiteral("2026-04.csv")}));
}

TEST_F(StationTest, Station_UnpluggedMidDownloadAndMidFrame_TwentyTimes_EachSampleOnce)
{
    auto s = station();
    auto* random = QRandomGenerator::global();
    int archivedDownloads = 0;
    for (int round = 0; round < 20; ++round) {
        std::unique_ptr<SimulatorProcess> sim;
        if (round % 2 == 0) {
            // The cable pulled after a number of sample lines, then back.
            sim = plug(300 + round, Quick + QStringList{QStringLiteral("--hangup-after"), QString::number(random->bounded(1, 300)), QStringLiteral("--reopen")});
            ++archivedDownloads;
            ASSERT_TRUE(s->WaitFor(QStringLiteral("in memory"), archivedDownloads, 15000)) << s->Err().toStdString();
        } else {
            // Pulled at any moment, most often in the middle of a frame.
            sim = plug(300 + round, Quick + QStringList{QStringLiteral("--chunk"), QStringLiteral("7"), QStringLiteral("--chunk-gap"), QStringLiteral("5")});
            WaitUntil([] { return false; }, random->bounded(100, 1500));
        }
        sim.reset();
        // Each round ends with the station waiting for its port again.
        ASSERT_TRUE(WaitUntil([&] {
            const QString said = s->Err().trimmed();
            return said.endsWith(QStringLiteral("waiting for it to come back")) || said.endsWith(QStringLiteral("waiting for it to appear"));
        }, 15000)) << s->Err().toStdString();
    }
    auto sim = plug(320, Quick);
    ASSERT_TRUE(s->WaitFor(QStringLiteral("320 in memory"), 1, 15000)) << s->Err().toStdString();
    stopAll(s, sim);
    expectExactlyOnce();
    EXPECT_EQ(archived().size(), 320u);
}

TEST_F(StationTest, Station_KilledMidWriteAndTornByPowerCut_RestartsWithEachSampleOnce)
{
    const QStringList noCycle{QStringLiteral("--restart-memory-at"), QStringLiteral("2000")};
    auto* random = QRandomGenerator::global();
    std::unique_ptr<SimulatorProcess> sim;
    for (int round = 0; round < 5; ++round) {
        sim = plug(1000 + 100 * round, Quick);
        auto s = station(noCycle);
        ASSERT_TRUE(s->WaitFor(QStringLiteral("connected")));
        WaitUntil([] { return false; }, random->bounded(200, 1600));
        s->Signal(SIGKILL);
        s->Finish();
        sim.reset();
    }
    // What a power cut leaves: the ledger's line for the last batch synced,
    // its rows' tail lost, and half a line.
    const QString month = path(QStringLiteral("archive/lg/2026-03.csv"));
    {
        auto s = station(noCycle);
        sim = plug(1500, Quick);
        ASSERT_TRUE(s->WaitFor(QStringLiteral("1500 in memory")));
        stopAll(s, sim);
    }
    QFile f(month);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray all = f.readAll();
    for (int i = 0; i < 11; ++i)
        all.chop(all.size() - all.lastIndexOf("\r\n", all.size() - 3) - 2);
    all += "1490,2026-03-11T08:50:0";
    f.resize(0);
    f.write(all);
    f.close();
    QFile ledger(path(QStringLiteral("archive/lg/cycles")));
    ASSERT_TRUE(ledger.open(QIODevice::Append));
    ledger.write("cycle 2026-03-10T08:00:00 1 14");
    ledger.close();

    auto s = station(noCycle);
    sim = plug(1600, Quick);
    ASSERT_TRUE(s->WaitFor(QStringLiteral("1600 in memory"))) << s->Err().toStdString();
    stopAll(s, sim);
    expectExactlyOnce();
    EXPECT_EQ(archived().size(), 1600u);
}

TEST_F(StationTest, Station_ArchiveDiskFull_SaysSoTearsNothingAndResumesWhenSpaceReturns)
{
    const QString archive = path(QStringLiteral("archive"));
    QDir().mkpath(archive);
    // 1500 samples: 75 kB of transfer and 90 kB of rows, on 150 kB.
    if (::mount("tmpfs", QFile::encodeName(archive).constData(), "tmpfs", 0, "size=150k") != 0)
        GTEST_SKIP() << "a small tmpfs needs root";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(archive)};

    auto s = station({QStringLiteral("--download-every"), QStringLiteral("2s"), QStringLiteral("--restart-memory-at"), QStringLiteral("2000")});
    auto sim = plug(1500, Quick);
    ASSERT_TRUE(s->WaitFor(QStringLiteral("No space left on device"))) << s->Err().toStdString();
    for (const StoredRow& r : archived())
        EXPECT_LE(r.sample, 1500);
    ASSERT_EQ(::mount("tmpfs", unmount.at.constData(), "tmpfs", MS_REMOUNT, "size=4m"), 0);
    ASSERT_TRUE(s->WaitFor(QStringLiteral("1500 in memory"), 1, 15000)) << s->Err().toStdString();
    EXPECT_EQ(s->Count(QStringLiteral("No space left on device")), 1);
    stopAll(s, sim);
    expectExactlyOnce();
}

TEST_F(StationTest, Station_MemoryReachesLimit_ArchivedThenEmptiedByClockAndNextCycleArchived)
{
    // An hour a sample at 600 times the speed: six seconds a sample.
    auto sim = plug(150, Quick + QStringList{QStringLiteral("--rate-code"), QStringLiteral("6"), QStringLiteral("--speed"), QStringLiteral("600"), QStringLiteral("--calm"), QStringLiteral("0"),
                             QStringLiteral("--start"), CycleStart.addSecs(150 * 3600).toString(Qt::ISODate)});
    auto s = station({QStringLiteral("--restart-memory-at"), QStringLiteral("100"), QStringLiteral("--download-every"), QStringLiteral("2s")});
    ASSERT_TRUE(s->WaitFor(QStringLiteral("150 new samples archived")));
    ASSERT_TRUE(s->WaitFor(QStringLiteral("memory emptied and its clock set"), 1, 10000)) << s->Err().toStdString();
    // The next cycle's first samples come to the archive too.
    const QRegularExpression someNew(QStringLiteral(": [1-9][0-9]* new samples? archived"));
    ASSERT_TRUE(WaitUntil([&] { return s->Err().mid(s->Err().indexOf(QStringLiteral("memory emptied"))).contains(someNew); }, 20000))
        << s->Err().toStdString();
    stopAll(s, sim);
    expectExactlyOnce();
    EXPECT_EQ(archived()[150].sample, 1) << "the new cycle numbers its samples from 1";
}

TEST_F(StationTest, Station_TransferThatNeverEnds_AbandonedPastItsCapOnceAndFramesGoOn)
{
    auto sim = plug(50, Quick + QStringList{QStringLiteral("--endless")});
    auto s = station();
    ASSERT_TRUE(s->WaitFor(QStringLiteral("went on past 512 KiB without its end"), 1, 30000)) << s->Err().toStdString();
    // The simulator writes its record once it has heard the station's x.
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(records_.front()); }, 5000));
    const long long framesBefore = ReadRecordFile(records_.front().toStdString()).framesSent;
    WaitUntil([] { return false; }, 2000);
    stopAll(s, sim);
    const SimRecord record = ReadRecordFile(records_.front().toStdString());
    EXPECT_GE(record.framesSent, framesBefore + 5) << "the station's x brought the live frames back";
    EXPECT_EQ(s->Count(QStringLiteral("went on past")), 1);
    EXPECT_EQ(s->Count(QStringLiteral("archived,")), 0) << "nothing of the endless transfer is archived";
}

TEST_F(StationTest, Station_DaysPassInSeconds_EachMemoryCycleArchivedOnceAndDriftWaitsForIt)
{
    // A sample a minute and an hour of the logger's clock per frame, so
    // the memory reaches its limit every 3 s; the logger keeps time while
    // the station speaks to it. Between cycles its clock runs hours ahead
    // of the PC's: corrected at each cycle's setting, not by downloads of
    // its own.
    auto sim = plug(0, {QStringLiteral("--unpaced"), QStringLiteral("--transfer-delay"), QStringLiteral("50"), QStringLiteral("--marker-pause"),
                           QStringLiteral("50"), QStringLiteral("--frame-period"), QStringLiteral("100"), QStringLiteral("--speed"),
                           QStringLiteral("36000"), QStringLiteral("--calm"), QStringLiteral("1000"), QStringLiteral("--start"),
                           QDateTime::currentDateTime().toString(Qt::ISODate)});
    auto s = station({QStringLiteral("--max-clock-drift"), QStringLiteral("120")});
    ASSERT_TRUE(s->WaitFor(QStringLiteral("memory emptied and its clock set"), 3, 60000)) << s->Err().toStdString();
    stopAll(s, sim);
    expectExactlyOnce();
    // Hours ran by before the station came: the clock is corrected once at
    // the start; after that only the memory cycles set it, each at its limit.
    EXPECT_LE(s->Count(QStringLiteral("clock corrected")), 1) << s->Err().toStdString();
    const std::vector<SimRecord> runs = records();
    ASSERT_GE(runs.front().emptied.size(), 3u);
    for (size_t i = runs.front().emptied.size() - 3; i < runs.front().emptied.size(); ++i)
        EXPECT_GE(runs.front().emptied[i].samples, 1800) << "each memory emptied at its limit";
    // At start, then per cycle the download that empties it and at most
    // one more for a sample that came just after it.
    EXPECT_LE(s->Count(QStringLiteral("archived,")), 2 + 2 * s->Count(QStringLiteral("memory emptied"))) << s->Err().toStdString();
}

TEST_F(StationTest, Station_ClockDrifted_CorrectedAfterArchivedDownload)
{
    const QDateTime behind = QDateTime::currentDateTime().addSecs(-600);
    auto sim = plug(30, Quick + QStringList{QStringLiteral("--start"), behind.toString(Qt::ISODate)});
    auto s = station({QStringLiteral("--max-clock-drift"), QStringLiteral("60")});
    ASSERT_TRUE(s->WaitFor(QStringLiteral("30 new samples archived")));
    ASSERT_TRUE(s->WaitFor(QStringLiteral("clock corrected"))) << s->Err().toStdString();
    EXPECT_TRUE(s->Err().indexOf(QStringLiteral("30 new samples archived")) < s->Err().indexOf(QStringLiteral("clock corrected")));
    stopAll(s, sim);
    expectExactlyOnce();
    std::string sent;
    for (const QString& file : records_)
        for (const SimReceived& r : ReadRecordFile(file.toStdString()).received)
            sent += r.byte;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), '3') >= 1, true) << sent;
}

TEST_F(StationTest, Station_HangupRereadsConfig_TermStopsCleanly)
{
    const QString config = path(QStringLiteral("station.conf"));
    auto writeConfig = [&](const QString& name) {
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("[station]\nname=%1\ndownload-every=6h\n").arg(name).toUtf8());
    };
    writeConfig(QStringLiteral("cold-room"));
    auto sim = plug(20, Quick);
    auto s = station({QStringLiteral("--config"), config});
    ASSERT_TRUE(s->WaitFor(QStringLiteral("20 new samples archived"))) << s->Err().toStdString();
    writeConfig(QStringLiteral("freezer"));
    s->Signal(SIGHUP);
    ASSERT_TRUE(s->WaitFor(QStringLiteral("configuration read again")));
    ASSERT_TRUE(s->WaitFor(QStringLiteral("20 new samples archived"), 2)) << s->Err().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return notify_->Saw(QStringLiteral("RELOADING=1")); }));
    stopAll(s, sim);
    expectExactlyOnce(QStringLiteral("cold-room"));
    expectExactlyOnce(QStringLiteral("freezer"));
}

TEST_F(StationTest, Station_UnderJournalWithWatchdog_PrefixesPrioritiesAndPingsFromItsLoop)
{
    // As systemd starts it: standard error is the stream JOURNAL_STREAM
    // names, and the watchdog asks for a ping every 0.2 s.
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("NOTIFY_SOCKET"), notify_->Path());
    env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("200000"));
    env.remove(QStringLiteral("WATCHDOG_PID"));
    station.setProcessEnvironment(env);
    station.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("JOURNAL_STREAM=$(stat -L -c %d:%i /proc/self/fd/2) exec \"$0\" \"$@\""),
                                            ProgramBeside(QStringLiteral("veltra8-station")), QStringLiteral("-p"), port(),
                                            QStringLiteral("--archive"), path(QStringLiteral("archive"))});
    ASSERT_TRUE(WaitUntil([&] { return notify_->Messages().count(QStringLiteral("WATCHDOG=1")) >= 3; }, 5000));
    station.terminate();
    ASSERT_TRUE(station.waitForFinished(5000));
    EXPECT_EQ(station.exitCode(), 0);
    const QStringList lines = QString::fromLocal8Bit(station.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("<4>") + port() + QStringLiteral(": no such device; waiting for it to appear"));
    EXPECT_EQ(lines.last(), QStringLiteral("<6>stopping"));
}

}  // namespace
