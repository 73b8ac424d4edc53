#include "data/download_buffer.h"

void TDownloadBuffer::Clear()
{
    text_.clear();
    closed_.clear();
    openStart_ = 0;
    endsWithCR_ = false;
}

void TDownloadBuffer::Append(const QByteArray& chunk)
{
    const qsizetype from = text_.size();
    text_.append(QString::fromLatin1(chunk));
    const QChar* data = text_.constData();
    for (qsizetype p = from; p < text_.size(); ++p) {
        const char16_t c = data[p].unicode();
        if (c == u'\n' && endsWithCR_ && p == openStart_) {
            // Second half of a CR LF: the line was already ended by the CR.
            openStart_ = p + 1;
            endsWithCR_ = false;
        } else if (c == u'\r' || c == u'\n') {
            closed_.push_back(Span{openStart_, p - openStart_});
            openStart_ = p + 1;
            endsWithCR_ = c == u'\r';
        } else {
            endsWithCR_ = false;
        }
    }
}

int TDownloadBuffer::LineCount() const
{
    return static_cast<int>(closed_.size()) + (openStart_ < text_.size() ? 1 : 0);
}

int TDownloadBuffer::LineLength(int i) const
{
    if (i < 0 || i >= LineCount())
        return -1;
    if (static_cast<size_t>(i) < closed_.size())
        return static_cast<int>(closed_[i].length);
    return static_cast<int>(text_.size() - openStart_);
}

QString TDownloadBuffer::Line(int i) const
{
    if (i < 0 || i >= LineCount())
        return QString();
    if (static_cast<size_t>(i) < closed_.size())
        return text_.mid(closed_[i].start, closed_[i].length);
    return text_.mid(openStart_);
}
