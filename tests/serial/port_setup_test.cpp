// The setup dialog and its combo boxes.
#include "tests/serial/helpers.h"

#include "windows/comsetup.h"
#include "tests/support/modal.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

TComSetupFrm* Dialog(QWidget* w)
{
    return qobject_cast<TComSetupFrm*>(w);
}

// Picks an item as the user does, with its change notification.
void Pick(TComComboBox* combo, const QString& text)
{
    int i = combo->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

}  // namespace

TEST(ComComboBox, PortValueSelectsItsItemOrNothing)
{
    TComPort port;
    TComComboBox combo;
    combo.SetComProperty(cpBaudRate);
    EXPECT_EQ(combo.Text(), QStringLiteral("Custom"));  // unbound: first item
    port.SetBaudRate(br57600);
    combo.SetComPort(&port);
    EXPECT_EQ(combo.Text(), QStringLiteral("57600"));
    EXPECT_EQ(combo.Select().BaudRate, br57600);

    port.SetPort(QStringLiteral("/dev/veltra8-not-listed"));
    TComComboBox ports;
    ports.SetComProperty(cpPort);
    ports.SetComPort(&port);
    EXPECT_EQ(ports.currentIndex(), -1);
    EXPECT_EQ(ports.Select().Port, QString());
}

TEST(ComComboBox, SetTextSelectsOnlyExistingItems)
{
    TComComboBox combo;
    combo.SetComProperty(cpParity);
    combo.SetText(QStringLiteral("even"));
    EXPECT_EQ(combo.Text(), QStringLiteral("Even"));
    combo.SetText(QStringLiteral("Purple"));
    EXPECT_EQ(combo.Text(), QStringLiteral("Even"));
}

TEST(ComComboBox, PickAppliesOnlyWithAutoApply)
{
    TComPort port;
    TComComboBox combo;
    combo.SetComProperty(cpDataBits);
    combo.SetComPort(&port);
    Pick(&combo, QStringLiteral("7"));
    EXPECT_EQ(port.DataBits(), dbEight);
    combo.SetAutoApply(true);
    Pick(&combo, QStringLiteral("6"));
    EXPECT_EQ(port.DataBits(), dbSix);
}

TEST(ComComboBox, DestroyedPortIsUnbound)
{
    TComComboBox combo;
    combo.SetComProperty(cpStopBits);
    {
        TComPort port;
        port.SetStopBits(sbTwoStopBits);
        combo.SetComPort(&port);
        EXPECT_EQ(combo.Text(), QStringLiteral("2"));
    }
    EXPECT_EQ(combo.ComPort(), nullptr);
    EXPECT_EQ(combo.Text(), QStringLiteral("1"));
}

TEST(SetupDialog, HasTheControlsOfItsDefinition)
{
    TComSetupFrm dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Setup"));
    EXPECT_EQ(dialog.size(), QSize(231, 216));
    EXPECT_EQ(dialog.GroupBox1->title(), QStringLiteral(" Settings "));
    EXPECT_EQ(dialog.GroupBox1->geometry(), QRect(8, 8, 217, 169));
    QStringList labels;
    for (QLabel* l : {dialog.Label1, dialog.Label2, dialog.Label3, dialog.Label4, dialog.Label5, dialog.Label6})
        labels << l->text();
    EXPECT_EQ(labels, (QStringList{"Port", "Baud rate", "Data bits", "Stop bits", "Parity", "Flow control"}));
    EXPECT_EQ(dialog.Combo6->geometry(), QRect(80, 136, 129, 21));
    EXPECT_EQ(dialog.Combo2->count(), 16);
    EXPECT_EQ(dialog.Combo6->itemText(3), QStringLiteral("Custom"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.Button2->text(), QStringLiteral("Cancel"));
}

TEST(ShowPortSetup, MainWindowPortShowsItsValuesAndOkAppliesThePicks)
{
    PortsFolder folder;
    PtyPair pty;
    const QString link = folder.Link(QStringLiteral("VELTRA"), pty.SlavePath());
    TComPort port;
    ConfigureAsMainWindowPort(port, link);
    QStringList shown;
    AnswerNextModal([&](QWidget* w) {
        TComSetupFrm* d = Dialog(w);
        ASSERT_NE(d, nullptr);
        for (int i = 1; i <= 6; ++i)
            shown << d->Combo(i)->Text();
        Pick(d->Combo2, QStringLiteral("9600"));
        Pick(d->Combo5, QStringLiteral("Even"));
        d->Button1->click();
    });
    port.ShowPortSetup();
    EXPECT_EQ(shown, (QStringList{link, "115200", "8", "1", "None", "None"}));
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.Parity()->Bits(), prEven);
    EXPECT_EQ(port.Port(), link);
    EXPECT_EQ(port.SettingsChangeDepth(), 0);
}

TEST(ShowPortSetup, CancelChangesNothingEvenAfterPicks)
{
    PortsFolder folder;
    TComPort port;
    port.FlowControl()->SetControlRTS(rtsEnable);
    AnswerNextModal([&](QWidget* w) {
        TComSetupFrm* d = Dialog(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Combo6->Text(), QStringLiteral("Custom"));
        Pick(d->Combo2, QStringLiteral("300"));
        Pick(d->Combo6, QStringLiteral("Hardware"));
        d->Button2->click();
    });
    port.ShowPortSetup();
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.FlowControl()->ControlRTS(), rtsEnable);
    EXPECT_EQ(port.Port(), QStringLiteral("/dev/ttyS0"));
}

TEST(ShowPortSetup, OkOnAnOpenPortAppliesOnceAndReopensOnANewDevice)
{
    PortsFolder folder;
    PtyPair a;
    PtyPair b;
    const QString first = folder.Link(QStringLiteral("A"), a.SlavePath());
    const QString second = folder.Link(QStringLiteral("B"), b.SlavePath());
    TComPort port;
    ConfigureAsMainWindowPort(port, first);
    port.OpenPort();
    NotificationLog log;
    log.Attach(port);
    AnswerNextModal([&](QWidget* w) {
        TComSetupFrm* d = Dialog(w);
        ASSERT_NE(d, nullptr);
        Pick(d->Combo1, second);
        Pick(d->Combo3, QStringLiteral("7"));
        d->Button1->click();
    });
    port.ShowPortSetup();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.Port(), second);
    EXPECT_EQ(port.DataBits(), dbSeven);
    EXPECT_EQ(log.entries, kCloseSequence + kOpenSequence);
}

TEST(ShowPortSetup, UnopenableNewDeviceRaises1AndEndsTheBracket)
{
    PortsFolder folder;
    PtyPair a;
    PtyPair b;
    const QString first = folder.Link(QStringLiteral("A"), a.SlavePath());
    const QString busy = folder.Link(QStringLiteral("B"), b.SlavePath());
    TComPort holder;
    holder.SetPort(busy);
    holder.OpenPort();
    TComPort port;
    port.SetPort(first);
    port.OpenPort();
    AnswerNextModal([&](QWidget* w) {
        TComSetupFrm* d = Dialog(w);
        ASSERT_NE(d, nullptr);
        Pick(d->Combo1, busy);
        Pick(d->Combo2, QStringLiteral("300"));
        d->Button1->click();
    });
    EXPECT_EQ(CaughtComError([&] { port.ShowPortSetup(); }).ErrorNumber, 1);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.BaudRate(), br9600) << "the remaining lists are not applied";
    EXPECT_EQ(port.SettingsChangeDepth(), 0);
}
