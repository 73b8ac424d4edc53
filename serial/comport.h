#pragma once
// The serial port component: one object per serial device the program talks
// to. It opens the device exclusively, turns its properties into line
// settings, watches the line on an event thread (serial/comthread.h) that
// hands each batch of events to the port's thread, and offers blocking
// writes and reads of byte strings.
//
// Linux names and mapping:
//  - Port names are device paths. The default is "/dev/ttyS0", the first
//    on-board UART (the counterpart of COM1); OpenPort takes any path:
//    "/dev/ttyUSB0", "/dev/ttyACM0", a pty slave, or a link in the
//    virtual-ports folder (platform/ports_folder.h).
//  - The open is exclusive: flock(LOCK_EX | LOCK_NB) plus TIOCEXCL, so a
//    second open of the same device, from this process or another, fails
//    with error 1 (flock is what stops root, for whom TIOCEXCL does not).
//  - The line settings go to the device in one call, both rates together,
//    and are read back: a driver that made something else of them (a rate
//    more than 2 % off, parity, stop bits, data bits or handshake dropped)
//    raises error 7 and the device keeps its previous settings. A pty
//    always reads back 8 data bits without parity; that is not a failure.
//  - 1.5 stop bits set the UART's two-stop-bit setting, which sends 1.5
//    with 5 data bits and 2 with more (the nearest it has).
//  - OutCTSFlow alone turns on the kernel's combined hardware handshake
//    (CRTSCTS), which also drives RTS as input flow control, as
//    rtsHandshake does; the kernel has no CTS-only handshake.
//  - DTR handshake has no Linux equivalent: DTR is raised. RTS toggle is
//    sent as RTS raised. OutDSRFlow holds writes while DSR is low, on
//    devices that have modem lines; DSRSensitivity and TxContinueOnXoff
//    are kept in the block but the line discipline offers neither.
//  - Parity.Check with Parity.Replace has the kernel mark bytes received
//    with a parity or framing error (PARMRK); the read path puts
//    ReplaceChar in their place. A break still reads as a NUL.
//  - SendText returns when its bytes have left the port (drained), within
//    the write time-outs; what had not left by then is discarded and not
//    counted. Closing never discards what a write reported as sent.
//  - DiscardNull drops NUL bytes in our own read path, before they are
//    counted (QueuedInputCount, OnRxChar's Count) or read.
//  - A device without modem lines (a pty) reads all its lines as off; its
//    line-error counters as empty. Neither is a failure.
//  - The platform code carried by an EComPort is errno.
#include "platform/errors.h"
#include "serial/comtypes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class TCustomComPort;
class TComThread;

// Error numbers of EComPort; the texts are ComErrorText's.
namespace ComError {
inline constexpr int OpenFailed = 1;
inline constexpr int WriteFailed = 2;
inline constexpr int ReadFailed = 3;
inline constexpr int InvalidAsync = 4;
inline constexpr int PurgeFailed = 5;
inline constexpr int AsyncStatus = 6;
inline constexpr int SetStateFailed = 7;
inline constexpr int TimeoutsFailed = 8;
inline constexpr int SetupFailed = 9;
inline constexpr int ClearErrorFailed = 10;
inline constexpr int ModemStatusFailed = 11;
inline constexpr int EscapeFailed = 12;
inline constexpr int TransmitFailed = 13;
inline constexpr int PropertyWhileConnected = 14;
inline constexpr int EnumPortsFailed = 15;
inline constexpr int StoreFailed = 16;
inline constexpr int LoadFailed = 17;
inline constexpr int LinkFailed = 18;
inline constexpr int LedState = 19;
inline constexpr int ThreadCreated = 20;
inline constexpr int WaitFailed = 21;
inline constexpr int HasLink = 22;
inline constexpr int RegistryError = 23;
}  // namespace ComError

// The fixed text of an error number (1 to 23); empty for any other number.
QString ComErrorText(int errorNumber);

// The one failure type of the serial link. The message is the number's text,
// followed by " (win error code: %d)" with SystemError when the failure has a
// platform code (errno here); SystemError is -1 when it has none.
class EComPort : public Exception {
public:
    explicit EComPort(int errorNumber, int systemError = -1);
    int ErrorNumber;
    int SystemError;
};

// Base of the setting groups: copying between groups of the same class
// copies every field; between different classes it is refused with the
// runtime's "Cannot assign a %s to a %s" conversion failure.
class TComPersistent {
public:
    virtual ~TComPersistent() = default;
    virtual const char* ClassName() const = 0;
    virtual void Assign(const TComPersistent& source);
    TCustomComPort* ComPort() const { return port_; }

protected:
    explicit TComPersistent(TCustomComPort* port) : port_(port) {}
    [[noreturn]] void AssignError(const TComPersistent& source) const;
    TCustomComPort* port_;
};

