#include "station/service.h"

#include <systemd/sd-daemon.h>

#include <cstdio>

ServiceLink::ServiceLink(QObject* parent) : QObject(parent)
{
    journal_ = !qEnvironmentVariableIsEmpty("JOURNAL_STREAM");
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0 && usec > 0) {
        watchdog_.setInterval(std::max<int>(1, int(usec / 2000)));
        connect(&watchdog_, &QTimer::timeout, this, [] { sd_notify(0, "WATCHDOG=1"); });
        watchdog_.start();
    }
}

void ServiceLink::Log(int priority, const QString& text) const
{
    const QByteArray line = (journal_ ? QByteArray("<") + QByteArray::number(priority) + "> " : QByteArray()) + text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

void ServiceLink::Ready(const QString& status)
{
    sd_notify(0, ("READY=1\nSTATUS=" + status.toUtf8()).constData());
}

void ServiceLink::Status(const QString& status)
{
    sd_notify(0, ("STATUS=" + status.toUtf8()).constData());
}

void ServiceLink::Reloading()
{
    sd_notify(0, "RELOADING=1");
}

void ServiceLink::Stopping()
{
    sd_notify(0, "STOPPING=1");
}
