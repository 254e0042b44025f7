#include "LineSlicer.h"

LineSlicer::LineSlicer(int sliceLength, int overlap) : m_sliceLength(qMax(2, sliceLength)), m_overlap(qMax(0, overlap))
{
}

void LineSlicer::startLine()
{
    m_text.clear();
    m_from = 0;
    m_column = 0;
    m_ended = false;
}

void LineSlicer::addText(const QString& text)
{
    // The text given out goes once it is as long as a slice, not at every piece.
    if (m_from >= m_sliceLength) {
        m_text.remove(0, m_from);
        m_from = 0;
    }
    m_text += text;
}

void LineSlicer::endLine()
{
    m_ended = true;
}

bool LineSlicer::nextSlice(Slice* slice)
{
    const int available = m_text.size() - m_from;
    // Until the line ends, a slice waits for its overlap and one more unit,
    // which tells whether its overlap ends inside a surrogate pair.
    if (available == 0 || (!m_ended && available <= m_sliceLength + m_overlap))
        return false;
    int own = qMin(available, m_sliceLength);
    if (own < available && m_text.at(m_from + own - 1).isHighSurrogate())
        --own;
    int length = qMin(available, own + m_overlap);
    if (length > own && length < available && m_text.at(m_from + length - 1).isHighSurrogate())
        ++length;
    slice->text = m_text.mid(m_from, length);
    slice->column = m_column;
    slice->ownLength = own;
    slice->wholeLine = m_column == 0 && own == available && m_ended;
    m_from += own;
    m_column += own;
    return true;
}
