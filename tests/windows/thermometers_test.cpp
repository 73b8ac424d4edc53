// The live thermometers window: docking beside the main window without
// walking it off the screen, undocking, and the values it shows.
#include "serial/comport.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "tests/support/pty.h"
#include "tests/support/program.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "windows/form4.h"

#include <QScreen>
#include <QTest>

namespace {

TEST(DockBeside, MainAt300x200_256Wide_MainTo430_WindowAt174x180)
{
    DockPlacement first = DockBeside(300, 200, 256, true);
    EXPECT_EQ(first.mainLeft, 430);
    EXPECT_EQ(first.left, 174);
    EXPECT_EQ(first.top, 180);
    // Later activations of the same showing leave the main window in place.
    DockPlacement later = DockBeside(430, 200, 256, false);
    EXPECT_EQ(later.mainLeft, 430);
    EXPECT_EQ(later.left, 174);
}

class ThermometersWindow : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        Form1->Show();
        QApplication::setActiveWindow(Form1);
        WaitUntil([] { return Form1->ActivationCount() > 0; }, 2000);
        placeMain(300, 200);
    }

    static void placeMain(int left, int top)
    {
        Form1->SetLeft(left);
        Form1->SetTop(top);
        ASSERT_EQ(Form1->Left(), left);
        ASSERT_EQ(Form1->Top(), top);
    }

    static void activate(TForm* form)
    {
        int before = form->ActivationCount();
        if (form->isVisible())
            QApplication::setActiveWindow(form);
        else
            form->Show();
        QApplication::setActiveWindow(form);
        ASSERT_TRUE(WaitUntil([&] { return form->ActivationCount() > before; }, 2000));
    }

    static void expectDockedAt(int mainLeft)
    {
        EXPECT_EQ(Form1->Left(), mainLeft);
        EXPECT_EQ(Form1->Top(), 200);
        EXPECT_EQ(Form4->Left(), mainLeft - Form4->OuterSize().width());
        EXPECT_EQ(Form4->Top(), 180);
    }

    static QPoint desktopCentrePlace(TForm* form)
    {
        QRect avail = form->screen()->availableGeometry();
        QSize outer = form->OuterSize();
        return {avail.x() + (avail.width() - outer.width()) / 2, avail.y() + (avail.height() - outer.height()) / 2};
    }
};

TEST_F(ThermometersWindow, Opening_MainSteps130Right_WindowAgainstItsLeftEdge)
{
    activate(Form4);
    expectDockedAt(430);
    EXPECT_TRUE(Form1->AbColBitBtn8->isHidden());
    EXPECT_TRUE(Flags().SkipPortSetup);
}

TEST_F(ThermometersWindow, SwitchingFocusBackAndForth_MainWindowDoesNotDrift)
{
    activate(Form4);
    for (int round = 0; round < 4; ++round) {
        activate(Form1);
        activate(Form4);
        expectDockedAt(430);
    }
    EXPECT_GE(Form4->ActivationCount(), 5);
    // Moved away in between, the window comes back against the main window.
    Form4->SetLeft(10);
    Form4->SetTop(10);
    activate(Form1);
    activate(Form4);
    expectDockedAt(430);
}

TEST_F(ThermometersWindow, Closing_RecentresMainAndShowsItsButton_ReopeningStepsAsideOnceMore)
{
    activate(Form4);
    Form4->Close();
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_FALSE(Form1->AbColBitBtn8->isHidden());
    QPoint centre = desktopCentrePlace(Form1);
    EXPECT_EQ(Form1->Left(), centre.x());
    EXPECT_EQ(Form1->Top(), centre.y());

    placeMain(300, 200);
    activate(Form4);
    expectDockedAt(430);
}

TEST_F(ThermometersWindow, EachChannelStartsAt25OnTheMinus10To45Scale)
{
    for (int k = 0; k < 8; ++k) {
        TAbThermometer* t = Form4->AbThermometer[static_cast<size_t>(k)];
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->objectName(), QStringLiteral("AbThermometer%1").arg(k + 1));
        EXPECT_EQ(t->Name1(), QStringLiteral("Canal %1").arg(k + 1));
        EXPECT_EQ(t->DisplayText(), "25,0 °C") << "channel " << k + 1;
        EXPECT_EQ(t->ScaleLabels(), QStringList({"-10", "8", "27", "45"})) << "channel " << k + 1;
    }
}

// 51.2 °C is raw 1012: high part 03, low part 244.
QByteArray liveFrameWithChannel3(const char* field)
{
    QByteArray channels;
    for (int k = 1; k <= 8; ++k)
        channels += k == 3 ? QByteArray(field) : QByteArray("01244");
    return QByteArray("0514070322" "09") + "180" + '0' + '1' + channels + "000015" + '\r';
}

TEST_F(ThermometersWindow, ValueWrittenWhileHiddenShowsOnOpening)
{
    PtyPair pty;
    Form1->ComPort1->SetPort(pty.SlavePath());
    QTest::mouseClick(Form1->AbRockerSwitch1, Qt::LeftButton);
    ASSERT_TRUE(Form1->ComPort1->Connected()) << errors.join('\n').toStdString();
    ASSERT_FALSE(Form4->isVisible());
    pty.Write(liveFrameWithChannel3("03244"));
    ASSERT_TRUE(WaitUntil([] { return Form1->FramesParsed() == 1; }, 3000));

    activate(Form4);
    TAbThermometer* t3 = Form4->AbThermometer[2];
    EXPECT_FLOAT_EQ(t3->Value(), 51.2f);
    EXPECT_EQ(t3->DisplayText(), "51,2 °C");
    // Above the top of the scale: the bar stops at the top of the tube.
    EXPECT_DOUBLE_EQ(t3->FillFraction(), 1.0);
    EXPECT_FLOAT_EQ(Form4->AbThermometer[0]->Value(), 0.0f);
}

}  // namespace
