#pragma once
// The virtual-ports folder: symbolic links in it that point to a pty's port
// end (one made by socat, or the logger simulator's) or to a serial line are
// listed as serial ports beside the real ones. $VELTRA8_PORTS_DIR overrides
// it, so tests and several simulators can keep their own; otherwise it is
// $XDG_RUNTIME_DIR/veltra8-ports, or /tmp/veltra8-ports-<uid>. Anyone may
// create a name in /tmp first and plant links there, so that last one is
// used only when it is the user's own.
#include <QString>

// The folder, or an empty string when there is none to use. The reason,
// which names the folder, is then put in `why` when given, and otherwise
// said on standard error.
QString VirtualPortsFolder(QString* why = nullptr);

// `path` when it is a folder that belongs to this user and that nobody else
// may write, created so (mode 0700) when missing; otherwise an empty string,
// with the reason given as VirtualPortsFolder gives it. A link to a folder
// does not count.
QString OwnPortsFolder(const QString& path, QString* why = nullptr);
