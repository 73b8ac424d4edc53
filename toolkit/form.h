#pragma once
// The window class every window of the program derives from. It gives Qt
// windows the activation rule the program is built on:
//  - a window is activated (FormActivate runs) once per showing, when it
//    first becomes active, or when the event loop turns if the platform has
//    not activated it by then (the platform's activation coming later is
//    then part of the same showing);
//  - a non-modal window, and the main window, is activated again each time it
//    takes the focus back from another non-modal window of the program;
//  - it is not activated again when a modal window or a message box opened
//    from it closes, nor when the focus comes back from another program.
// Closing a window only hides it (FormClose runs first); the window lives on.
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <optional>

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // Shows the window without blocking.
    void Show();
    // Shows the window modally and returns when it closes, with its result.
    int ShowModal();
    // Runs FormClose, hides the window and ends a modal showing.
    void Close();
    // Setting a result other than mrNone closes a modal window.
    void SetModalResult(int result);
    bool IsShowingModal() const { return loop_ != nullptr; }
    bool WasShownModal() const { return shownModal_; }

    // Sizes the window by its outer (framed) size, as the window definitions
    // give it; the client area is what remains inside a typical frame.
    void SetOuterSize(int width, int height);
    QSize OuterSize() const;
    // Places the window (outer frame) at the centre of the desktop.
    void CenterOnDesktop();
    // Outer frame position, as the program moves its windows by it.
    int Left() const;
    int Top() const;
    void SetLeft(int x);
    void SetTop(int y);

    // Frame sizes assumed for windows not yet mapped by a window manager.
    static constexpr int FrameSide = 4;
    static constexpr int FrameTop = 27;

    // How many times FormActivate has run; for tests and diagnostics.
    int ActivationCount() const { return activations_; }

protected:
    virtual void FormActivate() {}
    virtual void FormClose() {}

    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void runActivate();
    void activateIfThePlatformDoesNot();

    QEventLoop* loop_ = nullptr;
    int modalResult_ = mrNone;
    bool activatePending_ = false;
    bool shownModal_ = false;
    bool closing_ = false;
    int activations_ = 0;
    // The program's activation count when the fallback ran the set-up of the
    // current opening, until the platform's own activation has come.
    std::optional<quint64> servedByFallbackAt_;
};
