#pragma once
// The Clock set window: warns that setting the logger's clock empties its
// memory, and on confirmation leaves the main window a clock-set request.
// Created once at start-up into Form8, shown non-modally by the main window.
#include "toolkit/form.h"

class QLabel;
class QPushButton;

class TForm8 : public TForm {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* e) override;
};

extern TForm8* Form8;
