#pragma once
// A round panel lamp, lit or out. The main window owns one as its receive
// lamp.
#include <QColor>
#include <QWidget>

class TAbLED : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
public:
    explicit TAbLED(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    void SetChecked(bool lit);
    // The lit colour; the unlit tone follows from it.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool checked_ = false;
    QColor color_{255, 0, 0};
};
