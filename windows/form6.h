#pragma once
// The Chart window: the downloaded samples of the eight channels as eight
// coloured lines, each of which can be hidden, with copy, print and hints
// on zooming and scrolling. Created once at start-up (Form6), shown modally
// by "GRAFICAR"; every opening reads the Downloaded data window's grid anew.
// It owns its chart, which owns the series.
#include "toolkit/form.h"

#include <QString>

#include <array>
#include <functional>

class QCheckBox;
class TAbColBitBtn;
class TAbGradient;
class TChart;
class TLineSeries;

class TForm6 : public TForm {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;

    // Where the fill reads from: the download buffer's line count and the
    // grid's cell texts (column, row). By default Form1->RichEdit1 and
    // Form5->StringGrid1; tests give their own. An empty function restores
    // the default.
    void SetSources(std::function<int()> lineCount, std::function<QString(int col, int row)> cell);

    // The chart fill: every series cleared and refilled from the grid. Public
    // so that a fill can be run and its failures seen without showing the
    // window; as a handler it runs once per opening.
    void FormActivate() override;

    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void CheckBox5Click();
    void CheckBox6Click();
    void CheckBox7Click();
    void CheckBox8Click();
    void AbColBitBtn1Click();  // "Copiar"
    void AbColBitBtn2Click();  // "Zoom"
    void AbColBitBtn3Click();  // "Mover"
    void AbColBitBtn4Click();  // "Imprimir"

    // The hint texts of "Zoom" and "Mover".
    static QString ZoomHint();
    static QString ScrollHint();

    TAbGradient* AbGradient1;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QCheckBox* CheckBox5;
    QCheckBox* CheckBox6;
    QCheckBox* CheckBox7;
    QCheckBox* CheckBox8;
    TChart* Chart1;
    TLineSeries* Series1;
    TLineSeries* Series2;
    TLineSeries* Series3;
    TLineSeries* Series4;
    TLineSeries* Series5;
    TLineSeries* Series6;
    TLineSeries* Series7;
    TLineSeries* Series8;
    TAbColBitBtn* AbColBitBtn1;
    TAbColBitBtn* AbColBitBtn2;
    TAbColBitBtn* AbColBitBtn3;
    TAbColBitBtn* AbColBitBtn4;

    // Check box k - 1 and series k - 1, for code that goes over the channels.
    QCheckBox* CheckBox(int index) const { return checkBoxes_.at(static_cast<size_t>(index)); }

private:
    void checkBoxClick(int channel);
    TAbColBitBtn* placeButton(const QString& name, const QString& caption, int x);
    int lineCount() const;
    QString cell(int col, int row) const;

    std::array<QCheckBox*, 8> checkBoxes_{};
    std::function<int()> lineCount_;
    std::function<QString(int, int)> cell_;
};

extern TForm6* Form6;
