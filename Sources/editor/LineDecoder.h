#pragma once
// Decodes a file one line at a time, in pieces as its bytes are read, and cuts
// each line into slices (LineSlicer). The conversion keeps a character cut by
// the end of one piece for the next, so a line longer than a block of the file
// decodes exactly as it would whole, and its slices begin on whole characters.

#include <QTextCodec>

#include <optional>

#include "LineSlicer.h"

class LineDecoder
{
public:
    LineDecoder(int sliceLength, int overlap);

    // The codec of the bytes from here on. Changing it inside a line is sound
    // only while the line's bytes so far were ASCII, which every codec reads alike.
    void setCodec(QTextCodec* codec) { m_codec = codec; }

    // Starts a line that begins at this byte offset of the file.
    void startLine(qint64 offset);
    void addBytes(const char* data, int size);
    // Text of the line decoded elsewhere.
    void addText(const QString& text) { m_slicer.addText(text); }
    void endLine() { m_slicer.endLine(); }
    bool nextSlice(LineSlicer::Slice* slice) { return m_slicer.nextSlice(slice); }
    qint64 lineOffset() const { return m_offset; }

private:
    QTextCodec* m_codec = nullptr;
    QTextCodec* m_stateCodec = nullptr; // the codec m_state belongs to; null at a line's start
    std::optional<QTextCodec::ConverterState> m_state;
    LineSlicer m_slicer;
    qint64 m_offset = 0;
};