// Parity settings. Owned by the port (or free-standing, port nullptr, as a
// source for assignment); setters re-apply the line settings of an open port.
class TComParity : public TComPersistent {
public:
    explicit TComParity(TCustomComPort* port = nullptr) : TComPersistent(port) {}
    const char* ClassName() const override { return "TComParity"; }
    void Assign(const TComPersistent& source) override;

    TParityBits Bits() const { return bits_; }
    void SetBits(TParityBits value);
    bool Check() const { return check_; }
    void SetCheck(bool value);
    bool Replace() const { return replace_; }
    void SetReplace(bool value);
    char ReplaceChar() const { return replaceChar_; }
    void SetReplaceChar(char value);

private:
    void changed();
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    char replaceChar_ = 0;
};

// Flow-control settings and the FlowControl shorthand over them. Owned by
// the port; setters re-apply the line settings of an open port.
class TComFlowControl : public TComPersistent {
public:
    explicit TComFlowControl(TCustomComPort* port = nullptr) : TComPersistent(port) {}
    const char* ClassName() const override { return "TComFlowControl"; }
    void Assign(const TComPersistent& source) override;

    bool OutCTSFlow() const { return outCTSFlow_; }
    void SetOutCTSFlow(bool value);
    bool OutDSRFlow() const { return outDSRFlow_; }
    void SetOutDSRFlow(bool value);
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    void SetControlDTR(TDTRFlowControl value);
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    void SetControlRTS(TRTSFlowControl value);
    bool XonXoffOut() const { return xonXoffOut_; }
    void SetXonXoffOut(bool value);
    bool XonXoffIn() const { return xonXoffIn_; }
    void SetXonXoffIn(bool value);
    bool DSRSensitivity() const { return dsrSensitivity_; }
    void SetDSRSensitivity(bool value);
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void SetTxContinueOnXoff(bool value);
    char XonChar() const { return xonChar_; }
    void SetXonChar(char value);
    char XoffChar() const { return xoffChar_; }
    void SetXoffChar(char value);

    // fcHardware, fcSoftware or fcNone when the fields say exactly that,
    // otherwise fcCustom. Writing it sets the fields of the shorthand
    // (fcCustom sets none) and always re-applies the line settings.
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl value);

private:
    void changed();
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = dtrDisable;
    TRTSFlowControl controlRTS_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    char xonChar_ = 0x11;
    char xoffChar_ = 0x13;
};

// The five read and write time-outs in milliseconds (-1 stands for the
// all-ones value). Owned by the port; setters re-apply them when open.
class TComTimeouts : public TComPersistent {
public:
    explicit TComTimeouts(TCustomComPort* port = nullptr) : TComPersistent(port) {}
    const char* ClassName() const override { return "TComTimeouts"; }
    void Assign(const TComPersistent& source) override;

    int ReadInterval() const { return readInterval_; }
    void SetReadInterval(int value);
    int ReadTotalMultiplier() const { return readTotalMultiplier_; }
    void SetReadTotalMultiplier(int value);
    int ReadTotalConstant() const { return readTotalConstant_; }
    void SetReadTotalConstant(int value);
    int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    void SetWriteTotalMultiplier(int value);
    int WriteTotalConstant() const { return writeTotalConstant_; }
    void SetWriteTotalConstant(int value);

private:
    void set(int& field, int value);
    int readInterval_ = -1;
    int readTotalMultiplier_ = 0;
    int readTotalConstant_ = 0;
    int writeTotalMultiplier_ = 100;
    int writeTotalConstant_ = 1000;
};

// Recommended queue sizes in bytes; a positive odd value is stored one
// lower. Owned by the port; setters re-apply them when open.
class TComBuffer : public TComPersistent {
public:
    explicit TComBuffer(TCustomComPort* port = nullptr) : TComPersistent(port) {}
    const char* ClassName() const override { return "TComBuffer"; }
    void Assign(const TComPersistent& source) override;

    int InputSize() const { return inputSize_; }
    void SetInputSize(int value);
    int OutputSize() const { return outputSize_; }
    void SetOutputSize(int value);

private:
    void set(int& field, int value);
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

// All behaviour of a serial port. Lives on, and is called from, one thread
// (the GUI thread in the program), which also runs the handlers under
// smThreadSync. Owned by whoever creates it (the main window owns ComPort1);
// destruction closes the port.
class TCustomComPort : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TRxCharEvent = std::function<void(QObject* Sender, int Count)>;
    using TRxBufEvent = std::function<void(QObject* Sender, const char* Buffer, int Count)>;
    using TComSignalEvent = std::function<void(QObject* Sender, bool OnOff)>;
    using TComErrorEvent = std::function<void(QObject* Sender, TComErrors Errors)>;

