// The main window against a scripted logger on a real pty pair: connecting,
// live frames, the activation rule and the failed-open fix.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/formats.h"
#include "toolkit/radio_group.h"
#include "serial/comport.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "tests/support/program.h"
#include "tests/support/pty.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"
#include "windows/form4.h"
#include "windows/form7.h"
#include "windows/form8.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

QByteArray frame(const char* channels = "01244" "01244" "01244" "01244" "01244" "01244" "01244" "01244",
    const char* memory = "000015", const char* battery = "180", char rate = '1',
    const char* clock = "0514070322" "09", char last = '\r')
{
    QByteArray f = QByteArray(clock) + battery + '0' + rate + channels + memory;
    f.append(last);
    return f;
}

QByteArray sameChannels(const char* field)
{
    QByteArray out;
    for (int i = 0; i < 8; ++i)
        out += field;
    return out;
}

// Port setup is skipped: the activation rule has tests of its own.
class MainWindow : public ProgramTest {
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
    }

    // Sends bytes as the logger would and waits until the window took them.
    void send(const QByteArray& bytes)
    {
        int before = Form1->FramesParsed() + Form1->FramesDropped();
        pty.Write(bytes);
        WaitUntil([&] { return Form1->FramesParsed() + Form1->FramesDropped() > before; }, 3000);
    }

    float channel(int k) const { return Form1->AbValueInd[static_cast<size_t>(k)]->Value(); }

    PtyPair pty;
};

TEST_F(MainWindow, FrameInTwoChunks_ParsedOnceAfterTheSecond)
{
    connectSwitch();
    QByteArray f = frame(sameChannels("02250"));
    pty.Write(f.left(40));
    WaitUntil([&] { return Form1->Edit2.size() == 40; }, 2000);
    EXPECT_EQ(Form1->FramesParsed(), 0);
    EXPECT_TRUE(Form1->AbLED1->Checked());
    send(f.mid(40));
    EXPECT_EQ(Form1->FramesParsed(), 1);
    EXPECT_FLOAT_EQ(channel(0), 26.2f);
    EXPECT_FALSE(Form1->AbLED1->Checked());
    EXPECT_TRUE(Form1->Edit2.isEmpty());
}

TEST_F(MainWindow, ChannelExtremesReachIndicatorsAndThermometers)
{
    connectSwitch();
    struct Row { const char* field; float value; };
    for (Row r : {Row{"01244", 0.0f}, Row{"15255", 359.5f}, Row{"00000", -50.0f}}) {
        send(frame(sameChannels(r.field), "000015", "180", '1', "0514070322" "09", '\r'));
        for (int k = 0; k < 8; ++k) {
            EXPECT_FLOAT_EQ(channel(k), r.value) << r.field << " channel " << k + 1;
            EXPECT_FLOAT_EQ(Form4->AbThermometer[static_cast<size_t>(k)]->Value(), r.value);
        }
    }
}

TEST_F(MainWindow, MemoryDateTimeAndRate)
{
    connectSwitch();
    struct Row { const char* memory; const char* text; };
    for (Row r : {Row{"000015", "0"}, Row{"000031", "1"}, Row{"000023", "0,5"}, Row{"000000", "-0,9375"}}) {
        send(frame(sameChannels("01244"), r.memory));
        EXPECT_EQ(Form1->Edit1->text(), QString::fromLatin1(r.text));
    }
    EXPECT_EQ(Form1->Edit4->text(), "07/03/2022");
    EXPECT_EQ(Form1->Edit3->text(), "14:05:09");
    send(frame(sameChannels("01244"), "000015", "180", '5'));
    EXPECT_EQ(Form1->RadioGroup1->ItemIndex(), 2);
    send(frame(sameChannels("01244"), "000015", "180", '2'));
    EXPECT_EQ(Form1->RadioGroup1->ItemIndex(), 2);
    send(frame(sameChannels("01244"), "000015", "180", '3'));
    EXPECT_EQ(Form1->RadioGroup1->ItemIndex(), 2);
}

