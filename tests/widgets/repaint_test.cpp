// Setters that change nothing must not repaint: the live frames set every
// indicator several times a second, mostly to the value it already shows.
#include <gtest/gtest.h>

#include <QEvent>
#include <QTest>

#include <functional>

#include "widgets/abcolbitbtn.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"
#include "widgets/gauge.h"

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
