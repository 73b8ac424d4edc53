#include "app/form1.h"

#include "app/flags.h"
#include "data/download_buffer.h"
#include "windows/form5.h"
#include "logger/commands.h"
#include "logger/download_capture.h"
#include "logger/line_settings.h"
#include "logger/live_frame.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/formats.h"
#include "toolkit/gauge.h"
#include "toolkit/radio_group.h"
#include "serial/comport.h"
#include "widgets/abclock.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abgradient.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"
#include "widgets/fonts.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form7.h"
#include "windows/form8.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <exception>

TForm1* Form1 = nullptr;

namespace {

const QString CaptionConnect = QStringLiteral("CONECTAR");
const QString CaptionDisconnect = QStringLiteral("DESCONECTAR");

void colour(QWidget* w, const QColor& text, const QColor& background)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Window, background);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLineEdit* loggerField(QWidget* parent, const QString& name, const QString& text, const QString& hint,
    const QColor& textColour, bool readOnly)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setToolTip(hint);
    e->setReadOnly(readOnly);
    e->setFont(ArialPixels(13, true));
    e->setAlignment(Qt::AlignCenter);
    colour(e, textColour, Qt::black);
    return e;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : TForm(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VELTRA 8  V 3.8 -- 8 CANALES  DE TEMPERATURA"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    SetOuterSize(556, 495);
    setFixedSize(size());
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(8);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::red);
    setPalette(p);

    RichEdit1 = new TDownloadBuffer;

    ComPort1 = new TComPort(this);
    configurePort();
    capture_ = std::make_unique<TDownloadCapture>(*ComPort1, *RichEdit1);

    Timer2 = new QTimer(this);
    Timer2->setInterval(TDownloadCapture::ClearStepMs);
    connect(Timer2, &QTimer::timeout, this, [this] { Application::Guard([this] { Timer2Timer(); }); });
    Timer3 = new QTimer(this);
    Timer3->setInterval(100);
    connect(Timer3, &QTimer::timeout, this, [this] { Application::Guard([this] { Timer3Timer(); }); });

    createControls();
    CenterOnDesktop();
}

TForm1::~TForm1()
{
    Application::Guard([this] {
        if (ComPort1->Connected())
            ComPort1->ClosePort();
    });
    delete RichEdit1;
}

void TForm1::configurePort()
{
    // The logger's line as both front ends set it; RTS is raised while
    // connected.
    ComPort1->SetPort(QStringLiteral("/dev/ttyS0"));
    SetLoggerLineSettings(*ComPort1);
    ComPort1->OnRxChar = [this](QObject* sender, int count) { ComPort1RxChar(sender, count); };
    ComPort1->OnError = [this](QObject* sender, TComErrors errors) { ComPort1Error(sender, errors); };
}

