#pragma once
// Places words on a picture of the mask's size, inside the mask's dark
// pixels, largest first, each as near the middle of the shape as it fits.
//
// The picture is divided into square cells of a few pixels. A cell is free
// when every pixel of it lies in the mask's dark part and no word covers it.
// A word fits where every cell its glyphs touch, and the cells next to
// those, are free; candidate places are taken in order of distance from the
// middle of the shape. A summed-area table of the taken cells rejects most
// places at once. A word that fits nowhere is tried upright (Chinese words)
// and then smaller; when there is room left after every word has had its
// turn, the words are placed again, smaller, until the word count is reached.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QVector>

#include <vector>

#include "CloudWords.h"

class CloudLayout
{
public:
    // False when the mask has no dark part big enough for one cell.
    bool setMask(const QImage& mask);

    void setFont(const QFont& font) { m_font = font; }
    void setBackground(const QColor& colour) { m_background = colour; }
    void setMaxFontSize(int pixels) { m_maxFontSize = qMax(4, pixels); }
    void setMaxWordCount(int count) { m_maxWordCount = qMax(1, count); }

    // Lays the words out and paints them; returns the picture.
    QImage render(const QVector<CloudWords::Word>& words);

    int placedCount() const { return m_placed; }

private:
    struct Glyph
    {
        QImage image;                 // the word in its colour, cropped to its ink
        std::vector<QPoint> inkCells; // cells the ink touches
        std::vector<QPoint> cells;    // the same with a one-cell border around them
        QPoint low, high;             // bounding box of the cells
    };

    Glyph makeGlyph(const QString& word, int pixelSize, bool upright, const QColor& colour) const;
    bool place(const Glyph& glyph, QPoint* origin);
    bool fitsAt(const Glyph& glyph, int x, int y) const;
    void occupy(const Glyph& glyph, QPoint origin);
    int blockedIn(int x0, int y0, int x1, int y1) const; // inclusive cell box
    void rebuildSums(int fromX, int fromY);
    void dropTakenCandidates();

    bool blocked(int x, int y) const { return m_blocked[size_t(y) * size_t(m_gridWidth) + size_t(x)] != 0; }

    QImage m_canvas;
    QFont m_font;
    QColor m_background = Qt::white;
    int m_maxFontSize = 40;
    int m_maxWordCount = 1000;
    int m_cell = 1;
    int m_gridWidth = 0;
    int m_gridHeight = 0;
    std::vector<quint8> m_blocked;
    std::vector<qint32> m_sums; // (gridWidth + 1) x (gridHeight + 1)
    std::vector<QPoint> m_candidates; // free cells, nearest the middle first
    std::vector<QPoint> m_failedBoxes; // box sizes that found no place
    int m_placed = 0;
};
