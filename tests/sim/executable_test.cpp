// The veltra8-sim program itself: its link, its output and its signals.
#include "sim/sim_record.h"
#include "tests/sim/sim_client.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string ProgramPath()
{
    if (const char* over = std::getenv("VELTRA8_SIM"); over && *over)
        return over;
    return (fs::read_symlink("/proc/self/exe").parent_path() / "veltra8-sim").string();
}

// Root opens a pty that another client holds exclusively, an ordinary user
// does not; tests that need the ordinary rule run their processes as nobody.
void BecomeOrdinaryUser()
{
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(126);
}

// A running veltra8-sim with its standard output on a pipe.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args, bool ordinaryUser = false)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        args.insert(args.begin(), ProgramPath());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            if (ordinaryUser)
                BecomeOrdinaryUser();
            ::dup2(out[1], STDOUT_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = ::fdopen(out[0], "r");
    }
    ~SimProcess()
    {
        if (status_ < 0 && pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_)
            std::fclose(out_);
    }
    // The rest of the next output line that starts with `prefix`; empty at the end.
    std::string LineStarting(const std::string& prefix)
    {
        char line[4096];
        while (out_ && std::fgets(line, sizeof line, out_)) {
            std::string text(line);
            if (text.rfind(prefix, 0) == 0)
                return text.substr(prefix.size(), text.find('\n') - prefix.size());
        }
        return {};
    }
    void Signal(int signal) const { ::kill(pid_, signal); }
    // How often its threads have gone to sleep so far: each wake-up after a
    // wait counts one.
    long long Sleeps() const
    {
        long long sum = 0;
        for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid_) + "/task")) {
            std::FILE* f = std::fopen((task.path() / "status").c_str(), "r");
            char line[256];
            while (f && std::fgets(line, sizeof line, f)) {
                long long n = 0;
                if (std::sscanf(line, "voluntary_ctxt_switches: %lld", &n) == 1)
                    sum += n;
            }
            if (f)
                std::fclose(f);
        }
        return sum;
    }
    // The exit code; -1 if it does not end within five seconds.
    int Wait()
    {
        for (int i = 0; i < 500 && status_ < 0; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(10ms);
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    std::FILE* out_ = nullptr;
    int status_ = -1;
};

class SimulatorProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(ProgramPath()))
            GTEST_SKIP() << "no simulator program at " << ProgramPath();
        std::string pattern = (fs::temp_directory_path() / "veltra8-sim-exe-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        ::chmod(folder_.c_str(), 0777);
    }
    void TearDown() override
    {
        if (!folder_.empty())
            fs::remove_all(folder_);
    }
    std::string folder_;
};

class SimulatorProgramSignals : public SimulatorProgram, public ::testing::WithParamInterface<int> {};

TEST_P(SimulatorProgramSignals, LinkServesFramesAndGoesAwayOnTheSignal)
{
    const std::string ports = folder_ + "/ports";
    const std::string record = folder_ + "/record.txt";
    SimProcess sim({"--ports-dir", ports, "--frame-period", "50", "--unpaced", "--record", record});
    const std::string link = sim.LineStarting("link: ");
    ASSERT_EQ(link, ports + "/veltra8-sim");
    EXPECT_EQ(fs::read_symlink(link).string(), sim.LineStarting("slave: "));
    {
        SimClient client(link);
        EXPECT_TRUE(DecodeFrame(client.ReadBytes(64, 2000).substr(0, 64)).digits);
    }
    sim.Signal(GetParam());
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    const std::string frames = sim.LineStarting("frames: ");
    ASSERT_FALSE(frames.empty());
    EXPECT_GE(std::stoll(frames), 1);
    EXPECT_EQ(ReadRecordFile(record).framesSent, std::stoll(frames));
}

INSTANTIATE_TEST_SUITE_P(Signals, SimulatorProgramSignals, ::testing::Values(SIGTERM, SIGINT));

// Nothing to do is no reason to wake: not while nobody holds the port (the
// master's hang-up cannot be waited on), nor between two frames a minute
// apart. Each phase may see a stray wake-up or two, never a timer's dozens.
TEST_F(SimulatorProgram, IdleSimulatorSleepsUntilSomethingHappens)
{
    SimProcess sim({"--ports-dir", folder_, "--frame-period", "60000"});
    const std::string link = sim.LineStarting("link: ");
    ASSERT_FALSE(link.empty());
    std::this_thread::sleep_for(200ms);
    long long before = sim.Sleeps();
    std::this_thread::sleep_for(1000ms);
    EXPECT_LE(sim.Sleeps() - before, 3) << "with no client";

    SimClient client(link);
    EXPECT_TRUE(DecodeFrame(client.ReadBytes(64, 2000).substr(0, 64)).digits);  // the first frame comes at once
    before = sim.Sleeps();
    std::this_thread::sleep_for(1000ms);
    EXPECT_LE(sim.Sleeps() - before, 3) << "with a client between frames";
    client.Close();
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
}