TEST_F(MainWindow, BatteryStates)
{
    connectSwitch();
    send(frame(sameChannels("01244"), "000015", "154"));
    EXPECT_FLOAT_EQ(Form1->AbVBar1->Value(), 77.0f);
    EXPECT_EQ(Form1->AbVBar1->Name1(), "NIVEL DE BATERIA:");
    EXPECT_EQ(Form1->AbVBar1->Name2(), "\"OK\"");
    send(frame(sameChannels("01244"), "000015", "152"));
    EXPECT_FLOAT_EQ(Form1->AbVBar1->Value(), 76.0f);
    EXPECT_EQ(Form1->AbVBar1->Name1(), "NIVEL DE BATERIA:");  // 76 keeps the last state
    send(frame(sameChannels("01244"), "000015", "150"));
    EXPECT_EQ(Form1->AbVBar1->Name1(), "REEMPLAZAR PILAS");
    EXPECT_EQ(Form1->AbVBar1->Name2(), "4 PILAS \"AA\"");
    EXPECT_EQ(Form1->AbVBar1->BarColor(), QColor(255, 0, 0));
    send(frame(sameChannels("01244"), "000015", "152"));
    EXPECT_EQ(Form1->AbVBar1->Name1(), "REEMPLAZAR PILAS");
    send(frame(sameChannels("01244"), "000015", "220"));
    EXPECT_FLOAT_EQ(Form1->AbVBar1->Value(), 100.0f);
    EXPECT_EQ(Form1->AbVBar1->BarColor(), QColor(0, 255, 0));
}

TEST_F(MainWindow, CarriageReturnAtSixtyFourIsAFrame)
{
    connectSwitch();
    send(frame(sameChannels("02250"), "000015", "180", '1', "0514070322" "09", '\r'));
    EXPECT_EQ(Form1->FramesParsed(), 1);
}

TEST_F(MainWindow, BadFrameDropped_NextGoodOneShown)
{
    connectSwitch();
    send(frame(sameChannels("02250")));
    QByteArray bad = frame(sameChannels("01244"));
    bad[20] = 'Z';
    send(bad);
    EXPECT_EQ(Form1->FramesDropped(), 1);
    EXPECT_FLOAT_EQ(channel(0), 26.2f);  // nothing changed
    EXPECT_EQ(Form1->Edit4->text(), "07/03/2022");
    EXPECT_TRUE(Form1->Edit2.isEmpty());
    send(frame(sameChannels("01244")));
    EXPECT_FLOAT_EQ(channel(0), 0.0f);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindow, DownloadModeLeavesFramesAloneButLightsTheLamp)
{
    connectSwitch();
    send(frame(sameChannels("02250")));
    Flags().DownloadMode = true;
    pty.Write(frame(sameChannels("01244")));
    WaitUntil([] { return false; }, 200);
    EXPECT_TRUE(Form1->AbLED1->Checked());
    EXPECT_FLOAT_EQ(channel(0), 26.2f);
    EXPECT_TRUE(Form1->Edit2.isEmpty());
}

TEST_F(MainWindow, TwoClicksOpenAndCloseAndLeaveTheClockFieldsEmpty)
{
    connectSwitch();
    EXPECT_EQ(Form1->AbRockerSwitch1->Caption(), "DESCONECTAR");
    EXPECT_TRUE(Form1->AbColBitBtn7->Checked());
    EXPECT_TRUE(Form1->AbColBitBtn1->Checked());
    QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
    EXPECT_FALSE(Form1->ComPort1->Connected());
    EXPECT_FALSE(Form1->AbRockerSwitch1->Checked());
    EXPECT_EQ(Form1->AbRockerSwitch1->Caption(), "CONECTAR");
    EXPECT_FALSE(Form1->AbColBitBtn7->Checked());
    EXPECT_TRUE(Form1->Edit4->text().isEmpty());
    EXPECT_TRUE(Form1->Edit3->text().isEmpty());
}

TEST_F(MainWindow, FailedOpenLeavesTheSwitchOff)
{
    Form1->ComPort1->SetPort(QStringLiteral("/dev/veltra8-no-such-port"));
    QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
    EXPECT_FALSE(Form1->ComPort1->Connected());
    EXPECT_FALSE(Form1->AbRockerSwitch1->Checked());
    EXPECT_EQ(Form1->AbRockerSwitch1->Caption(), "CONECTAR");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Unable to open com port (win error code: 2)")) << errors[0].toStdString();
}

