#pragma once
// The virtual-ports folder: symbolic links in it that point to character
// devices (a pty made by socat, or the logger simulator's) are listed as
// serial ports beside the real ones. $VELTRA8_PORTS_DIR overrides it, so
// tests and several simulators can keep their own.
#include <QString>

QString VirtualPortsFolder();
