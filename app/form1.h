#pragma once
// The main window: the program's only link to the logger. It owns the serial
// port, the frame accumulator and the download buffer, shows the live frames
// and opens every other window. Created once at start-up (Form1).
#include "toolkit/form.h"
#include "serial/comtypes.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTimer;
class TAbClock;
class TAbColBitBtn;
class TAbGradient;
class TAbLED;
class TAbRockerSwitch;
class TAbVBar;
class TAbValueInd;
class TComPort;
class TDownloadBuffer;
class TDownloadCapture;
class TGauge;
class TRadioGroup;

class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    TAbGradient* AbGradient1;
    TAbRockerSwitch* AbRockerSwitch1;
    TAbColBitBtn* AbColBitBtn1;  // " REPORTADO POR EL LOGGER" lamp
    TAbColBitBtn* AbColBitBtn2;  // clock set window
    TAbColBitBtn* AbColBitBtn3;  // sampling rate window
    TAbColBitBtn* AbColBitBtn4;  // download
    TAbColBitBtn* AbColBitBtn5;  // about
    TAbColBitBtn* AbColBitBtn6;  // help
    TAbColBitBtn* AbColBitBtn7;  // "CANALES EN LINEA" lamp
    TAbColBitBtn* AbColBitBtn8;  // live thermometers window
    QLineEdit* Edit1;            // memory positions used
    QLineEdit* Edit3;            // logger time
    QLineEdit* Edit4;            // logger date
    TAbLED* AbLED1;              // receive lamp
    std::array<TAbValueInd*, 8> AbValueInd;  // AbValueInd1 .. AbValueInd8
    TAbVBar* AbVBar1;            // battery
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    TRadioGroup* RadioGroup1;    // rate reported by the logger
    TGauge* Gauge1;              // activity pie
    QCheckBox* CheckBox1;        // "Forzar descarga completa"
    TAbClock* AbClock1;          // PC time
    TAbClock* AbClock2;          // PC date
    QFrame* Splitter1;

    // Hidden working fields: the frame accumulator and the download buffer.
    QByteArray Edit2;
    TDownloadBuffer* RichEdit1;

    TComPort* ComPort1;
    QTimer* Timer2;  // 450 ms, download clear step
    QTimer* Timer3;  // 100 ms, clock-set step

    // Handlers, named after their control and event.
    void AbRockerSwitch1Click();
    void AbRockerSwitch1MouseUp();
    void ComPort1RxChar(QObject* Sender, int Count);
    void ComPort1Error(QObject* Sender, TComErrors Errors);
    void AbColBitBtn2Click();
    void AbColBitBtn3Click();
    void AbColBitBtn4Click();
    void AbColBitBtn5Click();
    void AbColBitBtn6Click();
    void AbColBitBtn8Click();
    void Timer2Timer();
    void Timer3Timer();

    // Procedures of the window.
    void DESCARGAR(int Count);
    void HORAAPIC();

    // Frames taken and frames dropped as unreadable since start-up.
    int FramesParsed() const { return framesParsed_; }
    int FramesDropped() const { return framesDropped_; }

signals:
    // The program ends when the main window closes.
    void MainWindowClosed();

protected:
    void FormActivate() override;
    void FormClose() override;

private:
    void createControls();
    void configurePort();
    void parseAndShowFrame();
    void setConnectedLook(bool connected);
    void dropRtsAndClose();

    // The download's request, clear step and capture, on ComPort1 and RichEdit1.
    std::unique_ptr<TDownloadCapture> capture_;
    int framesParsed_ = 0;
    int framesDropped_ = 0;
    // The port reported its device as vanished since the last connect.
    bool deviceGone_ = false;
};

extern TForm1* Form1;
