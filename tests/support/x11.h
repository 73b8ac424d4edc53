#pragma once
// A real X server for the few checks that need what a desktop does with the
// windows (the titles a window manager reads, when the platform activates a
// window, where a window opens), which the offscreen platform of the other
// tests cannot show. The server (Xvfb, optionally with a window manager) is
// the test's own; the checks run in a second copy of the test program on it.
#include <QString>
#include <QWidget>

#include <memory>
#include <ostream>
#include <optional>

class QProcess;

class XServer {
public:
    enum class WindowManager { None, Openbox };
    friend void PrintTo(WindowManager manager, std::ostream* os)
    {
        *os << (manager == WindowManager::None ? "no window manager" : "openbox");
    }

    explicit XServer(WindowManager manager);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Empty once the server (and its window manager) is up; otherwise why
    // it is not.
    QString Failure() const { return failure_; }

    // Runs `test` ("Suite.DISABLED_Name") of this test program on this
    // server with the X11 platform. Returns true when it passed; its output
    // goes to *output.
    bool RunTest(const QString& test, QString* output) const;

private:
    void startServer();
    void startWindowManager();

    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> manager_;
    QString display_;
    QString failure_;
};

// Inside a test run by RunTest: the title of `window` as a window manager
// reads it (_NET_WM_NAME), or nothing when the window does not set one.
std::optional<QString> WindowManagerTitle(const QWidget* window);
