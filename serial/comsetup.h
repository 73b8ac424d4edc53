#pragma once
// The port setup dialog and its parts: combo boxes bound to one property of
// a port each, their companion that holds the picked values, and the text
// conversions both use. TCustomComPort::ShowPortSetup runs the dialog.
#include "serial/comport.h"

#include <QComboBox>
#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QPushButton;

enum TComProperty { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// Display texts, in enumeration order.
QString BaudRateToText(TBaudRate value);
QString DataBitsToText(TDataBits value);
QString StopBitsToText(TStopBits value);
QString ParityToText(TParityBits value);
QString FlowControlToText(TFlowControl value);

// Text to value: the first member whose display text matches, ignoring the
// case of A to Z; with no match br9600, dbEight, sbOneStopBit, prNone and
// fcCustom respectively.
TBaudRate BaudRateFromText(const QString& text);
TDataBits DataBitsFromText(const QString& text);
TStopBits StopBitsFromText(const QString& text);
TParityBits ParityFromText(const QString& text);
TFlowControl FlowControlFromText(const QString& text);

// The companion of a TComComboBox: the bound port, the property, the
// AutoApply flag and one stored value per property kind. Owned by its
// combo box; it holds no widget, so its rules are testable on their own.
class TComSelect {
public:
    // The item list for a property; cpPort lists the serial ports (EComPort
    // 23 when they cannot be enumerated).
    static QStringList Choices(TComProperty property);

    // The display text of the bound port's current value of the property.
    QString PortValueText() const;
    // Stores the value an item's text stands for (cpPort: the text itself).
    void StoreFromText(const QString& text);
    // Writes the stored value of the property into the bound port.
    void ApplyToPort();

    QPointer<TCustomComPort> ComPort;
    TComProperty ComProperty = cpNone;
    bool AutoApply = false;

    QString Port;
    TBaudRate BaudRate = brCustom;
    TDataBits DataBits = dbFive;
    TStopBits StopBits = sbOneStopBit;
    TParityBits Parity = prNone;
    TFlowControl FlowControl = fcHardware;
};

// A drop-down list (pick only, no typing) bound to one property of a port.
// Owned by its parent window; the port is only referenced, and unbinds
// itself when the port is destroyed.
class TComComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComComboBox(QWidget* parent = nullptr);

    TCustomComPort* ComPort() const { return select_.ComPort; }
    void SetComPort(TCustomComPort* port);
    TComProperty ComProperty() const { return select_.ComProperty; }
    void SetComProperty(TComProperty property);
    bool AutoApply() const { return select_.AutoApply; }
    void SetAutoApply(bool value) { select_.AutoApply = value; }

    // The selected item's text; setting it selects the item with that text
    // (ignoring case) if there is one and otherwise changes nothing.
    QString Text() const;
    void SetText(const QString& text);

    void ShowPortValue();
    void ApplyToPort();
    const TComSelect& Select() const { return select_; }

private:
    void FillChoices();
    void picked();

    TComSelect select_;
    QMetaObject::Connection destroyedConnection_;
};

// The modal setup dialog: port, baud rate, data bits, stop bits, parity and
// flow control. Exists only while ShowPortSetup runs.
class TComSetupFrm : public QDialog {
    Q_OBJECT
public:
    explicit TComSetupFrm(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    TComComboBox* Combo1;
    TComComboBox* Combo2;
    TComComboBox* Combo3;
    TComComboBox* Combo4;
    TComComboBox* Combo5;
    TComComboBox* Combo6;
    QPushButton* Button1;
    QPushButton* Button2;

    TComComboBox* Combo(int index) const;  // 1 to 6
};
