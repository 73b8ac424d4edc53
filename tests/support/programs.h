#pragma once
// The built programs as separate processes: veltra8-cli run with arguments
// and its output collected, and veltra8-sim serving a link in a folder of
// the test's own. Both are found beside the test program ($VELTRA8_SIM
// overrides the simulator's path, as ctest sets it).
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

inline QString ProgramBeside(const QString& name)
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(u'/', 0, -2) + u'/' + name;
}

inline QString SimulatorProgram()
{
    const QString over = qEnvironmentVariable("VELTRA8_SIM");
    return over.isEmpty() ? ProgramBeside(QStringLiteral("veltra8-sim")) : over;
}

struct CliResult {
    int code = -1;
    QByteArray out;
    QString err;
};

// veltra8-cli's environment: the test's, less $VELTRA8_PORT, with the
// virtual-ports folder given, in an English session whatever the machine's
// language (tests compare the client's English texts).
inline QProcessEnvironment CliEnvironment(const QString& portsFolder, const QStringList& extraEnvironment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VELTRA8_PORT"));
    env.insert(QStringLiteral("VELTRA8_PORTS_DIR"), portsFolder);
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    for (const QString& e : extraEnvironment)
        env.insert(e.section(u'=', 0, 0), e.section(u'=', 1));
    return env;
}

// A running veltra8-cli in CliEnvironment.
class CliProcess {
public:
    CliProcess(const QStringList& arguments, const QString& portsFolder, const QStringList& extraEnvironment = {})
    {
        process_.setProcessEnvironment(CliEnvironment(portsFolder, extraEnvironment));
        process_.start(ProgramBeside(QStringLiteral("veltra8-cli")), arguments);
        process_.waitForStarted();
    }
    ~CliProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    // Waits until standard error holds `text` (or the program ends).
    bool WaitForError(const QString& text, int timeoutMs = 10000)
    {
        while (!err_.contains(text)) {
            if (!process_.waitForReadyRead(timeoutMs))
                return false;
            err_ += QString::fromLocal8Bit(process_.readAllStandardError());
            out_ += process_.readAllStandardOutput();
        }
        return true;
    }
    // Waits until standard output holds `count` lines.
    bool WaitForLines(int count, int timeoutMs = 10000)
    {
        while (out_.count('\n') < count) {
            if (!process_.waitForReadyRead(timeoutMs))
                return false;
            out_ += process_.readAllStandardOutput();
            err_ += QString::fromLocal8Bit(process_.readAllStandardError());
        }
        return true;
    }
    void Signal(int signal) { ::kill(pid_t(process_.processId()), signal); }
    CliResult Finish(int timeoutMs = 30000)
    {
        process_.waitForFinished(timeoutMs);
        CliResult r;
        r.code = process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
        r.out = out_ + process_.readAllStandardOutput();
        r.err = err_ + QString::fromLocal8Bit(process_.readAllStandardError());
        return r;
    }

private:
    QProcess process_;
    QByteArray out_;
    QString err_;
};

inline CliResult RunCli(const QStringList& arguments, const QString& portsFolder = QDir::tempPath())
{
    return CliProcess(arguments, portsFolder).Finish();
}

// veltra8-cli with its standard output read by `head -c 1`, which stops
// reading after the first byte; `out` stays empty.
inline CliResult RunCliIntoHead(const QStringList& arguments, const QString& portsFolder)
{
    QProcess shell;
    shell.setProcessEnvironment(CliEnvironment(portsFolder));
    shell.start(QStringLiteral("bash"),
        QStringList{QStringLiteral("-c"), QStringLiteral("\"$0\" \"$@\" | head -c 1 >/dev/null; exit \"${PIPESTATUS[0]}\""),
            ProgramBeside(QStringLiteral("veltra8-cli"))}
            + arguments);
    shell.waitForFinished(30000);
    CliResult r;
    r.code = shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1;
    r.err = QString::fromLocal8Bit(shell.readAllStandardError());
    return r;
}

// A running veltra8-sim with its link in `folder`; stopped with SIGTERM.
class SimulatorProcess {
public:
    SimulatorProcess(const QString& folder, const QStringList& arguments)
    {
        process_.start(SimulatorProgram(), QStringList{QStringLiteral("--ports-dir"), folder} + arguments);
        while (process_.waitForReadyRead(5000)) {
            while (process_.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
                if (line.startsWith(QLatin1String("link: ")))
                    link_ = line.mid(6);
                if (line.startsWith(QLatin1String("slave: ")))
                    return;
            }
        }
    }
    ~SimulatorProcess()
    {
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
    }
    QString Link() const { return link_; }

private:
    QProcess process_;
    QString link_;
};
