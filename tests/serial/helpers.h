#pragma once
// Shared pieces of the serial tests: the main window's port settings, and a
// log of the notifications a port fires.
#include "serial/comport.h"
#include "tests/support/printers.h"
#include "tests/support/wait.h"
#include "tests/support/pty.h"

#include <QStringList>

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
