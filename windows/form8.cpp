#include "windows/form8.h"

#include "app/flags.h"
#include "app/form1.h"
#include "platform/application.h"
#include "widgets/abrockerswitch.h"
#include "windows/look.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

TForm8* Form8 = nullptr;

TForm8::TForm8(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("PUESTA EN HORA DEL LOGGER"));
    SetOuterSize(544, 137);
    CenterOnDesktop();
    SetBackground(this, Qt::white);
    // The whole window speaks in bold red: the three labels read as one
    // warning, and the buttons share the window's font.
    setFont(ArialPixels(11, {.bold = true}));
    SetTextColour(this, QColor(255, 0, 0));

    Label1 = PlaceLabel(this, QStringLiteral("Label1"),
                        QStringLiteral("LA PUESTA EN HORA DEL LOGGER IMPLICA LA TRANSFERENCIA DE DÍA Y HORA"), 27, 6);
    Label2 = PlaceLabel(this, QStringLiteral("Label2"),
                        QStringLiteral("DE LA PC AL LOGGER. TAMBIEN PONE A CERO LA CANTIDAD DE MEMORIA UTILIZADA"), 15,
                        24);
    Label3 = PlaceLabel(this, QStringLiteral("Label3"),
                        QStringLiteral("ASEGÚRESE DE DESCARGAR LOS DATOS ANTES DE PROCEDER CON ESTE PUNTO"), 24, 42);

    BitBtn1 = PlaceButton(this, QStringLiteral("BitBtn1"), QStringLiteral("PONER EN HORA"), 45, 69, 135, 25);
    BitBtn2 = PlaceButton(this, QStringLiteral("BitBtn2"), QStringLiteral("REGRESAR"), 309, 69, 136, 25);
    setTabOrder(BitBtn2, BitBtn1);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Application::Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Application::Guard([this] { BitBtn2Click(); }); });
}

void TForm8::BitBtn1Click()
{
    if (Form1->AbRockerSwitch1->Checked())
        Flags().ClockSetRequest = true;
    Flags().SkipPortSetup = true;
    Close();
}

void TForm8::BitBtn2Click()
{
    Close();
}

void TForm8::showEvent(QShowEvent* e)
{
    TForm::showEvent(e);
    // Each opening starts on the harmless choice, so a stray Enter returns.
    if (!e->spontaneous())
        BitBtn2->setFocus();
}
