#include "serial/comselect.h"

#include "serial/ports.h"

namespace {

const QStringList& BaudRateTexts()
{
    static const QStringList texts{QStringLiteral("Custom"), QStringLiteral("110"),    QStringLiteral("300"),    QStringLiteral("600"),
                                   QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),   QStringLiteral("9600"),
                                   QStringLiteral("14400"),  QStringLiteral("19200"),  QStringLiteral("38400"),  QStringLiteral("56000"),
                                   QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("128000"), QStringLiteral("256000")};
    return texts;
}
const QStringList& DataBitsTexts()
{
    static const QStringList texts{QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
    return texts;
}
const QStringList& StopBitsTexts()
{
    static const QStringList texts{QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
    return texts;
}
const QStringList& ParityTexts()
{
    static const QStringList texts{QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("Mark"), QStringLiteral("Space")};
    return texts;
}
const QStringList& FlowControlTexts()
{
    static const QStringList texts{QStringLiteral("Hardware"), QStringLiteral("Software"), QStringLiteral("None"), QStringLiteral("Custom")};
    return texts;
}

// Only the letters A to Z are folded, as the texts are plain ASCII.
bool SameTextAscii(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= 'a' && x <= 'z')
            x = static_cast<char16_t>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char16_t>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

template <typename E>
E FromText(const QStringList& texts, const QString& text, E fallback)
{
    for (int i = 0; i < texts.size(); ++i) {
        if (SameTextAscii(texts[i], text))
            return static_cast<E>(i);
    }
    return fallback;
}

}  // namespace

QString BaudRateToText(TBaudRate value) { return BaudRateTexts().value(value); }
QString DataBitsToText(TDataBits value) { return DataBitsTexts().value(value); }
QString StopBitsToText(TStopBits value) { return StopBitsTexts().value(value); }
QString ParityToText(TParityBits value) { return ParityTexts().value(value); }
QString FlowControlToText(TFlowControl value) { return FlowControlTexts().value(value); }

TBaudRate BaudRateFromText(const QString& text) { return FromText(BaudRateTexts(), text, br9600); }
TDataBits DataBitsFromText(const QString& text) { return FromText(DataBitsTexts(), text, dbEight); }
TStopBits StopBitsFromText(const QString& text) { return FromText(StopBitsTexts(), text, sbOneStopBit); }
TParityBits ParityFromText(const QString& text) { return FromText(ParityTexts(), text, prNone); }
TFlowControl FlowControlFromText(const QString& text) { return FromText(FlowControlTexts(), text, fcCustom); }

// ---------------------------------------------------------------------------

QStringList TComSelect::Choices(TComProperty property)
{
    switch (property) {
    case cpNone: return {};
    case cpPort: {
        QStringList ports;
        ListSerialPorts(ports);
        return ports;
    }
    case cpBaudRate: return BaudRateTexts();
    case cpDataBits: return DataBitsTexts();
    case cpStopBits: return StopBitsTexts();
    case cpParity: return ParityTexts();
    case cpFlowControl: return FlowControlTexts();
    }
    return {};
}

QString TComSelect::PortValueText() const
{
    if (!ComPort)
        return {};
    switch (ComProperty) {
    case cpNone: return {};
    case cpPort: return ComPort->Port();
    case cpBaudRate: return BaudRateToText(ComPort->BaudRate());
    case cpDataBits: return DataBitsToText(ComPort->DataBits());
    case cpStopBits: return StopBitsToText(ComPort->StopBits());
    case cpParity: return ParityToText(ComPort->Parity()->Bits());
    case cpFlowControl: return FlowControlToText(ComPort->FlowControl()->FlowControl());
    }
    return {};
}

void TComSelect::StoreFromText(const QString& text)
{
    switch (ComProperty) {
    case cpNone: break;
    case cpPort: Port = text; break;
    case cpBaudRate: BaudRate = BaudRateFromText(text); break;
    case cpDataBits: DataBits = DataBitsFromText(text); break;
    case cpStopBits: StopBits = StopBitsFromText(text); break;
    case cpParity: Parity = ParityFromText(text); break;
    case cpFlowControl: FlowControl = FlowControlFromText(text); break;
    }
}

void TComSelect::ApplyToPort()
{
    if (!ComPort)
        return;
    switch (ComProperty) {
    case cpNone: break;
    case cpPort: ComPort->SetPort(Port); break;
    case cpBaudRate: ComPort->SetBaudRate(BaudRate); break;
    case cpDataBits: ComPort->SetDataBits(DataBits); break;
    case cpStopBits: ComPort->SetStopBits(StopBits); break;
    case cpParity: ComPort->Parity()->SetBits(Parity); break;
    case cpFlowControl: ComPort->FlowControl()->SetFlowControl(FlowControl); break;
    }
}
