#include "cli/logger_session.h"

#include "cli/exit_status.h"
#include "platform/signal_watcher.h"
#include "logger/line_settings.h"
#include "platform/errors.h"

#include <QCoreApplication>


namespace {

class Session {
    Q_DECLARE_TR_FUNCTIONS(Session)
public:
    static QString busy(const QString& p) { return tr("%1: port busy: another program holds it; close that program and try again").arg(p); }
    static QString denied(const QString& p) { return tr("%1: permission denied (add yourself to the dialout group, then log in again)").arg(p); }
    static QString missing(const QString& p) { return tr("%1: no such port; check the cable, or see 'veltra8-cli ports'").arg(p); }
    static QString notSerial(const QString& p) { return tr("%1: not a serial port; name the logger's port with -p").arg(p); }
    static QString vanished(const QString& p) { return tr("%1: the device vanished; reconnect it and run the command again").arg(p); }
    static QString cannotOpen(const QString& p, const QString& why) { return tr("%1: cannot open the port: %2").arg(p, why); }
    static QString failed(const QString& p, const QString& why) { return tr("%1: %2; check the connection and run the command again").arg(p, why); }
    // What the port was doing, in this program's words: the component's
    // own texts are the windows'.
    static QString operation(int errorNumber)
    {
        switch (errorNumber) {
        case ComError::WriteFailed:
            return tr("cannot send to the logger");
        case ComError::ReadFailed:
            return tr("cannot read from the port");
        case ComError::SetupFailed:
        case ComError::SetStateFailed:
        case ComError::TimeoutsFailed:
            return tr("cannot set up the port");
        default:
            return tr("the port failed");
        }
    }
    static QString noFrame(const QString& p, double s)
    {
        return tr("%1: no live frame within %2 s; check the cable and that the logger is on").arg(p, QString::number(s));
    }
    static QString skipped(int n) { return tr("%n unreadable live frame(s) skipped", nullptr, n); }
    static QString internal(const QString& why) { return tr("internal error: %1").arg(why); }
};

bool isVanished(int err)
{
    return KindOfSystemError(err) == SystemErrorKind::Gone;
}

}  // namespace

LoggerSession::LoggerSession(const QString& portName, SignalWatcher& stops) : name_(portName)
{
    SetLoggerLineSettings(port_);
    port_.SetPort(portName);
    port_.OnRxChar = [this](QObject*, int count) {
        Guard([&] {
            if (OnChars)
                OnChars(count);
        });
    };
    // A vanished device is reported once, as a device I/O error; whatever
    // arrived with the hang-up was delivered before it.
    port_.OnError = [this](QObject*, TComErrors errors) {
        if (errors.Contains(ceIO))
            Finish(Exit::Port, Session::vanished(name_));
    };
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { Finish(Exit::NoAnswer, timeoutMessage_); });
    connect(&stops, &SignalWatcher::Stopped, this, [this](int signal) {
        if (OnStop)
            Guard([&] { OnStop(signal); });
        else
            Finish(Exit::Signalled + signal);
    });
}

LoggerSession::~LoggerSession()
{
    close();
}

QString LoggerSession::PortFailureText(const QString& port, const EComPort& e, bool opening)
{
    const int err = e.SystemError;
    if (!opening || isVanished(err)) {
        if (isVanished(err))
            return Session::vanished(port);
        const QString what = Session::operation(e.ErrorNumber);
        return Session::failed(port, err > 0 ? what + QStringLiteral(": ") + SystemErrorText(err) : what);
    }
    switch (KindOfSystemError(err)) {
    case SystemErrorKind::AccessDenied:
        return Session::denied(port);
    case SystemErrorKind::Busy:
        return Session::busy(port);
    case SystemErrorKind::NotFound:
    case SystemErrorKind::NotAFolder:
        return Session::missing(port);
    case SystemErrorKind::NotATerminal:
        return Session::notSerial(port);
    default:
        return Session::cannotOpen(port, SystemErrorText(err));
    }
}

QString LoggerSession::NoFrameText(double seconds) const
{
    return Session::noFrame(name_, seconds);
}

void LoggerSession::Open()
{
    // RTS is raised by the line settings while the port is open, as the
    // windows do it: set before opening, dropped before closing.
    try {
        OpenLoggerLine(port_);
    } catch (const EComPort& e) {
        throw CliFailure(Exit::Port, PortFailureText(name_, e, true));
    }
}

int LoggerSession::Exec()
{
    if (!finished_)
        loop_.exec();
    return code_;
}

void LoggerSession::Guard(const std::function<void()>& step)
{
    try {
        step();
    } catch (const CliFailure& e) {
        Finish(e.Code, e.Message);
    } catch (const EComPort& e) {
        Finish(Exit::Port, PortFailureText(name_, e, false));
    } catch (const std::exception& e) {
        Finish(Exit::Internal, Session::internal(QString::fromLocal8Bit(e.what())));
    }
}

void LoggerSession::Finish(int code, const QString& message)
{
    if (finished_)
        return;
    finished_ = true;
    code_ = code;
    timeout_.stop();
    if (OnFinishing) {
        try {
            OnFinishing(code);
        } catch (const CliFailure& e) {
            PrintError(e.Message);
        }
    }
    if (!message.isEmpty())
        PrintError(message);
    if (skipped_ > 0)
        PrintError(Session::skipped(skipped_));
    close();
    loop_.exit(code);
}

void LoggerSession::close()
{
    CloseLoggerLine(port_);
}

bool LoggerSession::ReadFrame(int count, LiveFrame& frame)
{
    QByteArray chunk;
    port_.ReceiveText(chunk, count);
    frame_.Add(chunk);
    return NextFrame(frame);
}

bool LoggerSession::NextFrame(LiveFrame& frame)
{
    std::optional<LiveFrame> parsed;
    while (frame_.Next(parsed)) {
        if (parsed) {
            frame = *parsed;
            return true;
        }
        ++skipped_;
    }
    return false;
}

void LoggerSession::ArmTimeout(double seconds, const QString& message)
{
    timeoutMessage_ = message;
    timeout_.setInterval(int(seconds * 1000 + 0.5));
    timeout_.start();
}

void LoggerSession::RestartTimeout()
{
    timeout_.start();
}
