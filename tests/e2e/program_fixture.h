#pragma once
// The whole program against the logger simulator: the windows created as at
// start-up, error boxes collected instead of shown, and the switch turned on
// against an in-process simulator on its own pty.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "serial/comport.h"
#include "sim/simulator.h"
#include "tests/support/modal.h"
#include "widgets/abrockerswitch.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ProgramAgainstSimulator : public ::testing::Test {
protected:
    void SetUp() override
    {
        Flags() = ProgramFlags{};
        Flags().SkipPortSetup = true;
        Application::SetExceptionSink([this](const QString& t) { errors << t; });
        CreateForms();
    }
    void TearDown() override
    {
        DestroyForms();
        sim.reset();
        SetPcClock(nullptr);
        Application::SetExceptionSink({});
    }

    // Options for an unpaced simulator in the test's own folder, without a link.
    SimOptions simulatorOptions() const
    {
        SimOptions o;
        o.portsFolder = dir.path().toStdString();
        o.makeLink = false;
        o.paced = false;
        o.framePeriodMs = 150;
        return o;
    }

    // Starts the simulator, connects the main window to it and waits for the
    // first live frame.
    void connectTo(const SimOptions& options)
    {
        sim = std::make_unique<Simulator>(options);
        sim->Start();
        Form1->ComPort1->SetPort(QString::fromStdString(sim->SlavePath()));
        QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
        ASSERT_TRUE(Form1->ComPort1->Connected()) << errors.join('\n').toStdString();
        ASSERT_TRUE(WaitUntil([] { return Form1->FramesParsed() > 0; }, 5000));
    }

    bool waitFrames(int more)
    {
        int target = Form1->FramesParsed() + more;
        return WaitUntil([&] { return Form1->FramesParsed() >= target; }, 5000);
    }

    QTemporaryDir dir;
    std::unique_ptr<Simulator> sim;
    QStringList errors;
};
