#pragma once
// Horizontal header of the find-in-files results with a "select all" check box
// drawn on section 0. Presses on the other sections are swallowed, so the
// columns cannot be resized or moved from them.

#include <QHeaderView>

class SearchResultHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit SearchResultHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

    bool isChecked() const { return m_checked; }
    // Stores the state without a signal or repaint (the page's selection handling).
    void setCheckState(bool checked);

signals:
    void stateChanged(Qt::CheckState state);

public slots:
    void clearSelectAll();
    void updateSectionIndex(int logicalIndex, int oldVisualIndex, int newVisualIndex);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    bool m_checked = false;
};
