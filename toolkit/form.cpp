#include "toolkit/form.h"

#include "platform/application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHideEvent>
#include <QScreen>
#include <QTimer>

namespace {

// Watches every window activation of the program and remembers which window
// was active before the one that is becoming active now. Activations from
// "no window" (the focus coming back from another program) are not counted.
class ActivationTracker : public QObject {
public:
    static ActivationTracker& instance()
    {
        static ActivationTracker* t = [] {
            auto* tracker = new ActivationTracker;
            qApp->installEventFilter(tracker);
            return tracker;
        }();
        return *t;
    }

    QPointer<QWidget> current;
    QPointer<QWidget> from;  // the window active before the latest activation
    // Counts every window activation of the program, so that a window can
    // tell whether another one was activated since a given moment.
    quint64 activations = 0;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate) {
            auto* w = qobject_cast<QWidget*>(obj);
            if (w && w->isWindow()) {
                from = current;
                current = w;
                ++activations;
            }
        }
        return false;
    }
};

}  // namespace

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    ActivationTracker::instance();
    setAttribute(Qt::WA_DeleteOnClose, false);
}

TForm::~TForm()
{
    if (loop_)
        loop_->exit(mrCancel);
}

void TForm::Show()
{
    if (!isVisible()) {
        activatePending_ = true;
        shownModal_ = false;
    }
    setWindowModality(Qt::NonModal);
    show();
    raise();
    activateWindow();
    activateIfThePlatformDoesNot();
}

int TForm::ShowModal()
{
    if (loop_)
        return mrNone;
    modalResult_ = mrNone;
    activatePending_ = true;
    shownModal_ = true;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    activateIfThePlatformDoesNot();
    QEventLoop loop;
    loop_ = &loop;
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
    setWindowModality(Qt::NonModal);
    return modalResult_ == mrNone ? mrCancel : modalResult_;
}

void TForm::Close()
{
    close();
}

void TForm::SetModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && loop_)
        Close();
}

void TForm::SetOuterSize(int width, int height)
{
    resize(width - 2 * FrameSide, height - FrameTop - FrameSide);
}

QSize TForm::OuterSize() const
{
    QRect f = frameGeometry();
    if (f.size() == size())
        return QSize(width() + 2 * FrameSide, height() + FrameTop + FrameSide);
    return f.size();
}

void TForm::CenterOnDesktop()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect avail = screen->availableGeometry();
    QSize outer = OuterSize();
    move(avail.x() + (avail.width() - outer.width()) / 2, avail.y() + (avail.height() - outer.height()) / 2);
}

int TForm::Left() const
{
    return frameGeometry().x();
}

int TForm::Top() const
{
    return frameGeometry().y();
}

void TForm::SetLeft(int x)
{
    move(x, Top());
}

void TForm::SetTop(int y)
{
    move(Left(), y);
}

bool TForm::event(QEvent* e)
{
    bool handled = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate) {
        const ActivationTracker& tracker = ActivationTracker::instance();
        QWidget* from = tracker.from;
        const bool lateForThisOpening = servedByFallbackAt_ && tracker.activations == *servedByFallbackAt_ + 1;
        servedByFallbackAt_.reset();
        if (activatePending_) {
            activatePending_ = false;
            runActivate();
        } else if (lateForThisOpening) {
            // The platform's own activation of an opening whose set-up the
            // fallback already ran: nothing else was activated in between,
            // so it is the same opening, not a return from another window.
        } else if (from && from != this) {
            auto* fromForm = qobject_cast<TForm*>(from);
            // Back from another of the program's non-modal windows; a modal
            // window or a message box closing does not count.
            if (fromForm && !fromForm->WasShownModal() && !IsShowingModal())
                runActivate();
        }
    }
    return handled;
}

void TForm::activateIfThePlatformDoesNot()
{
    // A window manager may refuse the focus (or there may be none), yet the
    // window's per-showing set-up must run: if no activation arrived by the
    // time the event loop turns, it runs now. Most platforms do activate the
    // window, only later (after mapping it); that activation then belongs to
    // this same opening and must not run the set-up a second time.
    QTimer::singleShot(0, this, [this] {
        if (activatePending_ && isVisible()) {
            activatePending_ = false;
            servedByFallbackAt_ = ActivationTracker::instance().activations;
            runActivate();
        }
    });
}

void TForm::runActivate()
{
    ++activations_;
    Application::Guard([this] { FormActivate(); });
}

void TForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
}

void TForm::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    // An activation after the window was hidden belongs to a later opening.
    if (!e->spontaneous())
        servedByFallbackAt_.reset();
}

void TForm::closeEvent(QCloseEvent* e)
{
    if (closing_) {
        e->accept();
        return;
    }
    closing_ = true;
    Application::Guard([this] { FormClose(); });
    closing_ = false;
    e->accept();
    hide();
    if (loop_)
        loop_->exit(modalResult_);
}
