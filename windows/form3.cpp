#include "windows/form3.h"

#include "widgets/abgradient.h"
#include "windows/form2.h"
#include "windows/look.h"

#include <QPalette>
#include <QPlainTextEdit>

TForm3* Form3 = nullptr;

QStringList TForm3::HelpLines()
{
    return {
        QStringLiteral("                   VELTRA8 -  DATALOGGER DE 8 CANALES DE 12 BITS"),
        QStringLiteral(""),
        QStringLiteral("Este software permite la descarga de datos de Llos loggers de 8 canales de  12 "),
        QStringLiteral("bits de ") + MakerWebAddress() + QLatin1Char('.'),
        QStringLiteral("El uso de este programa es muy sencillo:"),
        QStringLiteral(""),
        QStringLiteral("*Conecte el cable INTERFASE al logger."),
        QStringLiteral("*Conecte el cable INTERFASE a la PC puerto serial libre disponible."),
        QStringLiteral("*Ejecute el software."),
        QStringLiteral("*Seleccione el puerto serial  (COM 1,2,3,4,5, etc) donde fue conectado el logger."),
        QStringLiteral("*Haga click en Ok"),
        QStringLiteral("*Haga click en conectar. Aguarde 2 segundos y verá los canales del logger \"ON"),
        QStringLiteral("LINE\"."),
        QStringLiteral(""),
        QStringLiteral("También verá las posiciones de memoria utilizadas y los datos de fecha "),
        QStringLiteral("reportados por el logger y los de la PC que está usando."),
        QStringLiteral("Haciendo click en descargar podrña ver los datos descargados y ver un gráfico"),
        QStringLiteral("preliminar."),
        QStringLiteral("Podrá ver asimismo la tasa de muestreo, fecha y hora de inicio de logeo."),
        QStringLiteral("El canal 1 es para temperatura de aire. Los canales 2 a 6 son de temperatura de"),
        QStringLiteral("agua. Puede registrar datos entre -40 y + 125 ºC."),
        QStringLiteral(""),
        QStringLiteral("Los tiempos de muestreo son de 15,30 y 60 minutos."),
        QStringLiteral("Ingresando a \"Cambio de tasa\" podrá cambiar la misma."),
    };
}

TForm3::TForm3(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Ayuda soble el uso del programa"));
    setFont(ArialPixels(11));
    SetOuterSize(430, 361);
    CenterOnDesktop();

    AbGradient1 = new TAbGradient(this);
    AbGradient1->setObjectName(QStringLiteral("AbGradient1"));
    AbGradient1->SetGradient(false);
    AbGradient1->setGeometry(rect());

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(1, 25, 418, 295);
    Memo1->setFont(ArialPixels(11));
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
    Memo1->setPalette(pal);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setReadOnly(false);
    // Set once here and never again: what the user types stays until the
    // program ends, across every showing.
    Memo1->setPlainText(HelpLines().join(QLatin1Char('\n')));
    Memo1->setFocus();
}

void TForm3::resizeEvent(QResizeEvent* e)
{
    TForm::resizeEvent(e);
    AbGradient1->setGeometry(rect());
}
