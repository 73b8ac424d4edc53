// The clock set window: which flags its buttons leave for the main window,
// and which button holds the focus.
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "tests/support/program.h"
#include "widgets/abrockerswitch.h"
#include "windows/form8.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

class ClockSetWindow : public ProgramTest {
protected:
    void open()
    {
        Form8->Show();
        QApplication::setActiveWindow(Form8);
        ASSERT_TRUE(WaitUntil([] { return QApplication::activeWindow() == Form8; }, 2000));
    }
};

TEST_F(ClockSetWindow, ButtonsLeaveTheFlagsForTheMainWindowAndClose)
{
    struct Row {
        bool confirm;
        bool connected;
        bool request;
        bool skipSetup;
    };
    for (Row r : {Row{true, true, true, true}, Row{true, false, false, true}, Row{false, true, false, false}}) {
        Flags() = ProgramFlags{};
        Form1->AbRockerSwitch1->SetChecked(r.connected);
        open();
        QTest::mouseClick(r.confirm ? Form8->BitBtn1 : Form8->BitBtn2, Qt::LeftButton);
        EXPECT_EQ(Flags().ClockSetRequest, r.request) << r.confirm << r.connected;
        EXPECT_EQ(Flags().SkipPortSetup, r.skipSetup) << r.confirm << r.connected;
        EXPECT_FALSE(Form8->isVisible());
    }
}

TEST_F(ClockSetWindow, RegresarHoldsTheFocusOnEveryOpening)
{
    open();
    EXPECT_TRUE(WaitUntil([] { return QApplication::focusWidget() == Form8->BitBtn2; }, 2000));
    QTest::keyClick(Form8->BitBtn2, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Form8->BitBtn1);
    Form8->Close();
    open();
    EXPECT_TRUE(WaitUntil([] { return QApplication::focusWidget() == Form8->BitBtn2; }, 2000));
}

TEST_F(ClockSetWindow, WarningLinesExactAndEachFitsTheWindow)
{
    struct Row {
        QLabel* label;
        const char* text;
    };
    for (Row r : {Row{Form8->Label1, "LA PUESTA EN HORA DEL LOGGER IMPLICA LA TRANSFERENCIA DE DÍA Y HORA"},
                  Row{Form8->Label2, "DE LA PC AL LOGGER. TAMBIEN PONE A CERO LA CANTIDAD DE MEMORIA UTILIZADA"},
                  Row{Form8->Label3, "ASEGÚRESE DE DESCARGAR LOS DATOS ANTES DE PROCEDER CON ESTE PUNTO"}}) {
        EXPECT_EQ(r.label->text(), QString::fromUtf8(r.text));
        EXPECT_LE(r.label->geometry().right(), Form8->width()) << r.text;
    }
}

}  // namespace
