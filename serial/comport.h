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
//
// Where the component lives: this class in comport.cpp; its errors in
// comerror.*; its setting groups in comsettings.*; the open device with our
// input buffer, shared with the event thread, in comlink.*; the event thread
// in comthread.*; the value types in comtypes.*; every system call in
// backend_posix.cpp behind backend.h; the port list in ports.*.
#include "serial/comerror.h"
#include "serial/comsettings.h"
#include "serial/comtypes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class TComThread;

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
