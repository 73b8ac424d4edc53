#include "platform/application.h"

#include "platform/errors.h"

#include <QApplication>
#include <QMessageBox>

namespace Application {

namespace {
std::function<void(const QString&)>& sink()
{
    static std::function<void(const QString&)> s;
    return s;
}

void showText(const QString& text)
{
    if (sink()) {
        sink()(text);
        return;
    }
    if (!qApp)
        return;
    QMessageBox box(QMessageBox::Critical, Title(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
}  // namespace

QString Title()
{
    return QStringLiteral("TEMPVELTRA8C");
}

void NameTheProgram()
{
    QApplication::setApplicationName(Title());
    // Empty but not null: appended to a caption it adds nothing, and, unlike
    // no display name at all, it keeps the platform from writing the name
    // above into the title bar of a window without a caption.
    QApplication::setApplicationDisplayName(QStringLiteral(""));
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

void ShowHint(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok, parent);
    box.exec();
}

void SetExceptionSink(std::function<void(const QString&)> s)
{
    sink() = std::move(s);
}

}  // namespace Application
