#include "windows/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {

// The sixteen colours of the classic palette; the picture uses nothing else,
// so it keeps its old hard-edged look at any scale.
const QColor Black(0, 0, 0);
const QColor Green(0, 128, 0);
const QColor Navy(0, 0, 128);
const QColor Teal(0, 128, 128);
const QColor Silver(192, 192, 192);
const QColor Gray(128, 128, 128);
const QColor Red(255, 0, 0);
const QColor Lime(0, 255, 0);
const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);

void drawLogger(QPainter& p)
{
    // The logger: a teal case with a dark display, eight channel sockets and
    // a serial lead leaving on the left.
    p.fillRect(1, 12, 20, 18, Black);
    p.fillRect(2, 13, 18, 16, Teal);
    p.fillRect(2, 13, 18, 1, Silver);
    p.fillRect(2, 13, 1, 16, Silver);
    p.fillRect(4, 15, 14, 6, Black);
    for (int x = 5; x < 17; x += 3) {
        p.fillRect(x, 17, 2, 1, Lime);
        p.fillRect(x, 19, 2, 1, Lime);
    }
    for (int i = 0; i < 4; ++i) {
        p.fillRect(4 + i * 4, 23, 2, 2, Yellow);
        p.fillRect(4 + i * 4, 26, 2, 2, Navy);
    }
    p.fillRect(0, 18, 1, 8, Gray);
}

void drawThermometer(QPainter& p)
{
    // The thermometer: a white tube with a red column, scale marks and a bulb.
    p.fillRect(22, 1, 7, 24, Black);
    p.fillRect(23, 2, 5, 22, White);
    p.fillRect(24, 9, 3, 16, Red);
    for (int y = 4; y < 24; y += 4)
        p.fillRect(29, y, 2, 1, Black);
    p.setPen(Black);
    p.setBrush(Red);
    p.drawEllipse(QRect(20, 22, 10, 9));
    p.fillRect(23, 24, 2, 2, Yellow);
    p.fillRect(24, 2, 1, 6, Silver);
}

}  // namespace

QImage ProgramIconImage()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawLogger(p);
    drawThermometer(p);
    p.fillRect(3, 30, 18, 1, Gray);
    p.end();
    return image;
}

QIcon ProgramIcon()
{
    QImage image = ProgramIconImage();
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image));
    icon.addPixmap(QPixmap::fromImage(image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return icon;
}

QIcon CheckMarkGlyph()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Green, 2);
    p.setPen(pen);
    p.drawLine(2, 8, 6, 12);
    p.drawLine(6, 12, 13, 3);
    p.end();
    return QIcon(QPixmap::fromImage(image));
}
