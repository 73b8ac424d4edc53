// The setting groups' copying, their setters, and the flow-control
// shorthand. A changed value is handed to the owning port to re-apply.
#include "serial/comsettings.h"

#include "serial/comport.h"

void TComPersistent::Assign(const TComPersistent& source)
{
    AssignError(source);
}

void TComPersistent::AssignError(const TComPersistent& source) const
{
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(QLatin1String(source.ClassName()), QLatin1String(ClassName())));
}

void TComParity::changed()
{
    if (port_)
        port_->ApplyLineSettings();
}

void TComParity::Assign(const TComPersistent& source)
{
    auto* p = dynamic_cast<const TComParity*>(&source);
    if (!p)
        AssignError(source);
    bits_ = p->bits_;
    check_ = p->check_;
    replace_ = p->replace_;
    replaceChar_ = p->replaceChar_;
}

#define COM_SETTER(Class, Name, Type, field)   \
    void Class::Set##Name(Type value)          \
    {                                          \
        if (field == value)                    \
            return;                            \
        field = value;                         \
        changed();                             \
    }

COM_SETTER(TComParity, Bits, TParityBits, bits_)
COM_SETTER(TComParity, Check, bool, check_)
COM_SETTER(TComParity, Replace, bool, replace_)
COM_SETTER(TComParity, ReplaceChar, char, replaceChar_)

void TComFlowControl::changed()
{
    if (port_)
        port_->ApplyLineSettings();
}

void TComFlowControl::Assign(const TComPersistent& source)
{
    auto* f = dynamic_cast<const TComFlowControl*>(&source);
    if (!f)
        AssignError(source);
    outCTSFlow_ = f->outCTSFlow_;
    outDSRFlow_ = f->outDSRFlow_;
    controlDTR_ = f->controlDTR_;
    controlRTS_ = f->controlRTS_;
    xonXoffOut_ = f->xonXoffOut_;
    xonXoffIn_ = f->xonXoffIn_;
    dsrSensitivity_ = f->dsrSensitivity_;
    txContinueOnXoff_ = f->txContinueOnXoff_;
    xonChar_ = f->xonChar_;
    xoffChar_ = f->xoffChar_;
}

COM_SETTER(TComFlowControl, OutCTSFlow, bool, outCTSFlow_)
COM_SETTER(TComFlowControl, OutDSRFlow, bool, outDSRFlow_)
COM_SETTER(TComFlowControl, ControlDTR, TDTRFlowControl, controlDTR_)
COM_SETTER(TComFlowControl, ControlRTS, TRTSFlowControl, controlRTS_)
COM_SETTER(TComFlowControl, XonXoffOut, bool, xonXoffOut_)
COM_SETTER(TComFlowControl, XonXoffIn, bool, xonXoffIn_)
COM_SETTER(TComFlowControl, DSRSensitivity, bool, dsrSensitivity_)
COM_SETTER(TComFlowControl, TxContinueOnXoff, bool, txContinueOnXoff_)
COM_SETTER(TComFlowControl, XonChar, char, xonChar_)
COM_SETTER(TComFlowControl, XoffChar, char, xoffChar_)

#undef COM_SETTER

TFlowControl TComFlowControl::FlowControl() const
{
    if (controlRTS_ == rtsHandshake && outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_)
        return fcHardware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffIn_ && xonXoffOut_)
        return fcSoftware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && !xonXoffIn_ && !xonXoffOut_)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value)
{
    if (value != fcCustom) {
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffIn_ = false;
        xonXoffOut_ = false;
    }
    if (value == fcHardware) {
        controlRTS_ = rtsHandshake;
        outCTSFlow_ = true;
    } else if (value == fcSoftware) {
        xonXoffIn_ = true;
        xonXoffOut_ = true;
    }
    changed();
}

void TComTimeouts::Assign(const TComPersistent& source)
{
    auto* t = dynamic_cast<const TComTimeouts*>(&source);
    if (!t)
        AssignError(source);
    readInterval_ = t->readInterval_;
    readTotalMultiplier_ = t->readTotalMultiplier_;
    readTotalConstant_ = t->readTotalConstant_;
    writeTotalMultiplier_ = t->writeTotalMultiplier_;
    writeTotalConstant_ = t->writeTotalConstant_;
}

void TComTimeouts::set(int& field, int value)
{
    if (field == value)
        return;
    field = value;
    if (port_)
        port_->ApplyTimeoutSettings();
}

void TComTimeouts::SetReadInterval(int value) { set(readInterval_, value); }
void TComTimeouts::SetReadTotalMultiplier(int value) { set(readTotalMultiplier_, value); }
void TComTimeouts::SetReadTotalConstant(int value) { set(readTotalConstant_, value); }
void TComTimeouts::SetWriteTotalMultiplier(int value) { set(writeTotalMultiplier_, value); }
void TComTimeouts::SetWriteTotalConstant(int value) { set(writeTotalConstant_, value); }

void TComBuffer::Assign(const TComPersistent& source)
{
    auto* b = dynamic_cast<const TComBuffer*>(&source);
    if (!b)
        AssignError(source);
    inputSize_ = b->inputSize_;
    outputSize_ = b->outputSize_;
}

void TComBuffer::set(int& field, int value)
{
    if (field == value)
        return;
    // The driver's queues come in even sizes.
    field = (value > 0 && value % 2 == 1) ? value - 1 : value;
    if (port_)
        port_->ApplyBufferSizes();
}

void TComBuffer::SetInputSize(int value) { set(inputSize_, value); }
void TComBuffer::SetOutputSize(int value) { set(outputSize_, value); }
