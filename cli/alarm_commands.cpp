#include "cli/alarm_commands.h"

#include "cli/exit_status.h"

#include <QProcess>

AlarmCommands::~AlarmCommands()
{
    for (QProcess* process : running_) {
        process->disconnect();
        process->terminate();
    }
    for (QProcess* process : running_) {
        if (!process->waitForFinished(1000))
            process->kill();
        delete process;
    }
}

void AlarmCommands::Run(bool tripped, int channel, const QByteArray& side, const QByteArray& value, const QByteArray& time)
{
    const QString event = QString::fromLatin1(tripped ? "alarm" : "clear");
    if (int(running_.size()) >= MaxRunning) {
        PrintError(tr("--on-alarm: %1 commands still running; not run for the %2 of CH%3").arg(MaxRunning).arg(event).arg(channel));
        return;
    }
    auto* process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELTRA8_EVENT"), event);
    env.insert(QStringLiteral("VELTRA8_CHANNEL"), QString::number(channel));
    env.insert(QStringLiteral("VELTRA8_SIDE"), QString::fromLatin1(side));
    env.insert(QStringLiteral("VELTRA8_VALUE"), QString::fromLatin1(value));
    env.insert(QStringLiteral("VELTRA8_TIME"), QString::fromLatin1(time));
    process->setProcessEnvironment(env);
    // Its output is the user's, as a shell's would be; nothing of it goes
    // into the records.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardInputFile(QProcess::nullDevice());
    QProcess* p = process;
    const auto done = [this, p] {
        running_.remove(p);
        // Deleted once the signal that called this has returned.
        p->deleteLater();
    };
    QObject::connect(p, &QProcess::finished, done);
    QObject::connect(p, &QProcess::errorOccurred, [this, p, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        PrintError(tr("--on-alarm: cannot run /bin/sh: %1").arg(p->errorString()));
        done();
    });
    running_.push_back(process);
    p->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command_});
}
