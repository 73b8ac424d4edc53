#pragma once
// A panel rocker switch with a caption. The main window owns one as its
// connect switch; its checked state is what the program takes for connected.
// Like the panel switch it imitates, it flips as the mouse button goes down,
// before Click is raised on the release.
#include <QColor>
#include <QString>
#include <QWidget>

class TAbRockerSwitch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(QColor LampColor READ LampColor WRITE SetLampColor)
public:
    explicit TAbRockerSwitch(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // Setting it from code raises no Click.
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);
    // The lamp on the rocker, lit while checked.
    QColor LampColor() const { return lampColor_; }
    void SetLampColor(const QColor& color);

    // What a whole mouse click does (flip, Click, MouseUp), for the keyboard
    // and for assistive technology.
    void Press();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A press and release inside the switch.
    void Click();
    // Every release of a press that started on the switch.
    void MouseUp();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString caption_;
    bool checked_ = false;
    bool pressed_ = false;
    QColor fontColor_{Qt::black};
    QColor lampColor_{255, 40, 40};
};
