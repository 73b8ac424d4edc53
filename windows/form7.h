#pragma once
// The Sampling rate window: picking one of four intervals sends the logger
// its rate command at once, while connected. Created once at start-up into
// Form7, shown modally by the main window; every opening starts unselected.
#include "toolkit/form.h"

class QLabel;
class QPushButton;
class TRadioGroup;

class TForm7 : public TForm {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // The command that selects the interval of an item; empty for no item.
    static QByteArray RateCommand(int itemIndex);

    QLabel* Label1;
    TRadioGroup* RadioGroup1;
    QPushButton* BitBtn1;

    void RadioGroup1Click();
    void BitBtn1Click();

protected:
    void FormActivate() override;
    // Enter and Return press the default button, as in a dialog.
    void keyPressEvent(QKeyEvent* e) override;
};

extern TForm7* Form7;
