// Renders every instrument, set up as the windows use them, into one picture
// (widgets_gallery.png in $VELTRA8_PNG_DIR, or the working directory) so a
// person can look at them together.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <cstdlib>

#include "platform/clock.h"
#include "toolkit/gauge.h"
#include "widgets/abclock.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abgradient.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"
#include "widgets/fonts.h"

namespace {

template <typename W>
W* place(QWidget* parent, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setGeometry(x, y, w, h);
    return widget;
}

}  // namespace

TEST(Gallery, EveryInstrument_RendersIntoOnePicture)
{
    FixedClock fixed(QDateTime(QDate(2022, 3, 7), QTime(14, 5, 9)));
    SetPcClock(&fixed);

    QWidget gallery;
    gallery.resize(900, 540);
    auto* back = place<TAbGradient>(&gallery, 0, 0, 900, 540);
    back->SetGradient(false);

    // The logger side, on black.
    auto* logger = new QWidget(back);
    logger->setGeometry(0, 0, 290, 460);
    logger->setAutoFillBackground(true);
    QPalette pal = logger->palette();
    pal.setColor(QPalette::Window, Qt::black);
    logger->setPalette(pal);

    auto* sw = place<TAbRockerSwitch>(logger, 180, 0, 91, 85);
    sw->SetCaption(QStringLiteral("DESCONECTAR"));
    sw->SetFontColor(Qt::white);
    sw->SetChecked(true);
    auto* reported = place<TAbColBitBtn>(logger, 5, 5, 166, 33);
    reported->SetCaption(QStringLiteral(" REPORTADO POR EL LOGGER"));
    reported->SetChecked(true);
    place<TAbLED>(logger, 138, 42, 28, 34)->SetChecked(true);
    place<TAbLED>(logger, 108, 42, 28, 34);
    auto* channels = place<TAbColBitBtn>(logger, 9, 81, 151, 24);
    channels->SetCaption(QStringLiteral("      CANALES EN LINEA"));
    channels->SetLampVisible(true);
    channels->SetChecked(true);
    const float temps[8] = {23.5f, -50.0f, 0.0f, 359.5f, 18.2f, 21.0f, -3.4f, 25.0f};
    for (int k = 0; k < 8; ++k) {
        auto* ind = place<TAbValueInd>(logger, k % 2 ? 96 : 6, 127 + (k / 2) * 41, 70, 34);
        ind->SetName1(QStringLiteral("CANAL %1").arg(k + 1));
        ind->SetUnit(QStringLiteral("°C"));
        ind->SetValue(temps[k]);
    }
    auto* battery = place<TAbVBar>(logger, 168, 104, 112, 221);
    battery->SetName1(QStringLiteral("REEMPLAZAR PILAS"));
    battery->SetName2(QStringLiteral("4 PILAS \"AA\""));
    battery->SetBarColor(QColor(255, 0, 0));
    battery->SetFontColor(Qt::white);
    battery->SetValue(40);
    auto* battery2 = new TAbVBar(back);
    battery2->setGeometry(300, 230, 112, 221);
    battery2->SetName1(QStringLiteral("NIVEL DE BATERIA:"));
    battery2->SetName2(QStringLiteral("\"OK\""));
    battery2->SetValue(88);
    auto* graphic = place<TAbColBitBtn>(logger, 12, 324, 133, 25);
    graphic->SetCaption(QStringLiteral("Indicadores gráficos"));
    auto* rate = place<TAbColBitBtn>(logger, 135, 413, 130, 33);
    rate->SetCaption(QStringLiteral("   CAMBIO DE TASA"));

    // The PC side.
    auto* download = place<TAbColBitBtn>(back, 328, 5, 166, 33);
    download->SetCaption(QStringLiteral("       DESCARGAR DATOS"));
    auto* pie = place<TGauge>(back, 498, 6, 31, 28);
    pie->SetMaxValue(50);
    pie->SetProgress(18);
    auto* clockSet = place<TAbColBitBtn>(back, 328, 70, 166, 33);
    clockSet->SetCaption(QStringLiteral("     FECHA Y HORA ACTUAL"));
    place<TAbClock>(back, 354, 121, 101, 28)->SetMode(TAbClock::Date);
    place<TAbClock>(back, 354, 163, 101, 28);

    // Chart window buttons on a gradient.
    auto* chartBack = place<TAbGradient>(back, 300, 470, 300, 60);
    chartBack->SetStartColor(Qt::white);
    chartBack->SetEndColor(QColor(192, 192, 192));
    int x = 8;
    for (const char* caption : {"Copiar", "Zoom", "Mover", "Imprimir"}) {
        auto* b = place<TAbColBitBtn>(chartBack, x, 8, 60, 23);
        b->SetCaption(QString::fromLatin1(caption));
        b->SetGradient(true);
        b->SetBevelWidth(4);
        b->setFont(ArialPixels(11, true));
        x += 70;
    }

    // Live thermometers.
    const QColor bars[4] = {QColor(0, 0, 255), QColor(255, 0, 0), QColor(0, 128, 0), QColor(255, 255, 0)};
    const float values[4] = {25.0f, 51.2f, -20.0f, 8.0f};
    for (int k = 0; k < 4; ++k) {
        auto* t = place<TAbThermometer>(back, 560 + (k % 2) * 84, 10 + (k / 2) * 160, 77, 150);
        t->SetScale(-10, 45);
        t->SetDigitalRange(0, 1500);
        t->SetMainSteps(3);
        t->SetSubSteps(3);
        t->SetScaleLine(false);
        t->SetName1(QStringLiteral("Canal %1").arg(k + 1));
        t->SetNameFont(ArialPixels(11, true));
        t->SetNameColor(QColor(0, 128, 128));
        QFont valueFont(QStringLiteral("System"));
        valueFont.setPixelSize(13);
        t->SetValueFont(valueFont);
        t->SetValueColor(Qt::blue);
        t->SetUnit(QStringLiteral("°C"));
        t->SetBarColor(bars[k]);
        t->SetValue(values[k]);
    }

    gallery.show();
    const QImage image = gallery.grab().toImage();
    SetPcClock(nullptr);

    const char* dir = std::getenv("VELTRA8_PNG_DIR");
    const QString path = QDir(dir && *dir ? QString::fromLocal8Bit(dir) : QDir::currentPath())
                             .filePath(QStringLiteral("widgets_gallery.png"));
    ASSERT_TRUE(image.save(path)) << path.toStdString();
    EXPECT_EQ(QImage(path).size(), QSize(900, 540));
}
