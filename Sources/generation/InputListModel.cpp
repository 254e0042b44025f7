#include "InputListModel.h"

InputListModel::InputListModel(QObject* parent) : QStringListModel(parent)
{
    auto forget = [this]() { m_separatorKnown = false; };
    connect(this, &QAbstractItemModel::rowsInserted, this, forget);
    connect(this, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(this, &QAbstractItemModel::rowsMoved, this, forget);
    connect(this, &QAbstractItemModel::dataChanged, this, forget);
    connect(this, &QAbstractItemModel::modelReset, this, forget);
}

void InputListModel::appendLines(const QStringList& lines)
{
    if (!lines.isEmpty())
        setStringList(stringList() + lines);
}

int InputListModel::separatorRow() const
{
    if (!m_separatorKnown) {
        m_separatorRow = stringList().indexOf(QString());
        m_separatorKnown = true;
    }
    return m_separatorRow;
}

QVariant InputListModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::AccessibleDescriptionRole && index.isValid() && index.row() == separatorRow())
        return QStringLiteral("separator"); // the combo box draws this row as a line
    return QStringListModel::data(index, role);
}

Qt::ItemFlags InputListModel::flags(const QModelIndex& index) const
{
    if (index.isValid() && index.row() == separatorRow())
        return Qt::NoItemFlags;
    return QStringListModel::flags(index);
}
