#pragma once
// The serial ports of this machine, as names OpenPort accepts: the serial
// devices present (USB-serial adapters, ACM modems, UARTs with a port behind
// them, as /dev paths found through sysfs) and every symbolic link in the
// virtual-ports folder (platform/ports_folder.h) that points to a serial
// line or to a pty's port end, listed by the link's own path.
#include <QStringList>

// Replaces the list's content with the port names, sorted case-insensitively
// in the collation of the user's locale (".../COM10" before ".../COM2"). A
// failure to enumerate raises EComPort 23.
void ListSerialPorts(QStringList& list);
