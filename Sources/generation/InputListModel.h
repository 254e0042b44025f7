#pragma once
// The model of a history combo box: its items (history, separator, word list) as
// one string list, so the lines of a long word list are shared, not copied, by
// every box the list feeds. The first item with empty text is the separator: it
// is drawn as a line and cannot be chosen.

#include <QStringListModel>

class InputListModel : public QStringListModel
{
    Q_OBJECT
public:
    explicit InputListModel(QObject* parent = nullptr);

    // Appends the lines as items in one step.
    void appendLines(const QStringList& lines);

    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int separatorRow() const;
    mutable int m_separatorRow = -1;
    mutable bool m_separatorKnown = false;
};
