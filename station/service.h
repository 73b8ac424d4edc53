#pragma once
// The station as a systemd service: messages on standard error with the
// journal's priority prefix when the journal listens (JOURNAL_STREAM), plain
// otherwise; READY=1, STATUS= and STOPPING=1 through sd_notify; WATCHDOG=1
// from the event loop at half the interval systemd asks for, the only timer
// of an idle station and only when the watchdog is on. Owned by main().
#include <QObject>
#include <QString>
#include <QTimer>

class ServiceLink : public QObject {
    Q_OBJECT
public:
    explicit ServiceLink(QObject* parent = nullptr);

    // One line on standard error; `priority` is syslog's (3 error, 4
    // warning, 6 info).
    void Log(int priority, const QString& text) const;
    void Ready(const QString& status);
    void Status(const QString& status);
    void Reloading();
    void Stopping();

private:
    bool journal_ = false;
    QTimer watchdog_;
};
