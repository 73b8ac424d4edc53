#include "tests/support/wait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        // A short real wait: processEvents alone returns at once when the
        // queue is empty and would spin a whole core.
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

bool WaitIdly(const std::function<bool()>& condition, int timeoutMs, int stepMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer look;
    look.setInterval(stepMs);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    look.start();
    loop.exec();
    return condition();
}
