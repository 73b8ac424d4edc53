#pragma once
// A fresh set of the program's windows for every test, with the flags at their
// start values (except port setup, which would otherwise open its dialog on
// the main window's first activation) and error boxes collected as texts.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "platform/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <QTimer>

// A modal window a key press failed to close would block the test for good;
// this closes it after a while instead, so the test fails rather than hangs.
inline void CloseLaterIfStillOpen(QWidget* window, int ms = 2000)
{
    QTimer::singleShot(ms, window, [window] {
        if (window->isVisible())
            window->close();
    });
}

class FormsTest : public ::testing::Test {
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

    QStringList errors;
};
