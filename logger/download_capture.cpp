#include "logger/download_capture.h"

#include "data/download_buffer.h"
#include "logger/commands.h"
#include "serial/comport.h"

void TDownloadCapture::Request(bool full)
{
    port_.PurgeBuffers(true, false);
    buffer_.Clear();
    port_.SendText(full ? Command::ForcedDownload : Command::Download);
}

void TDownloadCapture::StartTransfer()
{
    port_.SendText(Command::StartTransfer);
}

void TDownloadCapture::Discard()
{
    port_.PurgeBuffers(true, false);
    buffer_.Clear();
}

TDownloadCapture::Chunk TDownloadCapture::Capture(int count)
{
    QByteArray chunk;
    port_.ReceiveText(chunk, count);
    // The marker counts only as a chunk of its own: an "A" that comes with
    // other characters is data.
    if (chunk == Command::EndMarker) {
        buffer_.Append(Command::EndMarker);
        port_.SendText(Command::ResumeLive);
        return Chunk::EndMarker;
    }
    buffer_.Append(chunk);
    return Chunk::Appended;
}
