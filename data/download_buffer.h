#pragma once
// The main window's hidden download buffer: the text received during a
// download, kept exactly as it arrived, read back as a 0-based list of lines.
// Owned by the main window (TForm1::RichEdit1); the Downloaded data window and
// the Chart window only read it.
#include <QByteArray>
#include <QString>

#include <vector>

class TDownloadBuffer {
public:
    // A light view of the buffer's lines; valid while the buffer lives.
    class LineList {
    public:
        explicit LineList(const TDownloadBuffer& buffer) : buffer_(&buffer) {}
        int Count() const { return buffer_->LineCount(); }
        // Line i without its line break; empty when i is out of range.
        QString operator[](int i) const { return buffer_->Line(i); }
        QString Strings(int i) const { return buffer_->Line(i); }

    private:
        const TDownloadBuffer* buffer_;
    };

    void Clear();
    // Appends the bytes as received (each byte one Latin-1 character). The cost
    // is proportional to the chunk, never to what the buffer already holds.
    void Append(const QByteArray& chunk);
    // The received text, unchanged.
    const QString& Text() const { return text_; }

    LineList Lines() const { return LineList(*this); }
    int LineCount() const;
    QString Line(int i) const;
    // Length of line i without reading it; -1 when i is out of range.
    int LineLength(int i) const;

private:
    struct Span {
        qsizetype start;
        qsizetype length;
    };

    QString text_;
    // Lines ended by a break so far; the text after the last break, when not
    // empty, is one more line.
    std::vector<Span> closed_;
    qsizetype openStart_ = 0;
    // A CR at the very end of the text: a LF at the start of the next chunk
    // belongs to the same line break.
    bool endsWithCR_ = false;
};
