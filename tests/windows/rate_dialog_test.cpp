// The sampling rate window: what it writes to the logger, and when not.
#include "serial/comport.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "tests/support/pty.h"
#include "tests/support/program.h"
#include "toolkit/radio_group.h"
#include "widgets/abrockerswitch.h"
#include "windows/form7.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

namespace {

class RateDialog : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        Form1->ComPort1->SetPort(pty.SlavePath());
    }

    void connectSwitch()
    {
        QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
        ASSERT_TRUE(Form1->ComPort1->Connected()) << errors.join('\n').toStdString();
        ASSERT_TRUE(Form1->AbRockerSwitch1->Checked());
    }

    // Opens the dialog modally, lets `inside` work on it while it is open,
    // then closes it; returns the dialog's result.
    int runDialog(const std::function<void(TForm7*)>& inside)
    {
        AnswerNextModal([inside](QWidget* w) {
            auto* dialog = qobject_cast<TForm7*>(w);
            ASSERT_NE(dialog, nullptr);
            inside(dialog);
            if (dialog->isVisible())
                dialog->Close();
        });
        return Form7->ShowModal();
    }

    static void pick(TForm7* dialog, int item)
    {
        QTest::mouseClick(dialog->RadioGroup1->Button(item), Qt::LeftButton);
    }

    PtyPair pty;
};

TEST_F(RateDialog, EachPickWritesItsCommandOnce_RepickingSendsNothing)
{
    connectSwitch();
    runDialog([](TForm7* d) {
        for (int item : {1, 2, 2, 0, 3})
            pick(d, item);
        EXPECT_TRUE(d->isVisible());
    });
    // "15 MINUTOS", "30 MINUTOS" (the repeat is no change), "1  MINUTO", "60 MINUTOS".
    EXPECT_EQ(pty.ReadAll(), QByteArray("5617"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RateDialog, SwitchOff_NothingWrittenEvenWithThePortOpen)
{
    // The switch, not the port, is the program's test for being connected.
    Form1->ComPort1->OpenPort();
    runDialog([](TForm7* d) { pick(d, 1); });
    EXPECT_TRUE(pty.ReadAll().isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(RateDialog, EveryOpeningStartsWithNoSelection)
{
    connectSwitch();
    runDialog([](TForm7* d) { pick(d, 3); });
    pty.ReadAll();
    runDialog([](TForm7* d) {
        EXPECT_EQ(d->RadioGroup1->ItemIndex(), -1);
        EXPECT_FALSE(d->RadioGroup1->Button(3)->isChecked());
        pick(d, 3);  // with nothing selected, the same item sends again
    });
    EXPECT_EQ(pty.ReadAll(), QByteArray("7"));
}

TEST_F(RateDialog, EnterOnAnItemPressesOk)
{
    AnswerNextModal([](QWidget* w) {
        auto* d = qobject_cast<TForm7*>(w);
        CloseLaterIfStillOpen(d);
        d->RadioGroup1->Button(2)->setFocus();
        QTest::keyClick(d->RadioGroup1->Button(2), Qt::Key_Return);
    });
    EXPECT_EQ(Form7->ShowModal(), mrOk);
}

}  // namespace
