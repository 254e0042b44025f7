#include "CloudLayout.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Cells per picture side at most: finer cells fill better, coarser ones are faster.
const int cellsPerSide = 400;
// Rounds of smaller copies of the words after the first round.
const int repeatRounds = 12;

const char* const colorsOnLight[] = {"#c0392b", "#2471a3", "#1e8449", "#7d3c98", "#d35400",
                                     "#117a65", "#283747", "#b9770e", "#a93226", "#1a5276"};
const char* const colorsOnDark[] = {"#f4d03f", "#5dade2", "#58d68d", "#f5b041", "#ec7063",
                                    "#bb8fce", "#48c9b0", "#f8f9f9", "#f1948a", "#85c1e9"};

bool isChineseWord(const QString& word)
{
    const QVector<uint> characters = word.toUcs4();
    if (characters.size() < 2)
        return false;
    for (uint c : characters)
        if (!isChineseIdeograph(c))
            return false;
    return true;
}

QColor colourOf(const QString& word, bool darkBackground)
{
    const uint pick = qHash(word, 0x5eed) % 10;
    return QColor(QLatin1String(darkBackground ? colorsOnDark[pick] : colorsOnLight[pick]));
}

} // namespace

bool CloudLayout::setMask(const QImage& mask)
{
    const QImage image = mask.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    m_cell = qMax(1, (qMax(width, height) + cellsPerSide - 1) / cellsPerSide);
    m_gridWidth = (width + m_cell - 1) / m_cell;
    m_gridHeight = (height + m_cell - 1) / m_cell;
    m_canvas = QImage(width, height, QImage::Format_ARGB32_Premultiplied);

    // A cell is free when all its pixels are dark (and opaque); cells that
    // reach past the picture's edge are never free.
    std::vector<int> dark(size_t(m_gridWidth) * size_t(m_gridHeight), 0);
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) >= 128 && qGray(line[x]) < 128)
                ++dark[size_t(y / m_cell) * size_t(m_gridWidth) + size_t(x / m_cell)];
    }
    m_blocked.assign(dark.size(), 1);
    qint64 sumX = 0, sumY = 0, free = 0;
    for (int y = 0; y < m_gridHeight; ++y)
        for (int x = 0; x < m_gridWidth; ++x)
            if (dark[size_t(y) * size_t(m_gridWidth) + size_t(x)] == m_cell * m_cell) {
                m_blocked[size_t(y) * size_t(m_gridWidth) + size_t(x)] = 0;
                m_candidates.push_back(QPoint(x, y));
                sumX += x;
                sumY += y;
                ++free;
            }
    if (free == 0)
        return false;

    // Nearest the middle of the shape first.
    const double middleX = double(sumX) / double(free);
    const double middleY = double(sumY) / double(free);
    std::stable_sort(m_candidates.begin(), m_candidates.end(), [&](const QPoint& a, const QPoint& b) {
        const double da = (a.x() - middleX) * (a.x() - middleX) + (a.y() - middleY) * (a.y() - middleY);
        const double db = (b.x() - middleX) * (b.x() - middleX) + (b.y() - middleY) * (b.y() - middleY);
        return da < db;
    });
    m_sums.assign(size_t(m_gridWidth + 1) * size_t(m_gridHeight + 1), 0);
    rebuildSums(0, 0);
    return true;
}

void CloudLayout::rebuildSums(int fromX, int fromY)
{
    const size_t stride = size_t(m_gridWidth) + 1;
    for (int y = fromY + 1; y <= m_gridHeight; ++y) {
        qint32* row = &m_sums[size_t(y) * stride];
        const qint32* above = row - stride;
        const quint8* cells = &m_blocked[size_t(y - 1) * size_t(m_gridWidth)];
        for (int x = fromX + 1; x <= m_gridWidth; ++x)
            row[x] = cells[x - 1] + above[x] + row[x - 1] - above[x - 1];
    }
}

int CloudLayout::blockedIn(int x0, int y0, int x1, int y1) const
{
    const size_t stride = size_t(m_gridWidth) + 1;
    return m_sums[size_t(y1 + 1) * stride + size_t(x1 + 1)] - m_sums[size_t(y0) * stride + size_t(x1 + 1)]
        - m_sums[size_t(y1 + 1) * stride + size_t(x0)] + m_sums[size_t(y0) * stride + size_t(x0)];
}

