#pragma once
// The line to the logger as both front ends set it: 115200 8N1, no
// handshake, DTR low, RTS low at rest (raised while connected by the
// caller), NUL bytes dropped, reads ended by a 1 ms gap.
class TCustomComPort;

void SetLoggerLineSettings(TCustomComPort& port);

// Opens the port with RTS raised, as the windows do it: set before opening.
// Raises EComPort when the port cannot be opened.
void OpenLoggerLine(TCustomComPort& port);
// Drops RTS and closes the port, if open. A vanished device refuses the RTS
// change; it is closed all the same, and nothing is raised.
void CloseLoggerLine(TCustomComPort& port);
