#pragma once
// Cuts the text of one line, handed over in pieces as it is decoded, into the
// slices that find in files tests one at a time, so that a file without line
// ends never has to be held whole.
//
// A slice owns `sliceLength` characters (UTF-16 units; one less where that
// would cut a surrogate pair) and carries after them the first `overlap`
// characters of the next slice, so that a word of up to overlap + 1
// characters that begins in a slice is whole in it. A line no longer than a
// slice is one slice.

#include <QString>

class LineSlicer
{
public:
    struct Slice
    {
        QString text;      // the slice's own characters, then the overlap
        qint64 column = 0; // where the slice begins in the line (UTF-16 units)
        int ownLength = 0; // how many of text's characters are the slice's own
        bool wholeLine = false; // the line is no longer than a slice: this is all of it
    };

    LineSlicer(int sliceLength, int overlap);

    // Starts a new line; text of the previous one not taken yet is dropped.
    void startLine();
    void addText(const QString& text);
    // The line has no more text: what is left makes its last slices.
    void endLine();
    // The next slice that is ready; false while more text (or the line's end) is needed.
    bool nextSlice(Slice* slice);

private:
    QString m_text;      // the text not given out yet, from m_from on
    int m_from = 0;
    qint64 m_column = 0; // the column of m_text[m_from]
    int m_sliceLength;
    int m_overlap;
    bool m_ended = false;
};
