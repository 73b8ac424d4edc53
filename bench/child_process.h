#pragma once
// A command run whole, as a user runs it, for the benchmarks that time one:
// its standard output discarded, the time on the wall until it ends, its exit
// status and the resources wait4 reports for it.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

struct ChildRun {
    double wall = 0;  // seconds
    int status = 128;  // the exit code, 128 when it did not exit
    rusage usage{};
};

// `args` holds the program's path first.
inline ChildRun RunChild(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ChildRun run;
    const int out = ::open("/dev/null", O_WRONLY);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned == 0 && ::wait4(pid, &status, 0, &run.usage) == pid && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(out);
    return run;
}

// User and system time together.
inline double ProcessorSeconds(const rusage& usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A child spawned from a benchmark counts the benchmark's own peak memory as
// its own (the peak of the memory it shared until its exec), so a command
// whose memory is measured is started by a fresh, small copy of the benchmark
// (`--measure REPORT PROGRAM ARGS...`), which reports what the command used.
// The benchmark's main() hands that to MeasureCommand first.
inline bool IsMeasureRun(int argc, char** argv)
{
    return argc > 3 && std::string(argv[1]) == "--measure";
}

// argv: the report file, then the program and its arguments.
inline int MeasureCommand(char** argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (FILE* f = std::fopen(argv[0], "w")) {
        std::fwrite(&usage, sizeof usage, 1, f);
        std::fclose(f);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// RunChild through a fresh copy of this program: the usage is the command's
// alone. `report` is a scratch file's path.
inline ChildRun RunMeasured(const std::vector<std::string>& args, const std::string& report)
{
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::vector<std::string> all{std::string(self, n > 0 ? size_t(n) : 0), "--measure", report};
    all.insert(all.end(), args.begin(), args.end());
    ChildRun run = RunChild(std::move(all));
    run.usage = rusage{};
    if (FILE* f = std::fopen(report.c_str(), "r")) {
        if (std::fread(&run.usage, sizeof run.usage, 1, f) != 1)
            run.usage = rusage{};
        std::fclose(f);
    }
    std::remove(report.c_str());
    return run;
}