    explicit TCustomComPort(QObject* owner = nullptr);
    ~TCustomComPort() override;

    // Operations. Every failure raises EComPort.
    void OpenPort();
    void ClosePort();
    int SendText(const QByteArray& text);
    int ReceiveText(QByteArray& text, int count);
    void PurgeBuffers(bool input, bool output);
    int QueuedInputCount();
    TComSignals ModemLines();
    TComErrors PendingLineErrors();
    void BeginSettingsChange();
    void EndSettingsChange();
    // The modal setup dialog. It lives with the windows (windows/comsetup.cpp),
    // so a program without windows neither links nor calls it.
    void ShowPortSetup();

    // Loading from a stored definition: between BeginLoading and Loaded the
    // setters only store; Loaded opens the port if Connected was stored True.
    void BeginLoading();
    virtual void Loaded();
    bool IsLoading() const { return loading_; }

    // Properties.
    bool Connected() const { return connected_; }
    void SetConnected(bool value);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int value);
    QString Port() const { return port_; }
    void SetPort(const QString& value);
    TComParity* Parity() const { return parity_.get(); }
    void SetParity(const TComParity& value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value);
    char EventChar() const { return eventChar_; }
    void SetEventChar(char value);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value);
    TComBuffer* Buffer() const { return buffer_.get(); }
    void SetBuffer(const TComBuffer& value);
    TComFlowControl* FlowControl() const { return flowControl_.get(); }
    void SetFlowControl(const TComFlowControl& value);
    TComTimeouts* Timeouts() const { return timeouts_.get(); }
    void SetTimeouts(const TComTimeouts& value);
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod value);

    int SettingsChangeDepth() const { return updateCount_; }
    bool HasEventThread() const { return thread_ != nullptr; }

    // The line settings block the properties give now.
    TComDcb DeviceControlBlock() const;
    TComCommTimeouts CommTimeouts() const;

    // Handlers; each notification calls its handler only when assigned.
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRxFlag;
    TComErrorEvent OnError;
    TNotifyEvent OnRx80Full;

    // Applies buffer sizes, line settings and time-outs, in this order; each
    // does nothing while closed, loading or inside a settings bracket.
    virtual void ApplyAllSettings();

protected:
    virtual void CreateHandle();
    virtual void DestroyHandle();

    virtual void DoAfterClose();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoBeforeOpen();
    virtual void DoRxChar(int count);
    virtual void DoRxBuf(const char* buffer, int count);
    virtual void DoTxEmpty();
    virtual void DoBreak();
    virtual void DoRing();
    virtual void DoRxFlag();
    virtual void DoCTSChange(bool onOff);
    virtual void DoDSRChange(bool onOff);
    virtual void DoError(TComErrors errors);
    virtual void DoRLSDChange(bool onOff);
    virtual void DoRx80Full();

    virtual void ApplyLineSettings();
    virtual void ApplyTimeoutSettings();
    virtual void ApplyBufferSizes();

private:
    friend class TComParity;
    friend class TComFlowControl;
    friend class TComTimeouts;
    friend class TComBuffer;
    friend class TComThread;
    struct Link;

    bool mayApply() const;
    // The processing step of one batch of line events, in its fixed order.
    void ProcessComEvents(TComEvents events);
    void stopThread();

    bool connected_ = false;
    bool loading_ = false;
    bool storedConnected_ = false;
    TBaudRate baudRate_ = br9600;
    int customBaudRate_ = 9600;
    QString port_ = QStringLiteral("/dev/ttyS0");
    std::unique_ptr<TComParity> parity_;
    TStopBits stopBits_ = sbOneStopBit;
    TDataBits dataBits_ = dbEight;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TComEvents events_ = AllComEvents;
    std::unique_ptr<TComBuffer> buffer_;
    std::unique_ptr<TComFlowControl> flowControl_;
    std::unique_ptr<TComTimeouts> timeouts_;
    TSyncMethod syncMethod_ = smThreadSync;
    int updateCount_ = 0;
    bool closing_ = false;  // a ClosePort is under way
    bool triggersOnRxChar_ = true;

    std::unique_ptr<Link> link_;  // the open device and our input buffer
    std::unique_ptr<TComThread> thread_;
};

// Publishes the port's properties; adds nothing else.
class TComPort : public TCustomComPort {
    Q_OBJECT
public:
    using TCustomComPort::TCustomComPort;
};
