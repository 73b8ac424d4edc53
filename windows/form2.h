#pragma once
// The About window: names the software, its version and its maker. Created
// once at start-up into Form2, owned by the program, shown modally by the main
// window's about button; closing only hides it.
#include "toolkit/form.h"

class TPanel;
class QLabel;
class QPushButton;

// The maker's web address: the one address the About window, the main
// window's about button and the Help text all name.
QString MakerWebAddress();
// An address in capitals with a blank between its characters, as the About
// window's banner writes it: "W W W . M ...".
QString SpacedCapitals(const QString& text);

class TForm2 : public TForm {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    TPanel* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Label4;
    QLabel* Version;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Comments;
    QLabel* Copyright;
    QLabel* Label3;
    QPushButton* OKButton;

    void OKButtonClick();

protected:
    // Enter and Return press the default button, as in a dialog.
    void keyPressEvent(QKeyEvent* e) override;
};

extern TForm2* Form2;
