#include "tests/support/x11.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

#include <functional>

namespace {

constexpr int StartMs = 15000;
constexpr int TestMs = 180000;

// Ends a process this helper started, politely first.
void stop(std::unique_ptr<QProcess>& process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(5000)) {
        process->kill();
        process->waitForFinished(5000);
    }
}

// Reads lines of `process` until one satisfies `wanted` or the time is up.
std::optional<QString> lineWhere(QProcess& process, const std::function<bool(const QString&)>& wanted)
{
    QDeadlineTimer deadline(StartMs);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
            if (wanted(line))
                return line;
        }
        if (process.state() == QProcess::NotRunning ||
            !process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
    }
    return std::nullopt;
}

QProcessEnvironment environmentOn(const QString& display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    return env;
}

}  // namespace

XServer::XServer(WindowManager manager)
{
    startServer();
    if (failure_.isEmpty() && manager == WindowManager::Openbox)
        startWindowManager();
}

XServer::~XServer()
{
    stop(manager_);
    stop(server_);
}

void XServer::startServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        failure_ = QStringLiteral("Xvfb is not installed (scripts/install-deps installs it)");
        return;
    }
    server_ = std::make_unique<QProcess>();
    server_->setProcessChannelMode(QProcess::SeparateChannels);
    server_->setStandardErrorFile(QProcess::nullDevice());
    // The server picks a free display itself and writes its number once it
    // accepts clients.
    server_->start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")});
    std::optional<QString> number = lineWhere(*server_, [](const QString& line) { return !line.isEmpty(); });
    if (!number) {
        failure_ = QStringLiteral("Xvfb did not start");
        return;
    }
    display_ = QLatin1Char(':') + *number;
}

void XServer::startWindowManager()
{
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        failure_ = QStringLiteral("openbox is not installed (scripts/install-deps installs it)");
        return;
    }
    manager_ = std::make_unique<QProcess>();
    manager_->setProcessEnvironment(environmentOn(display_));
    manager_->setStandardErrorFile(QProcess::nullDevice());
    // The manager runs its start-up command once it manages the screen;
    // that command says so on the manager's output.
    const QString ready = QStringLiteral("veltra8-window-manager-ready");
    manager_->start(openbox, {QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("echo ") + ready});
    if (!lineWhere(*manager_, [&](const QString& line) { return line == ready; }))
        failure_ = QStringLiteral("openbox did not start");
}

bool XServer::RunTest(const QString& test, QString* output) const
{
    QProcessEnvironment env = environmentOn(display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The copy checks the desktop, not memory: its leak report would only
    // list what the X libraries keep.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("detect_leaks=0"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + test, QStringLiteral("--gtest_also_run_disabled_tests")});
    const bool finished = child.waitForFinished(TestMs);
    if (!finished) {
        child.kill();
        child.waitForFinished(5000);
    }
    *output = QString::fromLocal8Bit(child.readAll());
    if (!finished)
        *output += QStringLiteral("\n(stopped after %1 s)").arg(TestMs / 1000);
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
           output->contains(QLatin1String("[  PASSED  ] 1 test"));
}

std::optional<QString> WindowManagerTitle(const QWidget* window)
{
    QProcess xprop;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    xprop.setProcessEnvironment(env);
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0)
        return std::nullopt;
    // `_NET_WM_NAME = "text"`, `_NET_WM_NAME = ` when empty, or
    // `_NET_WM_NAME:  not found.`
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QString prefix = QStringLiteral("_NET_WM_NAME =");
    if (!line.startsWith(prefix))
        return std::nullopt;
    QString value = line.mid(prefix.size()).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2).replace(QLatin1String("\\\""), QLatin1String("\""));
    return value;
}