void TForm1::createControls()
{
    AbGradient1 = new TAbGradient(this);
    AbGradient1->setObjectName(QStringLiteral("AbGradient1"));
    AbGradient1->setGeometry(rect());
    AbGradient1->lower();

    Splitter1 = new QFrame(this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setFrameShape(QFrame::VLine);
    Splitter1->setFrameShadow(QFrame::Sunken);
    Splitter1->setGeometry(276, 0, 4, height());

    AbRockerSwitch1 = new TAbRockerSwitch(this);
    AbRockerSwitch1->setObjectName(QStringLiteral("AbRockerSwitch1"));
    AbRockerSwitch1->setGeometry(360, 205, 91, 85);
    AbRockerSwitch1->SetCaption(CaptionConnect);
    AbRockerSwitch1->setToolTip(QStringLiteral("Conectar/desconectar con el logger"));
    connect(AbRockerSwitch1, &TAbRockerSwitch::Click, this, [this] { Application::Guard([this] { AbRockerSwitch1Click(); }); });
    connect(AbRockerSwitch1, &TAbRockerSwitch::MouseUp, this, [this] { Application::Guard([this] { AbRockerSwitch1MouseUp(); }); });

    auto button = [this](const char* name, QRect at, const QString& caption, const QString& hint) {
        auto* b = new TAbColBitBtn(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(at);
        b->SetCaption(caption);
        if (!hint.isEmpty())
            b->setToolTip(hint);
        return b;
    };
    AbColBitBtn1 = button("AbColBitBtn1", {60, 5, 166, 33}, QStringLiteral(" REPORTADO POR EL LOGGER"), {});
    AbColBitBtn7 = button("AbColBitBtn7", {9, 81, 151, 24}, QStringLiteral("      CANALES EN LINEA"), {});
    // The two lamps are indicators, not buttons.
    AbColBitBtn1->setAttribute(Qt::WA_TransparentForMouseEvents);
    AbColBitBtn7->setAttribute(Qt::WA_TransparentForMouseEvents);
    AbColBitBtn8 = button("AbColBitBtn8", {12, 324, 133, 25}, QStringLiteral("Indicadores gráficos"), {});
    AbColBitBtn3 = button("AbColBitBtn3", {135, 413, 130, 33}, QStringLiteral("   CAMBIO DE TASA"), QStringLiteral("Cambia la tasa de muestreo"));
    AbColBitBtn4 = button("AbColBitBtn4", {328, 5, 166, 33}, QStringLiteral("       DESCARGAR DATOS"), QStringLiteral("Descarga los datos del logger"));
    AbColBitBtn2 = button("AbColBitBtn2", {328, 70, 166, 33}, QStringLiteral("     FECHA Y HORA ACTUAL"), QStringLiteral("Transfiere fecha y hora al logger"));
    AbColBitBtn6 = button("AbColBitBtn6", {339, 309, 130, 33}, QStringLiteral("     VELTRA8"), QStringLiteral("Ayuda para el uso del programa"));
    AbColBitBtn5 = button("AbColBitBtn5", {308, 368, 214, 33}, MakerWebAddress(), QStringLiteral("Nuestra empresa"));
    auto onClick = [this](TAbColBitBtn* b, void (TForm1::*handler)()) {
        connect(b, &TAbColBitBtn::Click, this, [this, handler] { Application::Guard([this, handler] { (this->*handler)(); }); });
    };
    onClick(AbColBitBtn2, &TForm1::AbColBitBtn2Click);
    onClick(AbColBitBtn3, &TForm1::AbColBitBtn3Click);
    onClick(AbColBitBtn4, &TForm1::AbColBitBtn4Click);
    onClick(AbColBitBtn5, &TForm1::AbColBitBtn5Click);
    onClick(AbColBitBtn6, &TForm1::AbColBitBtn6Click);
    onClick(AbColBitBtn8, &TForm1::AbColBitBtn8Click);

    Edit4 = loggerField(this, QStringLiteral("Edit4"), QStringLiteral("DD/MM/AAAA"), QStringLiteral("Fecha reportada por el logger"), QColor(255, 0, 255), true);
    Edit4->setGeometry(30, 47, 91, 24);
    Edit3 = loggerField(this, QStringLiteral("Edit3"), QStringLiteral("HH:MM:SS"), QStringLiteral("Hora reportada por el logger"), QColor(255, 0, 255), true);
    Edit3->setGeometry(168, 48, 91, 24);
    Edit1 = loggerField(this, QStringLiteral("Edit1"), QStringLiteral("0000"), QStringLiteral("Cantidad de posiciones de memoria utilizadas"), QColor(0, 255, 0), false);
    Edit1->setGeometry(153, 374, 37, 24);

    AbLED1 = new TAbLED(this);
    AbLED1->setObjectName(QStringLiteral("AbLED1"));
    AbLED1->setGeometry(138, 42, 28, 34);

    for (int i = 0; i < 8; ++i) {
        auto* v = new TAbValueInd(this);
        v->setObjectName(QStringLiteral("AbValueInd%1").arg(i + 1));
        v->setGeometry(i % 2 == 0 ? 6 : 96, 127 + (i / 2) * 41, 70, 34);
        v->SetName1(QStringLiteral("CANAL %1").arg(i + 1));
        v->SetUnit(QStringLiteral("°C"));
        v->SetFormat(QStringLiteral("##0.0"));
        AbValueInd[static_cast<size_t>(i)] = v;
    }

    AbVBar1 = new TAbVBar(this);
    AbVBar1->setObjectName(QStringLiteral("AbVBar1"));
    AbVBar1->setGeometry(168, 104, 112, 221);
    AbVBar1->SetName1(QStringLiteral("NIVEL DE BATERIA:"));
    AbVBar1->SetName2(QStringLiteral("\"OK\""));
    AbVBar1->SetUnit(QStringLiteral("%"));
    AbVBar1->SetFormat(QStringLiteral("##0"));
    AbVBar1->setToolTip(QStringLiteral("Estado de las pilas reportado por el logger"));

    auto label = [this](const char* name, QRect at, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(at);
        return l;
    };
    Label2 = label("Label2", {150, 353, 107, 14}, QStringLiteral(" Memoria ocupada: "));
    colour(Label2, Qt::black, QColor(0, 255, 0));
    Label3 = label("Label3", {204, 377, 56, 14}, QStringLiteral(" Máx: 2000 "));
    colour(Label3, QColor(0, 255, 0), Qt::black);
    Label4 = label("Label4", {460, 128, 67, 14}, QStringLiteral("Fecha de PC"));
    Label1 = label("Label1", {462, 168, 60, 14}, QStringLiteral("Hora de PC"));

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(21, 356, 103, 87);
    RadioGroup1->SetItems({QStringLiteral("1  MINUTO"), QStringLiteral("15 MINUTOS"), QStringLiteral("30 MINUTOS"), QStringLiteral("60 MINUTOS")});
    RadioGroup1->setToolTip(QStringLiteral("Tasa de muestreo reportada por el logger"));

    Gauge1 = new TGauge(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(498, 6, 31, 28);
    Gauge1->SetMaxValue(50);
    Gauge1->SetProgress(0);
    Gauge1->hide();

    CheckBox1 = new QCheckBox(QStringLiteral("Forzar descarga completa"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(330, 44, 157, 17);

    AbClock2 = new TAbClock(this);
    AbClock2->setObjectName(QStringLiteral("AbClock2"));
    AbClock2->setGeometry(354, 121, 101, 28);
    AbClock2->SetMode(TAbClock::Date);
    AbClock1 = new TAbClock(this);
    AbClock1->setObjectName(QStringLiteral("AbClock1"));
    AbClock1->setGeometry(354, 163, 101, 28);
    AbClock1->SetMode(TAbClock::Time);
}

void TForm1::setConnectedLook(bool connected)
{
    AbRockerSwitch1->SetCaption(connected ? CaptionDisconnect : CaptionConnect);
    AbRockerSwitch1->SetChecked(connected);
    AbColBitBtn7->SetChecked(connected);
    AbColBitBtn1->SetChecked(connected);
}

void TForm1::FormActivate()
{
    UseLoggerFormats();
    Flags().DownloadMode = false;
    Gauge1->hide();
    if (!Flags().SkipPortSetup)
        ComPort1->ShowPortSetup();
}

void TForm1::FormClose()
{
    // The program ends with its window even when the port refused to let go
    // cleanly.
    try {
        dropRtsAndClose();
    } catch (...) {
        emit MainWindowClosed();
        throw;
    }
    emit MainWindowClosed();
}

void TForm1::dropRtsAndClose()
{
    // A device that has vanished refuses the RTS change; the port is closed
    // all the same, or neither the switch nor closing the window could ever
    // let go of it. Its refusal is no news once the vanish was reported.
    std::exception_ptr refused;
    try {
        ComPort1->FlowControl()->SetControlRTS(rtsDisable);
    } catch (...) {
        refused = std::current_exception();
    }
    ComPort1->ClosePort();
    setConnectedLook(false);
    if (refused && !deviceGone_)
        std::rethrow_exception(refused);
}

void TForm1::AbRockerSwitch1Click()
{
    Edit4->clear();
    Edit3->clear();
    Flags().DownloadMode = false;
    if (ComPort1->Connected()) {
        dropRtsAndClose();
        return;
    }
    deviceGone_ = false;
    ComPort1->FlowControl()->SetControlRTS(rtsEnable);
    try {
        ComPort1->OpenPort();
    } catch (...) {
        // The switch already flipped itself on the mouse press; a port that
        // did not open must not leave the program looking connected.
        setConnectedLook(false);
        throw;
    }
    setConnectedLook(true);
    Edit2.clear();
}

void TForm1::AbRockerSwitch1MouseUp()
{
    unsetCursor();
}

void TForm1::ComPort1RxChar(QObject* /*Sender*/, int Count)
{
    AbLED1->SetChecked(true);
    if (Flags().DownloadMode) {
        Gauge1->show();
        DESCARGAR(Count);
    } else {
        Gauge1->hide();
        QByteArray chunk;
        ComPort1->ReceiveText(chunk, Count);
        if (AddToFrame(Edit2, chunk)) {
            parseAndShowFrame();
            Edit2.clear();
        }
    }
    // Enabling the step must not restart it: under continuous traffic a
    // restart on every notification would hold the command back until the
    // line pauses.
    if (Flags().ClockSetRequest && !Timer3->isActive())
        Timer3->start();
}

void TForm1::ComPort1Error(QObject* /*Sender*/, TComErrors Errors)
{
    // The port reports a vanished device (a pulled adapter, a far end that
    // closed) once, as a device I/O error. Left unsaid, the indicators would
    // just freeze and a download would wait for ever. The box comes after
    // this batch of events, so the characters that arrived with the hang-up
    // are still captured first.
    if (!Errors.Contains(ceIO) || deviceGone_)
        return;
    deviceGone_ = true;
    // The port's own text for a read from a device that has gone.
    QTimer::singleShot(0, this, [] {
        Application::Guard([] { throw EComPort(ComError::ReadFailed, EIO); });
    });
}

void TForm1::parseAndShowFrame()
{
    std::optional<LiveFrame> frame = ParseLiveFrame(Edit2);
    if (!frame) {
        // A noisy line must not bury the user in dialogs: an unreadable
        // frame is dropped whole and the next one is shown.
        ++framesDropped_;
        return;
    }
    ++framesParsed_;
    AbLED1->SetChecked(false);
    Edit3->clear();
    Edit4->clear();
    for (size_t k = 0; k < 8; ++k) {
        float t = static_cast<float>(ChannelTemperature(frame->raw[k]));
        AbValueInd[k]->SetValue(t);
        if (Form4)
            Form4->AbThermometer[k]->SetValue(t);
    }
    Edit1->setText(MemoryText(frame->memoryHigh, frame->memoryLow));
    Edit4->setText(LoggerDateText(*frame));
    Edit3->setText(LoggerTimeText(*frame));
    AbVBar1->SetValue(BatteryLevel(frame->battery));
    switch (BatteryStateFor(AbVBar1->Value())) {
    case BatteryState::Ok:
        AbVBar1->SetBarColor(QColor(0, 255, 0));
        AbVBar1->SetFontColor(QColor(0, 255, 0));
        AbVBar1->SetName1(QStringLiteral("NIVEL DE BATERIA:"));
        AbVBar1->SetName2(QStringLiteral("\"OK\""));
        break;
    case BatteryState::Replace:
        AbVBar1->SetBarColor(QColor(255, 0, 0));
        AbVBar1->SetFontColor(Qt::white);
        AbVBar1->SetName1(QStringLiteral("REEMPLAZAR PILAS"));
        AbVBar1->SetName2(QStringLiteral("4 PILAS \"AA\""));
        break;
    case BatteryState::Unchanged:
        break;
    }
    int item = RateItemForCode(frame->rateCode);
    if (item >= 0)
        RadioGroup1->SetItemIndex(item);
}

void TForm1::AbColBitBtn4Click()
{
    Gauge1->show();
    if (Flags().DataDownloaded) {
        Form5->ShowModal();
        return;
    }
    RichEdit1->Clear();
    if (!AbRockerSwitch1->Checked())
        return;
    setCursor(Qt::WaitCursor);
    Timer2->start();
    capture_->Request(CheckBox1->isChecked());
    Flags().DownloadMode = true;
    // The logger needs a second between the request and the start command;
    // nothing else of the program runs meanwhile.
    QThread::msleep(TDownloadCapture::RequestPauseMs);
    capture_->StartTransfer();
    Gauge1->show();
}

void TForm1::Timer2Timer()
{
    capture_->Discard();
    Flags().DownloadMode = true;
    Timer2->stop();
    capture_->Discard();
}

void TForm1::DESCARGAR(int Count)
{
    if (capture_->Capture(Count) == TDownloadCapture::Chunk::EndMarker) {
        Flags().DownloadMode = false;
        Gauge1->hide();
        unsetCursor();
        AbColBitBtn4->SetTextOff(QStringLiteral("              VER DATOS"));
        AbColBitBtn4->SetTextOn(QStringLiteral("                VER DATOS"));
        Flags().DataDownloaded = true;
        Form5->ShowModal();
        return;
    }
    Gauge1->SetProgress(NextPieProgress(Gauge1->Progress(), Gauge1->MaxValue()));
}

void TForm1::Timer3Timer()
{
    Flags().ClockSetRequest = false;
    // Stopped before writing: a failing write is then reported once instead
    // of every 100 ms.
    Timer3->stop();
    HORAAPIC();
}

void TForm1::HORAAPIC()
{
    Edit2.clear();
    // The time and the date are two readings of the PC clock, as the texts
    // the command is made of are.
    const QDateTime timeReading = PcClock().Now();
    const QDateTime dateReading = PcClock().Now();
    for (const QByteArray& write : ClockSetWrites(timeReading, dateReading))
        ComPort1->SendText(write);
}

void TForm1::AbColBitBtn2Click()
{
    Form8->Show();
}

void TForm1::AbColBitBtn3Click()
{
    Form7->ShowModal();
}

void TForm1::AbColBitBtn5Click()
{
    Form2->ShowModal();
}

void TForm1::AbColBitBtn6Click()
{
    Form3->ShowModal();
}

void TForm1::AbColBitBtn8Click()
{
    Form4->Show();
}
