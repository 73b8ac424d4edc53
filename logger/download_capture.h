#pragma once
// The download capture: the request that starts the logger's transfer, the
// clear step that drops whatever arrived before it, and the capture of the
// transfer into the download buffer up to the lone end marker. The windows
// and the command-line client both run their downloads through it; each
// front end paces the steps with its own timers and keeps its own download
// mode, which is why this class holds the port and the buffer, not a state.
#include <QByteArray>

class TCustomComPort;
class TDownloadBuffer;

class TDownloadCapture {
public:
    // The logger needs this long between the request and the start command.
    static constexpr int RequestPauseMs = 1000;
    // The clear step's timer; it cannot fire before the start command is
    // written, since the windows block through the request pause.
    static constexpr int ClearStepMs = 450;

    TDownloadCapture(TCustomComPort& port, TDownloadBuffer& buffer) : port_(port), buffer_(buffer) {}

    // Discards the port's input queue, empties the buffer and writes "8",
    // or "E" for a forced full download.
    void Request(bool full);
    // Writes "X", after the request pause.
    void StartTransfer();
    // The clear step's discard: the port's input queue and the buffer are
    // emptied, so only what arrives afterwards is kept.
    void Discard();

    enum class Chunk { Appended, EndMarker };
    // Reads the `count` characters a notification reports. A chunk that is
    // exactly "A" ends the download: "A" is appended and "x" written.
    // Anything else is appended exactly as received.
    Chunk Capture(int count);

private:
    TCustomComPort& port_;
    TDownloadBuffer& buffer_;
};
