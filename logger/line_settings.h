#pragma once
// The line to the logger as both front ends set it: 115200 8N1, no
// handshake, DTR low, RTS low at rest (raised while connected by the
// caller), NUL bytes dropped, reads ended by a 1 ms gap.
class TCustomComPort;

void SetLoggerLineSettings(TCustomComPort& port);
