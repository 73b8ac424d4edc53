// The About and Help windows.
#include "toolkit/panel.h"
#include "tests/support/modal.h"
#include "tests/support/printers.h"
#include "tests/support/program.h"
#include "widgets/abcolbitbtn.h"
#include "windows/form2.h"
#include "windows/form3.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTest>

namespace {

using AboutWindow = ProgramTest;
using HelpWindow = ProgramTest;

TEST_F(AboutWindow, EnterClosesItWithOk_WhereverTheFocusIs)
{
    for (bool onButton : {false, true}) {
        AnswerNextModal([onButton](QWidget* w) {
            auto* about = qobject_cast<TForm2*>(w);
            ASSERT_NE(about, nullptr);
            CloseLaterIfStillOpen(about);
            if (onButton)
                about->OKButton->setFocus();
            else
                about->OKButton->clearFocus();
            QTest::keyClick(onButton ? static_cast<QWidget*>(about->OKButton) : about, Qt::Key_Return);
        });
        EXPECT_EQ(Form2->ShowModal(), mrOk) << "focus on button " << onButton;
    }
}

TEST_F(AboutWindow, EveryTextFitsInsideThePanel)
{
    for (QLabel* label : Form2->Panel1->findChildren<QLabel*>())
        EXPECT_LE(label->geometry().right(), Form2->Panel1->width() - 2) << label->text().toStdString();
    EXPECT_EQ(Form2->Label2->text(), "W W W . M E R I D A X . C O M");
}

// The banner, the address line, the main window's about button and the Help
// text all name one address.
TEST_F(AboutWindow, OneWebAddressThroughout)
{
    const QString address = Form2->Label3->text();
    EXPECT_EQ(address, "www.meridax.com");
    EXPECT_EQ(Form2->Label2->text().remove(QLatin1Char(' ')).toLower(), address);
    EXPECT_EQ(Form1->AbColBitBtn5->TextOff(), address);
    EXPECT_EQ(Form3->Memo1->document()->findBlockByNumber(3).text(), "bits de " + address + ".");
}

// The memo's text at start, written out byte for byte: the odd spacing, the
// typos and the masculine ordinal sign (C2 BA) are the program's own.
const char ExpectedHelp[] =
    "                   VELTRA8 -  DATALOGGER DE 8 CANALES DE 12 BITS\n"
    "\n"
    "Este software permite la descarga de datos de Llos loggers de 8 canales de  12 \n"
    "bits de www.meridax.com.\n"
    "El uso de este programa es muy sencillo:\n"
    "\n"
    "*Conecte el cable INTERFASE al logger.\n"
    "*Conecte el cable INTERFASE a la PC puerto serial libre disponible.\n"
    "*Ejecute el software.\n"
    "*Seleccione el puerto serial  (COM 1,2,3,4,5, etc) donde fue conectado el logger.\n"
    "*Haga click en Ok\n"
    "*Haga click en conectar. Aguarde 2 segundos y ver\xC3\xA1 los canales del logger \"ON\n"
    "LINE\".\n"
    "\n"
    "Tambi\xC3\xA9n ver\xC3\xA1 las posiciones de memoria utilizadas y los datos de fecha \n"
    "reportados por el logger y los de la PC que est\xC3\xA1 usando.\n"
    "Haciendo click en descargar podr\xC3\xB1" "a ver los datos descargados y ver un gr\xC3\xA1" "fico\n"
    "preliminar.\n"
    "Podr\xC3\xA1 ver asimismo la tasa de muestreo, fecha y hora de inicio de logeo.\n"
    "El canal 1 es para temperatura de aire. Los canales 2 a 6 son de temperatura de\n"
    "agua. Puede registrar datos entre -40 y + 125 \xC2\xBA" "C.\n"
    "\n"
    "Los tiempos de muestreo son de 15,30 y 60 minutos.\n"
    "Ingresando a \"Cambio de tasa\" podr\xC3\xA1 cambiar la misma.";

TEST_F(HelpWindow, TextByteForByte)
{
    EXPECT_EQ(Form3->Memo1->toPlainText().toUtf8(), QByteArray(ExpectedHelp));
    EXPECT_EQ(Form3->Memo1->document()->blockCount(), 24);
}

TEST_F(HelpWindow, EditsSurviveClosingAndReopening)
{
    AnswerNextModal([](QWidget* w) {
        auto* help = qobject_cast<TForm3*>(w);
        ASSERT_NE(help, nullptr);
        // The window is shown before the platform activates it and the focus
        // lands; on a loaded machine that takes a while.
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == help->Memo1; }, 5000))
            << "the focus is on " << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "nothing");
        help->Memo1->moveCursor(QTextCursor::Start);
        QTest::keyClicks(help->Memo1, QStringLiteral("NOTA "));
        help->Close();
    });
    Form3->ShowModal();
    AnswerNextModal([](QWidget* w) { w->close(); });
    Form3->ShowModal();
    EXPECT_EQ(Form3->Memo1->toPlainText().toUtf8(), QByteArray("NOTA ") + ExpectedHelp);
}

}  // namespace
