// The program's windows on a real X server, without and with a window
// manager: the title every title bar shows (each window's caption exactly,
// nothing for the thermometers window, "TEMPVELTRA8C" only on the message
// boxes), one activation per opening of every window, the windows that open
// centred on the desktop, and the thermometers window stepping the main
// window aside once per showing.
#include "app/flags.h"
#include "app/form1.h"
#include "app/startup.h"
#include "windows/form5.h"
#include "platform/application.h"
#include "toolkit/desktop.h"
#include "platform/errors.h"
#include "serial/comport.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "tests/support/x11.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form6.h"
#include "windows/form7.h"
#include "windows/form8.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <functional>

namespace {

class OnARealDesktop : public ::testing::TestWithParam<XServer::WindowManager> {};

TEST_P(OnARealDesktop, TitlesActivationsAndPlacement)
{
    XServer desktop(GetParam());
    if (!desktop.Failure().isEmpty())
        GTEST_SKIP() << desktop.Failure().toStdString();
    QString output;
    EXPECT_TRUE(desktop.RunTest(QStringLiteral("DesktopRun.DISABLED_TitlesActivationsAndPlacement"), &output))
        << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(, OnARealDesktop,
                         ::testing::Values(XServer::WindowManager::None, XServer::WindowManager::Openbox),
                         [](const auto& row) {
                             return row.param == XServer::WindowManager::None ? "WithoutWindowManager"
                                                                              : "WithWindowManager";
                         });

// What follows runs only in the copy of this program that the test above
// starts on its X server.

// Runs the loop until `window` is active (if the platform activates it at
// all) and a while longer, so that a late second activation would come.
void settleOn(QWidget* window)
{
    WaitUntil([window] { return QApplication::activeWindow() == window; }, 3000);
    WaitUntil([] { return false; }, 300);
}

void giveTheFocusBackToTheMainWindow()
{
    Form1->activateWindow();
    settleOn(Form1);
}

void expectCentred(const QRect& frame, const QString& caption)
{
    // The frame a window manager adds is only known once it is mapped: a
    // few pixels either way.
    const QPoint off = frame.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(std::abs(off.x()), 20) << caption.toStdString() << " at " << frame.x() << "," << frame.y();
    EXPECT_LE(std::abs(off.y()), 20) << caption.toStdString() << " at " << frame.x() << "," << frame.y();
}

struct WhileOpen {
    int activations = 0;
    std::optional<QString> title;
    QRect frame;
};

// Opens `form` modally through `open` and notes what the desktop shows of it
// until it is closed again.
WhileOpen openModally(TForm* form, const std::function<void()>& open)
{
    WhileOpen seen;
    const int before = form->ActivationCount();
    QTimer::singleShot(0, form, [&] {
        settleOn(form);
        seen.activations = form->ActivationCount() - before;
        seen.title = WindowManagerTitle(form);
        seen.frame = form->frameGeometry();
        form->Close();
    });
    open();
    return seen;
}

// The title of the next modal box or dialog, which is then closed.
std::optional<QString> titleOfTheBoxThat(const std::function<void()>& opens)
{
    std::optional<QString> title;
    AnswerNextModal([&](QWidget* box) {
        title = WindowManagerTitle(box);
        box->close();
    });
    opens();
    return title;
}

TEST(DesktopRun, DISABLED_TitlesActivationsAndPlacement)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    Application::NameTheProgram();
    Flags() = ProgramFlags{};
    Flags().SkipPortSetup = true;
    QStringList errors;
    Application::SetExceptionSink([&](const QString& text) { errors << text; });
    CreateForms();

    Form1->Show();
    settleOn(Form1);
    EXPECT_EQ(Form1->ActivationCount(), 1);
    EXPECT_EQ(WindowManagerTitle(Form1), QStringLiteral("VELTRA 8  V 3.8 -- 8 CANALES  DE TEMPERATURA"));
    expectCentred(Form1->frameGeometry(), Form1->windowTitle());

    struct Modal {
        TForm* form;
        std::function<void()> open;
        const char* caption;
        bool centred;
    };
    const Modal modals[] = {
        {Form2, [] { Form1->AbColBitBtn5Click(); }, "ACERCA DE MERIDAX", true},
        {Form3, [] { Form1->AbColBitBtn6Click(); }, "Ayuda soble el uso del programa", true},
        {Form7, [] { Form1->AbColBitBtn3Click(); }, "Cambio de tasa de muestreo", true},
        {Form5, [] { Form5->ShowModal(); }, "DATOS DESCARGADOS", true},
        {Form6, [] { Form6->ShowModal(); }, "GRAFICO DE LOS VALORES DESCARGADOS", true},
    };
    for (int opening = 1; opening <= 2; ++opening) {
        for (const Modal& m : modals) {
            const QString caption = QString::fromUtf8(m.caption);
            WhileOpen seen = openModally(m.form, m.open);
            EXPECT_EQ(seen.activations, 1) << m.caption << ", opening " << opening;
            EXPECT_EQ(seen.title, caption);
            if (m.centred && opening == 1)
                expectCentred(seen.frame, caption);
            giveTheFocusBackToTheMainWindow();
        }
    }
    // Closing a modal window does not activate the main window again.
    EXPECT_EQ(Form1->ActivationCount(), 1);

    for (int opening = 1; opening <= 2; ++opening) {
        const int before = Form8->ActivationCount();
        const int mainBefore = Form1->ActivationCount();
        Form1->AbColBitBtn2Click();
        settleOn(Form8);
        EXPECT_EQ(Form8->ActivationCount() - before, 1) << "clock set window, opening " << opening;
        EXPECT_EQ(WindowManagerTitle(Form8), QStringLiteral("PUESTA EN HORA DEL LOGGER"));
        if (opening == 1)
            expectCentred(Form8->frameGeometry(), Form8->windowTitle());
        Form8->BitBtn2Click();  // "REGRESAR"
        giveTheFocusBackToTheMainWindow();
        // Back from a non-modal window: once.
        EXPECT_EQ(Form1->ActivationCount() - mainBefore, 1) << "after the clock set window, opening " << opening;
    }

    // The thermometers window: no title at all; the main window steps aside
    // once per showing however often the focus goes back and forth.
    const int mainLeft = Form1->Left();
    Form1->AbColBitBtn8Click();
    settleOn(Form4);
    EXPECT_EQ(Form4->ActivationCount(), 1);
    const std::optional<QString> title = WindowManagerTitle(Form4);
    EXPECT_TRUE(!title || title->isEmpty()) << title.value_or(QString()).toStdString();
    EXPECT_TRUE(WaitUntil([&] { return Form1->Left() == mainLeft + TForm4::MainWindowShift; }, 3000))
        << Form1->Left() << " after " << mainLeft;
    for (int round = 0; round < 2; ++round) {
        giveTheFocusBackToTheMainWindow();
        Form4->activateWindow();
        settleOn(Form4);
    }
    EXPECT_EQ(Form4->ActivationCount(), 3);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Form1->Left() == mainLeft + TForm4::MainWindowShift &&
                   Form4->Left() + Form4->OuterSize().width() == Form1->Left();
        },
        3000))
        << Form1->Left() << " after " << mainLeft << "; thermometers at " << Form4->Left();
    Form4->Close();
    giveTheFocusBackToTheMainWindow();

    // The application title stays on the message boxes; the port setup
    // dialog keeps its own caption.
    Application::SetExceptionSink({});
    EXPECT_EQ(titleOfTheBoxThat([] { Application::ShowException(Exception(QStringLiteral("Prueba"))); }),
              Application::Title());
    EXPECT_EQ(titleOfTheBoxThat([] { Application::ShowHint(Form1, QStringLiteral("Prueba")); }),
              Application::Title());
    EXPECT_EQ(titleOfTheBoxThat([] { Form1->ComPort1->ShowPortSetup(); }), QStringLiteral("Setup"));

    DestroyForms();
}

}  // namespace
