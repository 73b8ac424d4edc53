#include "platform/application.h"

#include "platform/errors.h"

#include <cstdio>

namespace Application {

namespace {
std::function<void(const QString&)>& sink()
{
    static std::function<void(const QString&)> s;
    return s;
}

std::function<void(const QString&)>& display()
{
    static std::function<void(const QString&)> d;
    return d;
}

void showText(const QString& text)
{
    if (sink())
        sink()(text);
    else if (display())
        display()(text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
}  // namespace

QString Title()
{
    return QStringLiteral("TEMPVELTRA8C");
}

QString ExceptionText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > 0x2E)
        return message + QLatin1Char('.');
    return message;
}

void ShowException(const std::exception& e)
{
    try {
        const auto* own = dynamic_cast<const Exception*>(&e);
        showText(ExceptionText(own ? own->Message() : QString::fromUtf8(e.what())));
    } catch (...) {
        // Reporting must never become a second failure.
    }
}

void HandleException(std::exception_ptr e)
{
    try {
        if (e)
            std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        ShowException(ex);
    } catch (...) {
        ShowException(Exception(QStringLiteral("Unknown failure")));
    }
}

void SetExceptionDisplay(std::function<void(const QString&)> d)
{
    display() = std::move(d);
}

void SetExceptionSink(std::function<void(const QString&)> s)
{
    sink() = std::move(s);
}

}  // namespace Application
