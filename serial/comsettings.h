#pragma once
// The port's setting groups: parity, flow control, time-outs and queue
// sizes. Each is created and owned by its port (serial/comport.h) and asks
// it to re-apply its block of settings when a value changes; one made
// without a port only holds values, as a source for assignment.
#include "serial/comtypes.h"

class TCustomComPort;

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
