#pragma once
// The whole program in a test: a fresh set of its windows as at start-up,
// the flags at their start values (except port setup, whose dialog would
// otherwise open on the main window's first activation) and error boxes
// collected as texts; and for the tests of the whole road, the logger
// simulator on its own pty with the main window connected to it.
// Header-only: the test programs that use it link the windows and the
// simulator, the support library does not.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "windows/form5.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "serial/comport.h"
#include "sim/simulator.h"
#include "tests/support/modal.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abrockerswitch.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

// A modal window a key press failed to close would block the test for good;
// this closes it after a while instead, so the test fails rather than hangs.
inline void CloseLaterIfStillOpen(QWidget* window, int ms = 2000)
{
    QTimer::singleShot(ms, window, [window] {
        if (window->isVisible())
            window->close();
    });
}

// An unpaced simulator in `dir`, without a link in the ports folder, sending
// a live frame every 150 ms.
inline SimOptions UnpacedSimulator(const QTemporaryDir& dir)
{
    SimOptions o;
    o.portsFolder = dir.path().toStdString();
    o.makeLink = false;
    o.paced = false;
    o.framePeriodMs = 150;
    return o;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Flags() = ProgramFlags{};
        Flags().SkipPortSetup = true;
        Application::SetExceptionSink([this](const QString& text) { errors << text; });
        CreateForms();
    }
    void TearDown() override
    {
        DestroyForms();
        Application::SetExceptionSink({});
        Flags() = ProgramFlags{};
    }

    std::string Errors() const { return errors.join(QLatin1Char('\n')).toStdString(); }

    QStringList errors;
};

class ProgramAgainstSimulator : public ProgramTest {
protected:
    void TearDown() override
    {
        ProgramTest::TearDown();
        sim.reset();
        SetPcClock(nullptr);
    }

    void StartSimulator(const SimOptions& options)
    {
        sim = std::make_unique<Simulator>(options);
        sim->Start();
    }

    void ClickSwitch() { QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton); }

    // Opens the simulator's current port with the connect switch.
    bool Connect()
    {
        Form1->ComPort1->SetPort(QString::fromStdString(sim->SlavePath()));
        ClickSwitch();
        return Form1->ComPort1->Connected();
    }

    // Starts the simulator, connects the main window to it and waits for the
    // first live frame.
    void ConnectTo(const SimOptions& options)
    {
        StartSimulator(options);
        ASSERT_TRUE(Connect()) << Errors();
        ASSERT_TRUE(WaitIdly([] { return Form1->FramesParsed() > 0; }, 5000));
    }

    bool WaitFrames(int more, int timeoutMs = 5000)
    {
        const int target = Form1->FramesParsed() + more;
        return WaitIdly([&] { return Form1->FramesParsed() >= target; }, timeoutMs);
    }

    // Presses the download button and waits for the Downloaded data window;
    // `inspect` runs while it is open, then it is closed. False when the
    // window never opened.
    bool RunDownload(const std::function<void()>& inspect = {}, int timeoutMs = 30000)
    {
        bool opened = false;
        const int activations = Form5->ActivationCount();
        AnswerNextModal(
            [&](QWidget* w) {
                if (w == Form5) {
                    opened = true;
                    WaitUntil([&] { return Form5->ActivationCount() > activations; }, 5000);
                    if (inspect)
                        inspect();
                }
                w->close();
            },
            timeoutMs);
        QTest::mouseClick(Form1->AbColBitBtn4, Qt::LeftButton);
        WaitIdly([&] { return opened && !Form5->isVisible(); }, timeoutMs, 10);
        return opened;
    }

    QTemporaryDir dir;
    std::unique_ptr<Simulator> sim;
};
