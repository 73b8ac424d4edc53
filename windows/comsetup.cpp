#include "windows/comsetup.h"

#include "platform/application.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    // `activated` is the user's pick; selections made in code do not store.
    connect(this, &QComboBox::activated, this, [this] { Application::Guard([&] { picked(); }); });
}

void TComComboBox::SetComPort(TCustomComPort* port)
{
    if (select_.ComPort == port)
        return;
    disconnect(destroyedConnection_);
    select_.ComPort = port;
    if (port) {
        destroyedConnection_ = connect(port, &QObject::destroyed, this, [this] {
            select_.ComPort = nullptr;
            if (count() > 0)
                setCurrentIndex(0);
        });
        ShowPortValue();
    }
}

void TComComboBox::SetComProperty(TComProperty property)
{
    select_.ComProperty = property;
    FillChoices();
}

void TComComboBox::FillChoices()
{
    const QStringList items = TComSelect::Choices(select_.ComProperty);
    clear();
    addItems(items);
    if (count() == 0)
        return;
    if (!select_.ComPort)
        setCurrentIndex(0);
    else
        ShowPortValue();
}

QString TComComboBox::Text() const
{
    return currentIndex() >= 0 ? currentText() : QString();
}

void TComComboBox::SetText(const QString& text)
{
    int i = findText(text, Qt::MatchFixedString);
    if (i >= 0)
        setCurrentIndex(i);
}

void TComComboBox::ShowPortValue()
{
    if (!select_.ComPort)
        return;
    const int i = findText(select_.PortValueText(), Qt::MatchFixedString);
    setCurrentIndex(i);
    if (i >= 0)
        select_.StoreFromText(itemText(i));
}

void TComComboBox::ApplyToPort()
{
    select_.ApplyToPort();
}

void TComComboBox::picked()
{
    select_.StoreFromText(Text());
    if (select_.AutoApply)
        ApplyToPort();
}

// ---------------------------------------------------------------------------

TComSetupFrm::TComSetupFrm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComSetupFrm"));
    setWindowTitle(QStringLiteral("Setup"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);
    setFixedSize(231, 216);

    GroupBox1 = new QGroupBox(QStringLiteral(" Settings "), this);
    GroupBox1->setGeometry(8, 8, 217, 169);

    auto label = [this](int top, const char* caption) {
        auto* l = new QLabel(QString::fromLatin1(caption), GroupBox1);
        l->move(8, top);
        l->adjustSize();
        return l;
    };
    Label1 = label(24, "Port");
    Label2 = label(48, "Baud rate");
    Label3 = label(72, "Data bits");
    Label4 = label(96, "Stop bits");
    Label5 = label(120, "Parity");
    Label6 = label(144, "Flow control");

    auto combo = [this](int top, TComProperty property, const char* name) {
        auto* c = new TComComboBox(GroupBox1);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(80, top, 129, 21);
        c->SetComProperty(property);
        return c;
    };
    Combo1 = combo(16, cpPort, "Combo1");
    Combo2 = combo(40, cpBaudRate, "Combo2");
    Combo3 = combo(64, cpDataBits, "Combo3");
    Combo4 = combo(88, cpStopBits, "Combo4");
    Combo5 = combo(112, cpParity, "Combo5");
    Combo6 = combo(136, cpFlowControl, "Combo6");

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(70, 184, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setGeometry(150, 184, 75, 25);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(Combo1, Combo2);
    setTabOrder(Combo2, Combo3);
    setTabOrder(Combo3, Combo4);
    setTabOrder(Combo4, Combo5);
    setTabOrder(Combo5, Combo6);
    setTabOrder(Combo6, Button1);
    setTabOrder(Button1, Button2);
}

TComComboBox* TComSetupFrm::Combo(int index) const
{
    TComComboBox* combos[] = {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6};
    return index >= 1 && index <= 6 ? combos[index - 1] : nullptr;
}

void TCustomComPort::ShowPortSetup()
{
    // The port list is read here; a failure leaves before any dialog shows.
    TComSetupFrm dialog;
    for (int i = 1; i <= 6; ++i)
        dialog.Combo(i)->SetComPort(this);
    for (int i = 1; i <= 6; ++i)
        dialog.Combo(i)->ShowPortValue();
    if (dialog.exec() != QDialog::Accepted)
        return;
    BeginSettingsChange();
    try {
        for (int i = 1; i <= 6; ++i)
            dialog.Combo(i)->ApplyToPort();
    } catch (...) {
        EndSettingsChange();
        throw;
    }
    EndSettingsChange();
}
