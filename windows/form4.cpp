#include "windows/form4.h"

#include "app/flags.h"
#include "app/form1.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abgradient.h"
#include "widgets/abthermometer.h"
#include "windows/look.h"

#include <QHideEvent>
#include <QLabel>

TForm4* Form4 = nullptr;

namespace {

struct ThermometerPlace {
    int x, y, width, height;
    QColor bar;
};

const ThermometerPlace Places[8] = {
    {4, 36, 77, 150, QColor(0, 0, 255)},        {84, 36, 77, 150, QColor(255, 0, 0)},
    {160, 36, 77, 150, QColor(0, 128, 0)},      {24, 196, 77, 150, QColor(0, 255, 0)},
    {128, 196, 81, 150, QColor(255, 255, 0)},   {8, 360, 73, 150, QColor(0, 255, 255)},
    {88, 360, 73, 150, QColor(192, 220, 192)},  {168, 360, 73, 150, QColor(255, 255, 255)},
};

const QColor Teal(0, 128, 128);

void configure(TAbThermometer* t, const QPalette& pal)
{
    t->SetScale(-10.0, 45.0);
    t->SetDigitalRange(0, 1500);
    t->SetUnit(QStringLiteral("°C"));
    t->SetValueFormat(QStringLiteral("#0.0"));
    t->SetName2(QString());
    t->SetMainSteps(3);
    t->SetSubSteps(3);
    t->SetScaleFormat(QStringLiteral("##0"));
    t->SetScalePosition(TAbThermometer::ScaleRight);
    t->SetScaleLine(false);
    t->SetScaleColor(Qt::black);
    t->SetPointerColor(QColor(0, 255, 0));
    t->SetScaleFont(ArialPixels(11));
    t->SetNameFont(ArialPixels(11, {.bold = true}));
    t->SetNameColor(Teal);
    // "System" is a bold bitmap face of the old platform; bold Arial at its
    // pixel size reads the same.
    t->SetValueFont(ArialPixels(13, {.bold = true}));
    t->SetValueColor(QColor(0, 0, 255));
    t->SetBarBackColor(pal.color(QPalette::Button));
    t->SetBarBevel(TBevelStyle::Lowered);
    t->SetBarBevelWidth(3);
    t->SetBevelOuter(TBevelStyle::Raised);
    t->SetBevelInner(TBevelStyle::Lowered);
    t->SetValueBevel(TBevelStyle::Lowered);
    t->SetUpperLimit(90.0);
    t->SetLowerLimit(10.0);
    t->SetValue(25.0f);
}

}  // namespace

DockPlacement DockBeside(int mainLeft, int mainTop, int outerWidth, bool moveMain)
{
    DockPlacement d{};
    d.mainLeft = moveMain ? mainLeft + TForm4::MainWindowShift : mainLeft;
    d.top = mainTop - TForm4::RaiseAboveMain;
    d.left = d.mainLeft - outerWidth;
    return d;
}

TForm4::TForm4(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    resize(250, 519);
    setFixedSize(250, 519);

    AbGradient1 = new TAbGradient(this);
    AbGradient1->setObjectName(QStringLiteral("AbGradient1"));
    AbGradient1->SetGradient(false);
    AbGradient1->setGeometry(rect());

    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("VALORES PUNTUALES ON-LINE"), 12, 12,
                        ArialPixels(13, {.bold = true}), Teal);

    for (int k = 0; k < 8; ++k) {
        auto* t = new TAbThermometer(this);
        t->setObjectName(QStringLiteral("AbThermometer%1").arg(k + 1));
        t->SetName1(QStringLiteral("Canal %1").arg(k + 1));
        t->SetBarColor(Places[k].bar);
        configure(t, palette());
        t->setGeometry(Places[k].x, Places[k].y, Places[k].width, Places[k].height);
        AbThermometer[static_cast<size_t>(k)] = t;
    }
}

void TForm4::FormActivate()
{
    if (!Form1)
        return;
    Form1->AbColBitBtn8->hide();
    // The main window steps aside only on the first activation of a showing;
    // stepping again on every return of the focus would walk it off screen.
    DockPlacement d = DockBeside(Form1->Left(), Form1->Top(), OuterSize().width(), !mainMovedThisShowing_);
    mainMovedThisShowing_ = true;
    Form1->SetLeft(d.mainLeft);
    SetTop(d.top);
    SetLeft(d.left);
    Flags().SkipPortSetup = true;
}

void TForm4::FormClose()
{
    // At the program's end the main window may already be gone.
    if (!Form1)
        return;
    Form1->CenterOnDesktop();
    Form1->AbColBitBtn8->show();
}

void TForm4::hideEvent(QHideEvent* e)
{
    TForm::hideEvent(e);
    // A minimised window is hidden spontaneously and is still the same showing.
    if (!e->spontaneous())
        mainMovedThisShowing_ = false;
}
