#include "windows/form7.h"

#include "app/form1.h"
#include "platform/application.h"
#include "toolkit/radio_group.h"
#include "serial/comport.h"
#include "widgets/abrockerswitch.h"
#include "windows/look.h"
#include "windows/program_icon.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TForm7* Form7 = nullptr;

QByteArray TForm7::RateCommand(int itemIndex)
{
    switch (itemIndex) {
    case 0: return QByteArrayLiteral("1");
    case 1: return QByteArrayLiteral("5");
    case 2: return QByteArrayLiteral("6");
    case 3: return QByteArrayLiteral("7");
    default: return {};
    }
}

TForm7::TForm7(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Cambio de tasa de muestreo"));
    setFont(ArialPixels(11));
    SetOuterSize(262, 202);
    CenterOnDesktop();
    SetBackground(this, QColor(192, 220, 192));

    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("Seleccione la tasa deseada"), 39, 6,
                        ArialPixels(13, {.bold = true}));

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setTitle(QString());
    RadioGroup1->setGeometry(69, 29, 116, 105);
    RadioGroup1->SetItems({QStringLiteral("1  MINUTO"), QStringLiteral("15 MINUTOS"), QStringLiteral("30 MINUTOS"),
                           QStringLiteral("60 MINUTOS")});
    connect(RadioGroup1, &TRadioGroup::Click, this, [this] { Application::Guard([this] { RadioGroup1Click(); }); });

    BitBtn1 = PlaceButton(this, QStringLiteral("BitBtn1"), QStringLiteral("OK"), 90, 138, 75, 25);
    BitBtn1->setIcon(CheckMarkGlyph());
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Application::Guard([this] { BitBtn1Click(); }); });
}

void TForm7::FormActivate()
{
    RadioGroup1->SetItemIndex(-1);
}

void TForm7::RadioGroup1Click()
{
    if (!Form1->AbRockerSwitch1->Checked())
        return;
    QByteArray command = RateCommand(RadioGroup1->ItemIndex());
    if (!command.isEmpty())
        Form1->ComPort1->SendText(command);
}

void TForm7::BitBtn1Click()
{
    SetModalResult(mrOk);
    if (isVisible())
        Close();
}

void TForm7::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        BitBtn1->click();
        return;
    }
    TForm::keyPressEvent(e);
}
