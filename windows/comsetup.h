#pragma once
// The port setup dialog: combo boxes bound to one property of a port each,
// over the widget-free companion of serial/comselect.h. It sits with the
// windows, so the port component itself needs no widget;
// TCustomComPort::ShowPortSetup is defined here and runs the dialog.
#include "serial/comselect.h"

#include <QComboBox>
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

// A drop-down list (pick only, no typing) bound to one property of a port.
// Owned by its parent window; the port is only referenced, and unbinds
// itself when the port is destroyed.
class TComComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComComboBox(QWidget* parent = nullptr);

    TCustomComPort* ComPort() const { return select_.ComPort; }
    void SetComPort(TCustomComPort* port);
    void SetComProperty(TComProperty property);
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
