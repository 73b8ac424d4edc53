#pragma once
// Waits for a serial device to (re)appear without looking now and again: an
// inotify watch on the folder that holds the device's name (/dev for
// /dev/ttyUSB0, the virtual-ports folder for a pty's link), or on the nearest
// folder above it that exists while that folder itself is missing (a
// /dev/serial/by-id path while no adapter is plugged in). Owned by the
// Station; runs on its thread through a QSocketNotifier.
#include <QObject>
#include <QString>

class QSocketNotifier;

class PortWatcher : public QObject {
    Q_OBJECT
public:
    explicit PortWatcher(QObject* parent = nullptr);
    ~PortWatcher() override;

    // Starts watching for `path`; false, with errno in `err`, when no watch
    // can be made.
    bool Watch(const QString& path, int* err = nullptr);
    void Stop();

signals:
    // Something changed in the watched folder that may be the device: a
    // name made, moved in, or its permissions or an opener's hold released.
    void MayHaveAppeared();

private:
    void rearm();

    QString path_;
    QString watched_;
    QString wanted_;  // the name in watched_ on the way to the device
    int fd_ = -1;
    int wd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};
