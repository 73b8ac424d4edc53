// The rocker switch and the colour buttons: when they flip, what they raise
// and in which order, and what caption they show.
#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

#include "platform/application.h"
#include "tests/support/printers.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abrockerswitch.h"

namespace {

// Records the order of the switch's signals and its state at each one.
struct SwitchLog {
    explicit SwitchLog(TAbRockerSwitch& sw)
    {
        QObject::connect(&sw, &TAbRockerSwitch::Click, [this, &sw] {
            events << (sw.Checked() ? QStringLiteral("Click(on)") : QStringLiteral("Click(off)"));
        });
        QObject::connect(&sw, &TAbRockerSwitch::MouseUp, [this] { events << QStringLiteral("MouseUp"); });
    }
    QStringList events;
};

}  // namespace

TEST(RockerSwitch, MouseDown_FlipsBeforeClick_ThenClickThenMouseUp)
{
    TAbRockerSwitch sw;
    sw.resize(91, 85);
    SwitchLog log(sw);

    QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(45, 40));
    EXPECT_TRUE(sw.Checked());
    EXPECT_TRUE(log.events.isEmpty());

    QTest::mouseRelease(&sw, Qt::LeftButton, {}, QPoint(45, 40));
    EXPECT_EQ(log.events, (QStringList{"Click(on)", "MouseUp"}));

    QTest::mouseClick(&sw, Qt::LeftButton, {}, QPoint(45, 40));
    EXPECT_FALSE(sw.Checked());
    EXPECT_EQ(log.events, (QStringList{"Click(on)", "MouseUp", "Click(off)", "MouseUp"}));
}

TEST(RockerSwitch, ReleaseOffTheSwitch_NoClickAndStateRestored)
{
    TAbRockerSwitch sw;
    sw.resize(91, 85);
    SwitchLog log(sw);

    QTest::mousePress(&sw, Qt::LeftButton, {}, QPoint(45, 40));
    ASSERT_TRUE(sw.Checked());
    QTest::mouseRelease(&sw, Qt::LeftButton, {}, QPoint(200, 40));
    EXPECT_FALSE(sw.Checked());
    EXPECT_EQ(log.events, (QStringList{"MouseUp"}));
}

TEST(RockerSwitch, SpaceKeyAndPress_BehaveLikeAMouseClick)
{
    TAbRockerSwitch sw;
    SwitchLog log(sw);
    QTest::keyClick(&sw, Qt::Key_Space);
    EXPECT_TRUE(sw.Checked());
    sw.Press();
    EXPECT_FALSE(sw.Checked());
    EXPECT_EQ(log.events, (QStringList{"Click(on)", "MouseUp", "Click(off)", "MouseUp"}));
}

TEST(RockerSwitch, SetCheckedFromCode_RaisesNothing)
{
    TAbRockerSwitch sw;
    SwitchLog log(sw);
    sw.SetChecked(true);
    sw.SetCaption(QStringLiteral("DESCONECTAR"));
    EXPECT_TRUE(sw.Checked());
    EXPECT_EQ(sw.Caption(), QStringLiteral("DESCONECTAR"));
    EXPECT_TRUE(log.events.isEmpty());
}

TEST(RockerSwitch, ThrowingClickHandler_ShownAndMouseUpStillRaised)
{
    TAbRockerSwitch sw;
    sw.resize(91, 85);
    QStringList shown;
    Application::SetExceptionSink([&](const QString& text) { shown << text; });
    QObject::connect(&sw, &TAbRockerSwitch::Click, [] { throw std::runtime_error("Puerto ocupado"); });
    QSignalSpy mouseUps(&sw, &TAbRockerSwitch::MouseUp);

    QTest::mouseClick(&sw, Qt::LeftButton, {}, QPoint(45, 40));
    Application::SetExceptionSink({});

    EXPECT_EQ(shown, (QStringList{"Puerto ocupado."}));
    EXPECT_EQ(mouseUps.count(), 1);
}

TEST(ColBitBtn, Checked_ShowsTextOn_OtherwiseTextOff)
{
    TAbColBitBtn btn;
    btn.SetTextOff(QStringLiteral("              VER DATOS"));
    btn.SetTextOn(QStringLiteral("                VER DATOS"));
    EXPECT_EQ(btn.ShownText(), QStringLiteral("              VER DATOS"));
    btn.SetChecked(true);
    EXPECT_EQ(btn.ShownText(), QStringLiteral("                VER DATOS"));
    btn.SetChecked(false);
    EXPECT_EQ(btn.ShownText(), QStringLiteral("              VER DATOS"));
}

TEST(ColBitBtn, SetCaption_SetsBothCaptionsWithTheirLeadingBlanks)
{
    TAbColBitBtn btn;
    btn.SetCaption(QStringLiteral("       DESCARGAR DATOS"));
    EXPECT_EQ(btn.TextOff(), QStringLiteral("       DESCARGAR DATOS"));
    EXPECT_EQ(btn.TextOn(), QStringLiteral("       DESCARGAR DATOS"));
    EXPECT_EQ(btn.Caption(), QStringLiteral("       DESCARGAR DATOS"));
}

TEST(ColBitBtn, Click_RaisedOnReleaseInside_AndLeavesCheckedAlone)
{
    TAbColBitBtn btn;
    btn.resize(130, 33);
    btn.SetTextOff(QStringLiteral("off"));
    btn.SetTextOn(QStringLiteral("on"));
    QSignalSpy clicks(&btn, &TAbColBitBtn::Click);

    QTest::mousePress(&btn, Qt::LeftButton, {}, QPoint(60, 16));
    EXPECT_EQ(btn.ShownText(), QStringLiteral("on"));   // held down
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(&btn, Qt::LeftButton, {}, QPoint(60, 16));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(btn.Checked());
    EXPECT_EQ(btn.ShownText(), QStringLiteral("off"));

    QTest::mousePress(&btn, Qt::LeftButton, {}, QPoint(60, 16));
    QTest::mouseRelease(&btn, Qt::LeftButton, {}, QPoint(300, 16));
    EXPECT_EQ(clicks.count(), 1);

    QTest::keyClick(&btn, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(ColBitBtn, LitLook_DiffersFromTheOffFace)
{
    TAbColBitBtn btn;
    btn.resize(151, 24);
    btn.SetFaceColor(QColor(192, 192, 192));
    btn.SetFaceColorOn(QColor(0, 255, 0));
    auto faceAt = [&](QPoint p) {
        QImage img(btn.size(), QImage::Format_ARGB32);
        btn.render(&img);
        return QColor(img.pixel(p));
    };
    const QColor off = faceAt({8, 12});
    btn.SetChecked(true);
    const QColor lit = faceAt({8, 12});
    EXPECT_GT(lit.green() - lit.red(), 100) << "lit face should be green";
    EXPECT_LT(std::abs(off.green() - off.red()), 20) << "off face should be grey";
}
