#pragma once
// One command's conversation with the logger: the port opened exclusively
// with the windows' line settings and RTS raised, the received-characters
// notifications of the port on this thread's event loop, live frames
// collected by the main window's accumulator rule, a time-out, Ctrl-C and
// SIGTERM, and the end: the port closed with RTS dropped, whatever ended the
// command. Every failure inside a handler ends the command through Finish,
// so no exception crosses the event loop.
#include "logger/live_frame.h"
#include "serial/comport.h"

#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class SignalWatcher;

class LoggerSession : public QObject {
    Q_OBJECT
public:
    LoggerSession(const QString& portName, SignalWatcher& stops);
    ~LoggerSession() override;

    // Opens the port. Raises CliFailure (Exit::Port) with what to do.
    void Open();
    // Runs the event loop until Finish; returns the exit code.
    int Exec();
    // Ends the command; the first call counts. `message` goes to standard
    // error. Before the port is closed, OnFinishing sees the code.
    void Finish(int code, const QString& message = {});
    bool Finished() const { return finished_; }

    // Runs `step`, ending the command on any failure it raises.
    void Guard(const std::function<void()>& step);

    // Takes a notification's characters as live-frame text: true, with
    // `frame` set, when they complete a readable frame; NextFrame gives the
    // frames that came in the same read after it. What is no frame is
    // dropped and counted.
    bool ReadFrame(int count, LiveFrame& frame);
    bool NextFrame(LiveFrame& frame);
    void ClearFrame() { frame_.Clear(); }
    int SkippedFrames() const { return skipped_; }

    // Ends the command with Exit::NoAnswer and `message` unless restarted
    // within `seconds`.
    void ArmTimeout(double seconds, const QString& message);
    void RestartTimeout();
    void StopTimeout() { timeout_.stop(); }

    TComPort& Port() { return port_; }
    const QString& PortName() const { return name_; }

    // The handlers the command sets: received characters (Count, as the
    // port reports it), the stop signals (by default Exit::Signalled +
    // signal), and the last look before the port closes.
    std::function<void(int count)> OnChars;
    std::function<void(int signal)> OnStop;
    std::function<void(int code)> OnFinishing;

    // "<port>: no live frame within <seconds> s; ..." for a silent logger.
    QString NoFrameText(double seconds) const;

    // The one-line text of a port failure: busy, permission (with the
    // dialout hint), missing device, vanished device.
    static QString PortFailureText(const QString& port, const EComPort& e, bool opening);

private:
    void close();

    QString name_;
    TComPort port_;
    QEventLoop loop_;
    QTimer timeout_;
    QString timeoutMessage_;
    FrameReader frame_;
    int skipped_ = 0;
    bool finished_ = false;
    int code_ = 0;
};