CloudLayout::Glyph CloudLayout::makeGlyph(const QString& word, int pixelSize, bool upright,
                                          const QColor& colour) const
{
    QFont font = m_font;
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    const int pad = pixelSize / 2 + 2;
    QStringList pieces;
    if (upright) {
        for (uint c : word.toUcs4())
            pieces << QString::fromUcs4(&c, 1);
    } else {
        pieces << word;
    }
    const int step = upright ? qRound(pixelSize * 1.05) : metrics.height();
    int lineWidth = 0;
    for (const QString& piece : pieces)
        lineWidth = qMax(lineWidth, metrics.horizontalAdvance(piece));

    QImage image(lineWidth + 2 * pad, step * pieces.size() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(colour);
        for (int i = 0; i < pieces.size(); ++i)
            painter.drawText(QRect(pad, pad + i * step, lineWidth, step), Qt::AlignCenter, pieces.at(i));
    }

    // Crop to the ink.
    const int width = image.width();
    const int height = image.height();
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < width && !qAlpha(line[x]))
            ++x;
        if (x == width)
            continue;
        int last = width - 1;
        while (!qAlpha(line[last]))
            --last;
        left = qMin(left, x);
        right = qMax(right, last);
        top = qMin(top, y);
        bottom = y;
    }
    Glyph glyph;
    if (right < 0)
        return glyph;
    glyph.image = image.copy(left, top, right - left + 1, bottom - top + 1);

    // Ink cells, then the same with a one-cell border for the test.
    const int columns = (glyph.image.width() + m_cell - 1) / m_cell;
    const int rows = (glyph.image.height() + m_cell - 1) / m_cell;
    std::vector<quint8> ink(size_t(columns + 2) * size_t(rows + 2), 0);
    auto at = [&](int x, int y) -> quint8& { return ink[size_t(y + 1) * size_t(columns + 2) + size_t(x + 1)]; };
    const int inkWidth = glyph.image.width();
    const int inkHeight = glyph.image.height();
    for (int y = 0; y < inkHeight; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(glyph.image.constScanLine(y));
        for (int x = 0; x < inkWidth; ++x)
            if (qAlpha(line[x]))
                at(x / m_cell, y / m_cell) = 1;
    }
    glyph.low = QPoint(-1, -1);
    glyph.high = QPoint(columns, rows);
    for (int y = -1; y <= rows; ++y)
        for (int x = -1; x <= columns; ++x) {
            const auto inkAt = [&](int cx, int cy) {
                return cx >= 0 && cy >= 0 && cx < columns && cy < rows && at(cx, cy);
            };
            if (inkAt(x, y)) {
                glyph.inkCells.push_back(QPoint(x, y));
                glyph.cells.push_back(QPoint(x, y));
            } else if (inkAt(x - 1, y) || inkAt(x + 1, y) || inkAt(x, y - 1) || inkAt(x, y + 1)) {
                glyph.cells.push_back(QPoint(x, y));
            }
        }
    return glyph;
}

bool CloudLayout::fitsAt(const Glyph& glyph, int x, int y) const
{
    const int x0 = x + glyph.low.x(), y0 = y + glyph.low.y();
    const int x1 = x + glyph.high.x(), y1 = y + glyph.high.y();
    if (x0 < 0 || y0 < 0 || x1 >= m_gridWidth || y1 >= m_gridHeight)
        return false;
    const int taken = blockedIn(x0, y0, x1, y1);
    if (taken == 0)
        return true;
    const int boxArea = (x1 - x0 + 1) * (y1 - y0 + 1);
    if (taken > boxArea - int(glyph.cells.size()))
        return false;
    for (const QPoint& cell : glyph.cells)
        if (blocked(x + cell.x(), y + cell.y()))
            return false;
    return true;
}

