// The activation rule of the program's windows on a platform that activates
// a new window only after the event loop has turned (as the offscreen one and
// X11 do): the fallback that runs the set-up of a window no one activates
// must stand aside when the platform's activation comes after all.
#include "toolkit/form.h"
#include "tests/support/modal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

namespace {

class CountingForm : public TForm {
public:
    CountingForm() { SetOuterSize(200, 120); }

protected:
    void FormActivate() override { ++setUps; }

public:
    int setUps = 0;
};

// Runs the loop until `form` is the active window and a while longer, so
// that a late second activation would have arrived.
void settleOn(QWidget* form)
{
    EXPECT_TRUE(WaitUntil([form] { return QApplication::activeWindow() == form; }, 3000));
    WaitUntil([] { return false; }, 200);
}

TEST(OneActivationPerOpening, NonModalWindowOpenedFromAnother_SetUpRunsOnce)
{
    CountingForm main;
    CountingForm other;
    main.Show();
    settleOn(&main);
    ASSERT_EQ(main.setUps, 1);
    for (int opening = 1; opening <= 3; ++opening) {
        other.Show();
        settleOn(&other);
        EXPECT_EQ(other.setUps, 2 * opening - 1) << "opening " << opening;
        // The focus going back and forth still counts each return.
        main.activateWindow();
        settleOn(&main);
        other.activateWindow();
        settleOn(&other);
        EXPECT_EQ(other.setUps, 2 * opening) << "return in opening " << opening;
        other.Close();
        // Offscreen, no one hands the focus back; a desktop would.
        main.activateWindow();
        settleOn(&main);
    }
    EXPECT_EQ(other.ActivationCount(), other.setUps);
    // Once at the start, then at each return from the other window.
    EXPECT_EQ(main.setUps, 1 + 2 * 3);
}

TEST(OneActivationPerOpening, ModalWindow_SetUpRunsOnce)
{
    CountingForm main;
    CountingForm dialog;
    main.Show();
    settleOn(&main);
    for (int opening = 1; opening <= 2; ++opening) {
        QTimer::singleShot(0, &dialog, [&] {
            settleOn(&dialog);
            dialog.SetModalResult(mrOk);
        });
        EXPECT_EQ(dialog.ShowModal(), mrOk);
        EXPECT_EQ(dialog.setUps, opening);
        main.activateWindow();
        settleOn(&main);
    }
    EXPECT_EQ(main.setUps, 1);
}

}  // namespace
