#pragma once
// The Help window: a fixed Spanish text on using the program, in an editable
// memo whose edits last until the program ends. Created once at start-up into
// Form3, shown modally by the main window's help button.
#include "toolkit/form.h"

#include <QStringList>

class QPlainTextEdit;
class TAbGradient;

class TForm3 : public TForm {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // The memo's text as the program starts, one entry per line.
    static QStringList HelpLines();

    TAbGradient* AbGradient1;
    QPlainTextEdit* Memo1;

protected:
    void resizeEvent(QResizeEvent* e) override;
};

extern TForm3* Form3;
