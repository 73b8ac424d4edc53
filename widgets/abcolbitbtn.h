#pragma once
// A coloured panel button with separate captions for its off and on looks.
// The windows own them as push buttons and, kept checked, as indicator lamps
// that light while connected. The captions are drawn exactly as given,
// leading blanks included, because the windows use them for placement.
#include <QColor>
#include <QString>
#include <QWidget>

#include "widgets/instrumentpaint.h"

class TAbColBitBtn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString TextOff READ TextOff WRITE SetTextOff)
    Q_PROPERTY(QString TextOn READ TextOn WRITE SetTextOn)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(QColor FaceColor READ FaceColor WRITE SetFaceColor)
    Q_PROPERTY(QColor FaceColorOn READ FaceColorOn WRITE SetFaceColorOn)
    Q_PROPERTY(QColor GradientFrom READ GradientFrom WRITE SetGradientFrom)
    Q_PROPERTY(QColor GradientTo READ GradientTo WRITE SetGradientTo)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(QColor FontColorOn READ FontColorOn WRITE SetFontColorOn)
    Q_PROPERTY(QColor LampColor READ LampColor WRITE SetLampColor)
public:
    explicit TAbColBitBtn(QWidget* parent = nullptr);

    // Sets both captions at once; Caption() reads the off caption.
    QString Caption() const { return textOff_; }
    void SetCaption(const QString& caption);
    QString TextOff() const { return textOff_; }
    void SetTextOff(const QString& text);
    QString TextOn() const { return textOn_; }
    void SetTextOn(const QString& text);
    // The caption drawn now: TextOn while checked or held down, else TextOff.
    QString ShownText() const;

    // The lit look; clicking never changes it, the windows do.
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    // Plain face colours for the off and lit looks.
    QColor FaceColor() const { return faceColor_; }
    void SetFaceColor(const QColor& color);
    QColor FaceColorOn() const { return faceColorOn_; }
    void SetFaceColorOn(const QColor& color);
    // A top-to-bottom gradient face instead of the plain off colour.
    bool Gradient() const { return gradient_; }
    void SetGradient(bool on);
    QColor GradientFrom() const { return gradientFrom_; }
    void SetGradientFrom(const QColor& color);
    QColor GradientTo() const { return gradientTo_; }
    void SetGradientTo(const QColor& color);

    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);

    // Caption font is the widget's font(); these are its colours.
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);
    QColor FontColorOn() const { return fontColorOn_; }
    void SetFontColorOn(const QColor& color);

    // A small round lamp at the left of the face, lit while checked; it sits
    // in the room the leading blanks of a caption leave.
    bool LampVisible() const { return lampVisible_; }
    void SetLampVisible(bool visible);
    QColor LampColor() const { return lampColor_; }
    void SetLampColor(const QColor& color);

    // What a mouse click does, for the keyboard and assistive technology.
    void Press();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void setDown(bool down);
    void captionChanged(const QString& before);

    QString textOff_;
    QString textOn_;
    bool checked_ = false;
    bool down_ = false;
    bool tracking_ = false;
    QColor faceColor_{212, 208, 200};
    QColor faceColorOn_{96, 230, 96};
    bool gradient_ = false;
    QColor gradientFrom_{240, 240, 240};
    QColor gradientTo_{105, 105, 105};
    int bevelWidth_ = 2;
    QColor fontColor_{Qt::black};
    QColor fontColorOn_{Qt::black};
    bool lampVisible_ = false;
    QColor lampColor_{0, 255, 0};
};
