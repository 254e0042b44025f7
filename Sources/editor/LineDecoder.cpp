#include "LineDecoder.h"

LineDecoder::LineDecoder(int sliceLength, int overlap) : m_slicer(sliceLength, overlap)
{
}

void LineDecoder::startLine(qint64 offset)
{
    m_offset = offset;
    m_stateCodec = nullptr;
    m_slicer.startLine();
}

void LineDecoder::addBytes(const char* data, int size)
{
    if (size <= 0 || !m_codec)
        return;
    if (m_stateCodec != m_codec) {
        // A new line, or the encoding was just decided: the bytes before were ASCII, none is pending.
        m_state.emplace(QTextCodec::IgnoreHeader);
        m_stateCodec = m_codec;
    }
    m_slicer.addText(m_codec->toUnicode(data, size, &*m_state));
}