TEST_F(MainWindow, ClosingWhileConnectedClosesThePort)
{
    connectSwitch();
    Form1->Close();
    EXPECT_FALSE(Form1->ComPort1->Connected());
    EXPECT_EQ(Form1->ComPort1->FlowControl()->ControlRTS(), rtsDisable);
    EXPECT_EQ(Form1->AbRockerSwitch1->Caption(), "CONECTAR");
}

// The clock-set step under a line that never pauses: enabling the running
// step does not restart it, so the command goes out 100 ms after the first
// reception that follows the confirmation, not after the traffic stops.
TEST_F(MainWindow, ClockSetGoesOutUnderContinuousTraffic)
{
    FixedClock pc(QDateTime(QDate(2031, 12, 1), QTime(9, 3, 7)));
    SetPcClock(&pc);
    connectSwitch();
    Form1->AbColBitBtn2Click();
    QTest::mouseClick(Form8->BitBtn1, Qt::LeftButton);  // "PONER EN HORA"
    ASSERT_TRUE(Flags().ClockSetRequest);

    // A character every 20 ms for up to three seconds.
    std::atomic<bool> stop{false};
    std::atomic<bool> flowing{true};
    std::thread chatter([&] {
        for (int i = 0; i < 150 && !stop; ++i) {
            pty.Write("0");
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        flowing = false;
    });
    const bool sent = WaitUntil([] { return !Flags().ClockSetRequest; }, 5000);
    const bool sentWhileFlowing = sent && flowing;
    stop = true;
    chatter.join();
    SetPcClock(nullptr);
    EXPECT_TRUE(sentWhileFlowing);
    EXPECT_EQ(pty.Read(13), "3090307011231");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// The activation rule: port setup at the first activation, again when the
// main window takes the focus back from a non-modal window, never when a
// modal window opened from it closes.
class Activation : public ::testing::Test {
protected:
    void SetUp() override
    {
        Flags() = ProgramFlags{};
        CreateForms();
    }
    void TearDown() override { DestroyForms(); }

    // Activates `w` and answers a port setup dialog with Cancel if one opens.
    int activateCountingSetups(QWidget* w)
    {
        int setups = 0;
        AnswerNextModal(
            [&](QWidget* modal) {
                if (modal->windowTitle() == "Setup") {
                    ++setups;
                    if (auto* d = qobject_cast<QDialog*>(modal))
                        d->reject();
                    else
                        modal->close();
                }
            },
            500);
        QApplication::setActiveWindow(w);
        WaitUntil([] { return false; }, 600);
        return setups;
    }
};

TEST_F(Activation, PortSetupOnceAtStartUp_AgainAfterANonModalWindow)
{
    int setups = 0;
    AnswerNextModal([&](QWidget* modal) {
        ++setups;
        if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
    }, 2000);
    Form1->Show();
    QApplication::setActiveWindow(Form1);
    WaitUntil([&] { return setups > 0; }, 2000);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(Form1->ComPort1->Port(), "/dev/ttyS0");
    EXPECT_EQ(Form1->ComPort1->BaudRate(), br115200);
    // After the dialog closes, the main window is active again: no second run.
    EXPECT_EQ(activateCountingSetups(Form1), 0);

    // The clock set window is non-modal; coming back from it activates.
    Form8->Show();
    QApplication::setActiveWindow(Form8);
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(activateCountingSetups(Form1), 1);
    EXPECT_EQ(Form1->ActivationCount(), 2);
}

TEST_F(Activation, AfterTheThermometersWindow_PortSetupNeverAgain)
{
    Flags().SkipPortSetup = true;
    Form1->Show();
    QApplication::setActiveWindow(Form1);
    WaitUntil([] { return false; }, 100);
    Flags().SkipPortSetup = false;
    Form4->Show();
    QApplication::setActiveWindow(Form4);
    WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(Flags().SkipPortSetup);
    EXPECT_EQ(activateCountingSetups(Form1), 0);
}

}  // namespace
