// Setters that change nothing must not repaint: the live frames set every
// indicator several times a second, mostly to the value it already shows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMetaProperty>
#include <QTest>

#include <functional>
#include <memory>

#include "toolkit/gauge.h"
#include "widgets/abclock.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abgradient.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"

namespace {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

// Shows the widget, then reports how many paints `change` caused.
int paintsCausedBy(QWidget& w, const std::function<void()>& change)
{
    PaintCounter counter(&w);
    QTest::qWait(30);
    counter.paints = 0;
    change();
    QTest::qWait(30);
    return counter.paints;
}

template <typename W>
void expectRepaintOnlyOnChange(const std::function<void(W&)>& first, const std::function<void(W&)>& other)
{
    W w;
    w.resize(w.sizeHint());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    first(w);
    EXPECT_EQ(paintsCausedBy(w, [&] { first(w); }), 0) << "same value repainted";
    EXPECT_GE(paintsCausedBy(w, [&] { other(w); }), 1) << "new value not painted";
}

}  // namespace

TEST(Repaint, SameValue_NoRepaint_NewValue_Repaint)
{
    expectRepaintOnlyOnChange<TAbValueInd>([](TAbValueInd& w) { w.SetValue(23.5f); },
                                           [](TAbValueInd& w) { w.SetValue(23.6f); });
    expectRepaintOnlyOnChange<TAbThermometer>([](TAbThermometer& w) { w.SetValue(25.0f); },
                                              [](TAbThermometer& w) { w.SetValue(26.0f); });
    expectRepaintOnlyOnChange<TAbVBar>([](TAbVBar& w) { w.SetBarColor(Qt::red); },
                                       [](TAbVBar& w) { w.SetBarColor(Qt::green); });
    expectRepaintOnlyOnChange<TAbLED>([](TAbLED& w) { w.SetChecked(true); },
                                      [](TAbLED& w) { w.SetChecked(false); });
    expectRepaintOnlyOnChange<TAbColBitBtn>([](TAbColBitBtn& w) { w.SetChecked(true); },
                                            [](TAbColBitBtn& w) { w.SetChecked(false); });
    expectRepaintOnlyOnChange<TAbRockerSwitch>([](TAbRockerSwitch& w) { w.SetCaption("CONECTAR"); },
                                               [](TAbRockerSwitch& w) { w.SetCaption("DESCONECTAR"); });
    expectRepaintOnlyOnChange<TGauge>([](TGauge& w) { w.SetProgress(10); },
                                      [](TGauge& w) { w.SetProgress(11); });
}

namespace {

// Paints that `change` causes once the posted repaint requests are handled.
int paintsNow(QWidget& w, const std::function<void()>& change)
{
    QCoreApplication::processEvents();
    PaintCounter counter(&w);
    change();
    QCoreApplication::processEvents();
    return counter.paints;
}

struct StyledInstrument {
    std::function<QWidget*()> make;
    QStringList properties;
};

template <typename W>
StyledInstrument styled(QStringList properties)
{
    return {[] { return new W; }, properties};
}

}  // namespace

// The colours and fonts a window gives an instrument are properties that can
// be set by name, and set through the property they too repaint only when
// they change.
TEST(Repaint, ColourAndFontProperties_SetByName_RepaintOnlyOnChange)
{
    const StyledInstrument rows[] = {
        styled<TAbThermometer>({"BarColor", "BarBackColor", "ScaleColor", "PointerColor", "LimitColor", "NameColor",
                                "ValueColor", "Color", "NameFont", "ValueFont", "ScaleFont"}),
        styled<TAbColBitBtn>({"FaceColor", "FaceColorOn", "GradientFrom", "GradientTo", "FontColor", "FontColorOn",
                              "LampColor"}),
        styled<TAbVBar>({"BarColor", "FontColor", "Color", "ValueFont"}),
        styled<TAbValueInd>({"Color", "LabelColor", "LabelFont", "ValueColor", "ValueBackColor"}),
        styled<TAbLED>({"Color"}),
        styled<TAbGradient>({"StartColor", "EndColor", "Color"}),
        styled<TAbRockerSwitch>({"FontColor", "LampColor"}),
        styled<TAbClock>({"DigitColor", "Color"}),
        styled<TGauge>({"ForeColor", "BackColor"}),
    };
    QFont otherFont(QStringLiteral("Arial"));
    otherFont.setPixelSize(17);
    otherFont.setItalic(true);
    for (const StyledInstrument& row : rows) {
        std::unique_ptr<QWidget> w(row.make());
        const char* type = w->metaObject()->className();
        w->resize(w->sizeHint());
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        for (const QString& name : row.properties) {
            const QByteArray key = name.toLatin1();
            const QMetaProperty prop = w->metaObject()->property(w->metaObject()->indexOfProperty(key));
            ASSERT_TRUE(prop.isValid() && prop.isWritable()) << type << "." << key.constData();
            const QVariant held = w->property(key);
            const QVariant other = prop.metaType() == QMetaType::fromType<QFont>() ? QVariant(otherFont)
                                                                                   : QVariant(QColor(1, 2, 3));
            EXPECT_EQ(paintsNow(*w, [&] { w->setProperty(key, held); }), 0) << type << "." << key.constData();
            EXPECT_GE(paintsNow(*w, [&] { w->setProperty(key, other); }), 1) << type << "." << key.constData();
            EXPECT_EQ(w->property(key), other) << type << "." << key.constData();
        }
    }
}