bool CloudLayout::place(const Glyph& glyph, QPoint* origin)
{
    const QPoint box = glyph.high - glyph.low;
    for (const QPoint& failed : m_failedBoxes)
        if (box.x() >= failed.x() && box.y() >= failed.y())
            return false;
    const QPoint middle = (glyph.low + glyph.high) / 2;
    for (const QPoint& candidate : m_candidates) {
        if (blocked(candidate.x(), candidate.y()))
            continue;
        const QPoint at = candidate - middle;
        if (fitsAt(glyph, at.x(), at.y())) {
            *origin = at;
            return true;
        }
    }
    // Boxes at least this big will not find a place either, as cells only fill up.
    m_failedBoxes.erase(std::remove_if(m_failedBoxes.begin(), m_failedBoxes.end(),
                                       [&](const QPoint& failed) {
                                           return failed.x() >= box.x() && failed.y() >= box.y();
                                       }),
                        m_failedBoxes.end());
    m_failedBoxes.push_back(box);
    return false;
}

void CloudLayout::occupy(const Glyph& glyph, QPoint origin)
{
    for (const QPoint& cell : glyph.inkCells)
        m_blocked[size_t(origin.y() + cell.y()) * size_t(m_gridWidth) + size_t(origin.x() + cell.x())] = 1;
    rebuildSums(qMax(0, origin.x() + glyph.low.x()), qMax(0, origin.y() + glyph.low.y()));
    if (++m_placed % 8 == 0)
        dropTakenCandidates();
}

void CloudLayout::dropTakenCandidates()
{
    m_candidates.erase(std::remove_if(m_candidates.begin(), m_candidates.end(),
                                      [&](const QPoint& cell) { return blocked(cell.x(), cell.y()); }),
                       m_candidates.end());
}

QImage CloudLayout::render(const QVector<CloudWords::Word>& words)
{
    m_canvas.fill(m_background);
    m_placed = 0;
    if (words.isEmpty() || m_candidates.empty())
        return m_canvas;
    const bool darkBackground = m_background.lightness() < 128;
    int minFontSize = qMax(7, m_maxFontSize / 10);
    const int distinct = qMin(words.size(), m_maxWordCount);
    const double most = words.first().count;

    QPainter painter(&m_canvas);
    // Tries the word at `size` and smaller, upright too when it is Chinese; true when placed.
    auto tryWord = [&](const QString& text, int size, bool preferUpright, int* placedSize) {
        const bool canTurn = isChineseWord(text);
        const QColor colour = colourOf(text, darkBackground);
        for (; size >= minFontSize; size -= qMax(1, size / 10)) {
            for (int turn = 0; turn < (canTurn ? 2 : 1); ++turn) {
                const bool upright = canTurn && (preferUpright != (turn == 1));
                const Glyph glyph = makeGlyph(text, size, upright, colour);
                QPoint origin;
                if (glyph.image.isNull() || !place(glyph, &origin))
                    continue;
                painter.drawImage(origin * m_cell, glyph.image);
                occupy(glyph, origin);
                *placedSize = size;
                return true;
            }
        }
        return false;
    };

    QVector<int> sizes(distinct);
    int lastSize = m_maxFontSize;
    for (int i = 0; i < distinct; ++i) {
        const double share = words.at(i).count / most;
        const int wanted = qBound(minFontSize, qRound(m_maxFontSize * (0.4 * share + 0.6 * std::sqrt(share))),
                                  lastSize);
        int placedSize = 0;
        if (tryWord(words.at(i).text, wanted, i % 4 == 3, &placedSize))
            lastSize = placedSize;
        sizes[i] = qMin(wanted, lastSize);
    }

    // Room left: smaller copies until the word count is reached; they may be
    // a little smaller than the first round's smallest words, to reach into corners.
    minFontSize = qMax(6, m_maxFontSize / 12);
    for (int round = 1; round <= repeatRounds && m_placed < m_maxWordCount; ++round) {
        const int before = m_placed;
        const double scale = std::pow(0.7, round);
        for (int i = 0; i < distinct && m_placed < m_maxWordCount; ++i) {
            int placedSize = 0;
            tryWord(words.at(i).text, qMax(minFontSize, qRound(sizes.at(i) * scale)), (i + round) % 4 == 3,
                    &placedSize);
        }
        if (m_placed == before)
            break;
    }
    return m_canvas;
}
