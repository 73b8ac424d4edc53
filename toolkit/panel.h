#pragma once
// A plain panel framed by up to two bevels, an outer and an inner one, each
// raised, lowered or absent; it is the frame behind the About window's texts.
// Owned by the window that creates it, like any child widget.
#include <QColor>
#include <QWidget>

#include "toolkit/bevel.h"

class TPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);

    TBevelStyle BevelOuter() const { return outer_; }
    void SetBevelOuter(TBevelStyle bevel);
    TBevelStyle BevelInner() const { return inner_; }
    void SetBevelInner(TBevelStyle bevel);
    int BevelWidth() const { return width_; }
    void SetBevelWidth(int width);
    // An invalid colour (the default) paints with the window's own colour.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TBevelStyle outer_ = TBevelStyle::Raised;
    TBevelStyle inner_ = TBevelStyle::None;
    int width_ = 1;
    QColor color_;
};
