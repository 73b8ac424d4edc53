#include "windows/form2.h"

#include "platform/application.h"
#include "toolkit/panel.h"
#include "windows/look.h"
#include "windows/program_icon.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>

TForm2* Form2 = nullptr;

QString MakerWebAddress()
{
    return QStringLiteral("www.meridax.com");
}

QString SpacedCapitals(const QString& text)
{
    QStringList characters;
    for (QChar c : text.toUpper())
        characters << QString(c);
    return characters.join(QLatin1Char(' '));
}

TForm2::TForm2(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("ACERCA DE MERIDAX"));
    setFont(ArialPixels(11));
    SetOuterSize(301, 234);
    CenterOnDesktop();

    Panel1 = new TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->SetBevelOuter(TBevelStyle::Lowered);
    Panel1->SetBevelInner(TBevelStyle::Raised);
    Panel1->setGeometry(4, 2, 281, 161);

    // The texts sit on the panel, placed in its own coordinates.
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap::fromImage(ProgramIconImage()));

    ProductName = PlaceLabel(Panel1, QStringLiteral("ProductName"),
                             QStringLiteral("Soft de comunicación con loggers de la "), 83, 16);
    Label4 = PlaceLabel(Panel1, QStringLiteral("Label4"), QStringLiteral("línea VELTRA."), 83, 28);
    Version = PlaceLabel(Panel1, QStringLiteral("Version"), QStringLiteral("Version 1.1"), 83, 44);
    Label1 = PlaceLabel(Panel1, QStringLiteral("Label1"), QStringLiteral("Desarrollado por "), 112, 64);
    Label2 = PlaceLabel(Panel1, QStringLiteral("Label2"), SpacedCapitals(MakerWebAddress()), 44, 84,
                        ArialPixels(16, {.bold = true, .italic = true, .underline = true}), QColor(255, 0, 0));
    Comments = PlaceLabel(Panel1, QStringLiteral("Comments"), QString(), 8, 104);
    Comments->setWordWrap(true);
    Copyright = PlaceLabel(Panel1, QStringLiteral("Copyright"),
                           QStringLiteral("© 2026 MERIDAX. Derechos reservados."), 48, 112);
    Label3 = PlaceLabel(Panel1, QStringLiteral("Label3"), MakerWebAddress(), 100, 132,
                        ArialPixels(11, {.bold = true, .italic = true}), QColor(128, 0, 128));

    OKButton = PlaceButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"), 108, 168, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { Application::Guard([this] { OKButtonClick(); }); });
}

void TForm2::OKButtonClick()
{
    SetModalResult(mrOk);
    // Shown without a modal loop (as tests may), the result alone would not
    // close the window.
    if (isVisible())
        Close();
}

void TForm2::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OKButton->click();
        return;
    }
    TForm::keyPressEvent(e);
}
