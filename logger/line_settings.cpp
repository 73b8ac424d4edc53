#include "logger/line_settings.h"

#include "serial/comport.h"

void SetLoggerLineSettings(TCustomComPort& port)
{
    port.SetBaudRate(br115200);
    port.SetDataBits(dbEight);
    port.SetStopBits(sbOneStopBit);
    port.Parity()->SetBits(prNone);
    port.SetDiscardNull(true);
    port.FlowControl()->SetOutCTSFlow(false);
    port.FlowControl()->SetOutDSRFlow(false);
    port.FlowControl()->SetControlDTR(dtrDisable);
    port.FlowControl()->SetControlRTS(rtsDisable);
    port.FlowControl()->SetXonXoffOut(false);
    port.FlowControl()->SetXonXoffIn(false);
    port.Timeouts()->SetReadInterval(1);
}

void OpenLoggerLine(TCustomComPort& port)
{
    port.FlowControl()->SetControlRTS(rtsEnable);
    port.OpenPort();
}

void CloseLoggerLine(TCustomComPort& port)
{
    if (!port.Connected())
        return;
    try {
        port.FlowControl()->SetControlRTS(rtsDisable);
    } catch (const EComPort&) {
    }
    try {
        port.ClosePort();
    } catch (const EComPort&) {
    }
}
