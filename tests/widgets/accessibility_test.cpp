// What assistive technology and automation see of each instrument: role,
// name, value, the press action, and the notifications on change.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QSignalSpy>
#include <QWidget>

#include <vector>

#include "platform/clock.h"
#include "toolkit/gauge.h"
#include "tests/support/printers.h"
#include "widgets/abclock.h"
#include "widgets/accessible.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"

namespace {

QAccessibleInterface* of(QWidget& w)
{
    return QAccessible::queryAccessibleInterface(&w);
}

// Records the notifications the instruments send, as a client would get them.
class Listening : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstrumentAccessibility::SetObserver(
            [this](QWidget* w, QAccessible::Event type) { recorded_.push_back({w, type}); });
    }
    void TearDown() override { InstrumentAccessibility::SetObserver({}); }
    int count(QObject* o, QAccessible::Event type) const
    {
        int n = 0;
        for (const auto& [object, t] : recorded_)
            n += object == o && t == type;
        return n;
    }

private:
    std::vector<std::pair<QObject*, QAccessible::Event>> recorded_;
};

}  // namespace

TEST(Accessibility, RockerSwitch_CheckBoxNamedByCaption_PressActsLikeAClick)
{
    TAbRockerSwitch sw;
    sw.SetCaption(QStringLiteral("CONECTAR"));
    QAccessibleInterface* a = of(sw);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::CheckBox);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("CONECTAR"));
    EXPECT_FALSE(a->state().checked);

    QSignalSpy clicks(&sw, &TAbRockerSwitch::Click);
    QSignalSpy mouseUps(&sw, &TAbRockerSwitch::MouseUp);
    QAccessibleActionInterface* act = a->actionInterface();
    ASSERT_NE(act, nullptr);
    EXPECT_TRUE(act->actionNames().contains(QAccessibleActionInterface::pressAction()));
    act->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(mouseUps.count(), 1);
    EXPECT_TRUE(sw.Checked());
    EXPECT_TRUE(a->state().checked);
}

TEST(Accessibility, ColBitBtn_ButtonNamedByItsCaptionWithoutBlanks_PressClicks)
{
    TAbColBitBtn btn;
    btn.SetCaption(QStringLiteral("       DESCARGAR DATOS"));
    btn.setToolTip(QStringLiteral("Descarga los datos del logger"));
    QAccessibleInterface* a = of(btn);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("DESCARGAR DATOS"));
    EXPECT_EQ(a->text(QAccessible::Description), QStringLiteral("Descarga los datos del logger"));

    QSignalSpy clicks(&btn, &TAbColBitBtn::Click);
    ASSERT_NE(a->actionInterface(), nullptr);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);

    btn.SetTextOn(QStringLiteral("  LIT"));
    btn.SetChecked(true);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("LIT"));
    EXPECT_TRUE(a->state().checked);
}

TEST(Accessibility, Indicators_LabelAsNameAndShownTextAsValue)
{
    TAbValueInd ind;
    ind.SetName1(QStringLiteral("CANAL 1"));
    ind.SetUnit(QStringLiteral("°C"));
    ind.SetValue(23.5f);
    EXPECT_EQ(of(ind)->role(), QAccessible::StaticText);
    EXPECT_EQ(of(ind)->text(QAccessible::Name), QStringLiteral("CANAL 1"));
    EXPECT_EQ(of(ind)->text(QAccessible::Value), QStringLiteral("23,5 °C"));

    TAbVBar bar;
    bar.SetName1(QStringLiteral("NIVEL DE BATERIA:"));
    bar.SetName2(QStringLiteral("\"OK\""));
    bar.SetValue(77);
    EXPECT_EQ(of(bar)->role(), QAccessible::ProgressBar);
    EXPECT_EQ(of(bar)->text(QAccessible::Name), QStringLiteral("NIVEL DE BATERIA: \"OK\""));
    EXPECT_EQ(of(bar)->text(QAccessible::Value), QStringLiteral("77 %"));
    ASSERT_NE(of(bar)->valueInterface(), nullptr);
    EXPECT_EQ(of(bar)->valueInterface()->currentValue().toDouble(), 77.0);
    EXPECT_EQ(of(bar)->valueInterface()->maximumValue().toDouble(), 100.0);

    TAbThermometer th;
    th.SetName1(QStringLiteral("Canal 3"));
    th.SetUnit(QStringLiteral("°C"));
    th.SetScale(-10, 45);
    th.SetValue(51.2f);
    EXPECT_EQ(of(th)->text(QAccessible::Name), QStringLiteral("Canal 3"));
    EXPECT_EQ(of(th)->text(QAccessible::Value), QStringLiteral("51,2 °C"));
    ASSERT_NE(of(th)->valueInterface(), nullptr);
    EXPECT_FLOAT_EQ(of(th)->valueInterface()->currentValue().toFloat(), 51.2f);

    TGauge gauge;
    gauge.SetMaxValue(50);
    gauge.SetProgress(25);
    EXPECT_EQ(of(gauge)->role(), QAccessible::ProgressBar);
    EXPECT_EQ(of(gauge)->text(QAccessible::Value), QStringLiteral("50 %"));

    TAbLED led;
    led.setAccessibleName(QStringLiteral("Recepción"));
    led.SetChecked(true);
    EXPECT_EQ(of(led)->text(QAccessible::Name), QStringLiteral("Recepción"));
    EXPECT_TRUE(of(led)->state().checked);

    FixedClock fixed(QDateTime(QDate(2022, 3, 7), QTime(14, 5, 9)));
    SetPcClock(&fixed);
    TAbClock clock(TAbClock::Time);
    SetPcClock(nullptr);
    EXPECT_EQ(of(clock)->role(), QAccessible::StaticText);
    EXPECT_EQ(of(clock)->text(QAccessible::Value), QStringLiteral("14:05:09"));
}

TEST_F(Listening, ChangesAreAnnounced_RepeatsAreNot)
{
    TAbValueInd ind;
    ind.SetValue(1.0f);
    ind.SetValue(1.0f);
    EXPECT_EQ(count(&ind, QAccessible::ValueChanged), 1);

    TAbThermometer th;
    th.SetValue(51.2f);
    EXPECT_EQ(count(&th, QAccessible::ValueChanged), 1);

    TAbRockerSwitch sw;
    sw.SetChecked(true);
    sw.SetChecked(true);
    sw.SetCaption(QStringLiteral("DESCONECTAR"));
    EXPECT_EQ(count(&sw, QAccessible::StateChanged), 1);
    EXPECT_EQ(count(&sw, QAccessible::NameChanged), 1);

    TAbColBitBtn btn;
    btn.SetTextOff(QStringLiteral("a"));
    btn.SetTextOn(QStringLiteral("b"));   // not shown yet: the name stays
    btn.SetChecked(true);
    EXPECT_EQ(count(&btn, QAccessible::NameChanged), 2);
    EXPECT_EQ(count(&btn, QAccessible::StateChanged), 1);
}
