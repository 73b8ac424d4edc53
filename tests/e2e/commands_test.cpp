// The clock-set and rate commands against the logger simulator: what the
// program writes shows up in the logger's next live frames.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "toolkit/radio_group.h"
#include "serial/comport.h"
#include "sim/simulator.h"
#include "tests/support/program.h"
#include "tests/support/modal.h"
#include "tests/support/png.h"
#include "tests/support/printers.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abvalueind.h"
#include "windows/form7.h"
#include "windows/form8.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

class LoggerCommands : public ProgramAgainstSimulator {
protected:
    void SetUp() override
    {
        ProgramAgainstSimulator::SetUp();
        SimOptions o = UnpacedSimulator(dir);
        o.samples = 40;
        o.rateCode = 1;
        o.start = LoggerStamp{2024, 5, 17, 8, 15, 30};
        ConnectTo(o);
    }
};

TEST_F(LoggerCommands, RateChangeShowsInTheNextFrames)
{
    ASSERT_TRUE(WaitFrames(1));
    EXPECT_EQ(Form1->RadioGroup1->ItemIndex(), 0);
    AnswerNextModal([](QWidget* w) {
        auto* rate = static_cast<TForm7*>(w);
        EXPECT_EQ(rate->RadioGroup1->ItemIndex(), -1);
        QTest::mouseClick(rate->RadioGroup1->Button(1), Qt::LeftButton);  // "15 MINUTOS"
        rate->Close();
    });
    Form1->AbColBitBtn3Click();
    ASSERT_TRUE(WaitFrames(2));
    EXPECT_EQ(Form1->RadioGroup1->ItemIndex(), 1);
    std::vector<SimReceived> rx = sim->Record().received;
    ASSERT_EQ(rx.size(), 1u);
    EXPECT_EQ(rx[0].byte, '5');
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(LoggerCommands, ClockSetShowsInTheNextFramesAndEmptiesTheMemory)
{
    ASSERT_TRUE(WaitFrames(1));
    EXPECT_NE(Form1->Edit1->text(), "0");
    FixedClock pc(QDateTime(QDate(2031, 12, 1), QTime(9, 3, 7)));
    SetPcClock(&pc);
    Form1->AbColBitBtn2Click();
    QTest::mouseClick(Form8->BitBtn1, Qt::LeftButton);  // "PONER EN HORA"
    EXPECT_TRUE(Flags().ClockSetRequest);
    ASSERT_TRUE(WaitUntil([] { return !Flags().ClockSetRequest; }, 5000));
    ASSERT_TRUE(WaitFrames(2));
    EXPECT_EQ(Form1->Edit4->text(), "01/12/2031");
    EXPECT_TRUE(Form1->Edit3->text().startsWith("09:03")) << Form1->Edit3->text().toStdString();
    EXPECT_EQ(Form1->Edit1->text(), "0");
    QByteArray wire;
    for (const SimReceived& r : sim->Record().received)
        wire += r.byte;
    EXPECT_EQ(wire, "3090307011231");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(LoggerCommands, MainWindowPngWhileConnected)
{
    ASSERT_TRUE(WaitFrames(2));
    Form1->show();
    QString path = SaveWindowPng(Form1, QStringLiteral("main_window_connected"));
    EXPECT_FALSE(path.isEmpty());
    EXPECT_FALSE(Form1->AbValueInd[0]->Value() == 0.0f && Form1->AbValueInd[1]->Value() == 0.0f);
}

}  // namespace
