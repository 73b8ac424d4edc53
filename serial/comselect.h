#pragma once
// What the port setup picks from, apart from any widget: the display texts
// of the settings, the conversions from a picked text back to a value, and
// the companion that holds one picked value per property and writes it into
// a port. The dialog itself (windows/comsetup.h) and any other front end use
// them alike.
#include "serial/comport.h"

#include <QPointer>
#include <QStringList>

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