TEST_F(SimulatorProgram, HelpSucceedsAndBadOptionsFail)
{
    SimProcess help({"--help"});
    EXPECT_FALSE(help.LineStarting("Usage: ").empty());
    EXPECT_EQ(help.Wait(), 0);
    SimProcess bad({"--samples", "5000"});
    EXPECT_EQ(bad.Wait(), 2);
}

// A client that locks the port for itself, as the program's port does, and
// lets go without unlocking: the next client must still get in.
TEST_F(SimulatorProgram, PortLeftLockedByAClientIsMadeAnewUnderTheLink)
{
    SimProcess sim({"--ports-dir", folder_, "--unpaced", "--frame-period", "50"}, true);
    const std::string link = sim.LineStarting("link: ");
    ASSERT_FALSE(link.empty());
    const pid_t client = ::fork();
    if (client == 0) {
        BecomeOrdinaryUser();
        for (int round = 0; round < 2; ++round) {
            // Until the simulator notices the first client left, the old port answers busy.
            bool served = false;
            for (int attempt = 0; attempt < 100 && !served; ++attempt) {
                SimClient c(link);
                served = c.IsOpen() && ::ioctl(c.Fd(), TIOCEXCL) == 0
                    && DecodeFrame(c.ReadBytes(64, 1000).substr(0, 64)).digits;
                if (!served)
                    std::this_thread::sleep_for(20ms);
            }
            if (!served)
                ::_exit(10 + round);
        }
        ::_exit(0);
    }
    int status = -1;
    ::waitpid(client, &status, 0);
    EXPECT_EQ(status, 0) << "exit 10: first client not served, 11: second client locked out";
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    // The new port was announced as it was made.
    const std::string first = sim.LineStarting("slave: ");
    const std::string renewed = sim.LineStarting("slave: ");
    EXPECT_FALSE(renewed.empty());
    EXPECT_NE(renewed, first);
}

TEST_F(SimulatorProgram, EndsByItselfWhenItHangsUpWithoutReopening)
{
    SimProcess sim({"--ports-dir", folder_, "--unpaced", "--frame-period", "50", "--samples", "5", "--hangup-after", "0"});
    const std::string link = sim.LineStarting("link: ");
    ASSERT_FALSE(link.empty());
    SimClient client(link);
    ASSERT_TRUE(DecodeFrame(client.ReadBytes(64, 2000).substr(0, 64)).digits);
    client.Write("8X");  // a download request, taken at once
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(sim.LineStarting("frames: ").empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

// Without a folder of its own to list the port in, the program says so in
// one line that names the folder and the way out. Arranged in a private
// mount of /tmp, where the folder is one that anyone may write to.
TEST_F(SimulatorProgram, UnusablePortsFolderIsNamedInOneLine)
{
    const std::string folder = "/tmp/veltra8-ports-" + std::to_string(::getuid());
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("VELTRA8_PORTS_DIR=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = ProgramPath();
    char* argv[] = {program.data(), nullptr};
    const int programFd = ::open(program.c_str(), O_RDONLY);  // /tmp may hide it
    ASSERT_GE(programFd, 0);
    int err[2];
    ASSERT_EQ(::pipe(err), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", "/tmp", "tmpfs", 0, nullptr) != 0)
            ::_exit(125);
        if (::mkdir(folder.c_str(), 0700) != 0 || ::chmod(folder.c_str(), 0777) != 0)
            ::_exit(126);
        ::dup2(err[1], STDERR_FILENO);
        ::fexecve(programFd, argv, envp.data());
        ::_exit(127);
    }
    ::close(err[1]);
    ::close(programFd);
    std::string said;
    char buf[512];
    for (ssize_t n; (n = ::read(err[0], buf, sizeof buf)) > 0;)
        said.append(buf, static_cast<std::size_t>(n));
    ::close(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 125)
        GTEST_SKIP() << "no private mount of /tmp here";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(said, "veltra8-sim: no folder for the port's link: " + folder +
                        ": others may write to it (remove it, set XDG_RUNTIME_DIR, or run with --ports-dir DIR or --no-link)\n");
}

}  // namespace
