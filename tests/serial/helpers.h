#pragma once
// Shared pieces of the serial tests: the main window's port settings, a log
// of the notifications a port fires, and a private virtual-ports folder.
#include "serial/comport.h"
#include "serial/ports.h"
#include "tests/support/printers.h"
#include "tests/support/wait.h"
#include "tests/support/pty.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// The settings the main window stores for its port.
inline void ConfigureAsMainWindowPort(TCustomComPort& port, const QString& path)
{
    port.SetPort(path);
    port.SetBaudRate(br115200);
    port.SetDiscardNull(true);
    port.Timeouts()->SetReadInterval(1);
}

// Records every notification as a short text, in firing order.
// Detaches itself when destroyed, as the port may outlive it and fire its
// close notifications from its destructor.
struct NotificationLog {
    QStringList entries;
    TCustomComPort* attached = nullptr;

    NotificationLog() = default;
    NotificationLog(const NotificationLog&) = delete;
    NotificationLog& operator=(const NotificationLog&) = delete;
    ~NotificationLog()
    {
        if (!attached)
            return;
        attached->OnBeforeOpen = attached->OnAfterOpen = attached->OnBeforeClose = attached->OnAfterClose = nullptr;
        attached->OnCTSChange = attached->OnDSRChange = attached->OnRLSDChange = nullptr;
    }

    void Attach(TCustomComPort& port)
    {
        attached = &port;
        auto note = [this](const char* name) { return [this, name](QObject*) { entries << QString::fromLatin1(name); }; };
        auto line = [this](const char* name) {
            return [this, name](QObject*, bool on) { entries << QStringLiteral("%1=%2").arg(QLatin1String(name), on ? QStringLiteral("on") : QStringLiteral("off")); };
        };
        port.OnBeforeOpen = note("BeforeOpen");
        port.OnAfterOpen = note("AfterOpen");
        port.OnBeforeClose = note("BeforeClose");
        port.OnAfterClose = note("AfterClose");
        port.OnCTSChange = line("CTS");
        port.OnDSRChange = line("DSR");
        port.OnRLSDChange = line("RLSD");
    }
};

inline const QStringList kOpenSequence{QStringLiteral("BeforeOpen"), QStringLiteral("AfterOpen"), QStringLiteral("CTS=off"), QStringLiteral("DSR=off"),
                                       QStringLiteral("RLSD=off")};
inline const QStringList kCloseSequence{QStringLiteral("CTS=off"), QStringLiteral("DSR=off"), QStringLiteral("RLSD=off"), QStringLiteral("BeforeClose"),
                                        QStringLiteral("AfterClose")};

// A private virtual-ports folder for one test; the folder in use before
// comes back afterwards.
struct PortsFolder {
    PortsFolder() { qputenv("VELTRA8_PORTS_DIR", dir.path().toLocal8Bit()); }
    ~PortsFolder()
    {
        if (before.isNull())
            qunsetenv("VELTRA8_PORTS_DIR");
        else
            qputenv("VELTRA8_PORTS_DIR", before);
    }
    PortsFolder(const PortsFolder&) = delete;
    PortsFolder& operator=(const PortsFolder&) = delete;

    QString Link(const QString& name, const QString& target)
    {
        QString path = dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(QFile::link(target, path));
        return path;
    }
    // The ports ListSerialPorts gives from this folder, in its order; the
    // others must be devices.
    QStringList Listed(QStringList list = {})
    {
        ListSerialPorts(list);
        QStringList ours;
        for (const QString& p : list) {
            if (p.startsWith(dir.path()))
                ours << p;
            else
                EXPECT_TRUE(p.startsWith(QStringLiteral("/dev/"))) << p.toStdString();
        }
        return ours;
    }

    const QByteArray before = qgetenv("VELTRA8_PORTS_DIR");
    QTemporaryDir dir;
};

// Runs `f` and returns the EComPort it raised (ErrorNumber 0 if none).
template <typename F>
EComPort CaughtComError(F&& f)
{
    try {
        f();
    } catch (const EComPort& e) {
        return e;
    }
    EComPort none(0);
    none.ErrorNumber = 0;
    return none;
}
