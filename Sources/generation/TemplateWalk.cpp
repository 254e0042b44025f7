#include "TemplateWalk.h"

#include <QDebug>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVector>

#include "DomParser.h"
#include "GenerationEngine.h"
#include "RandomSource.h"

TemplateWalk::TemplateWalk(InsertContent insert)
    : m_insert(std::move(insert))
{
}

void TemplateWalk::walk(QTreeWidget* tree, int startRow)
{
    qDebug() << Q_FUNC_INFO << ", startRow =" << startRow;
    for (int row = qMax(0, startRow); row < tree->topLevelItemCount() && !m_stopped; ++row)
        walkItem(tree->topLevelItem(row), QStringLiteral(":%1").arg(row));
}

bool TemplateWalk::walkItem(QTreeWidgetItem* item, const QString& tag, int depth)
{
    if (m_stopped)
        return false;
    const int children = item->childCount();
    if (children == 0)
        return true;
    if (item->child(0)->childCount() > 0) {
        // An entry of entries: every child in turn.
        if (depth >= GenerationEngine::MaximumAtomDepth) {
            qWarning() << "template walk stopped at depth" << depth << ", tag =" << tag;
            m_limitReached = true;
            return true;
        }
        for (int i = 0; i < children && !m_stopped; ++i)
            walkItem(item->child(i), tag + QStringLiteral(":%1").arg(i), depth + 1);
        return !m_stopped;
    }
    if (m_inserted >= GenerationEngine::MaximumSplices) {
        qWarning() << "template walk stopped after" << m_inserted << "contents, tag =" << tag;
        m_limitReached = true;
        m_stopped = true;
        return false;
    }
    const int chosen = RandomSource::bounded(children);
    ++m_inserted;
    if (!m_insert(item->child(chosen), tag + QStringLiteral(":%1").arg(chosen)))
        m_stopped = true;
    return !m_stopped;
}

QModelIndex TemplateWalk::indexOf(QTreeWidgetItem* item)
{
    QTreeWidget* tree = item ? item->treeWidget() : nullptr;
    if (!tree)
        return QModelIndex();
    QTreeWidgetItem* parent = item->parent();
    if (!parent)
        return tree->model()->index(tree->indexOfTopLevelItem(item), 0);
    return tree->model()->index(parent->indexOfChild(item), 0, indexOf(parent));
}

QStringList TemplateWalk::splitByMarkers(const QString& text)
{
    static const QRegularExpression bracketed(QStringLiteral("\\[.+?\\]"));
    QStringList runs;
    int position = 0;
    QRegularExpressionMatchIterator matches = bracketed.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.capturedStart() > position)
            runs << text.mid(position, match.capturedStart() - position);
        runs << match.captured();
        position = match.capturedEnd();
    }
    if (position < text.size())
        runs << text.mid(position);
    return runs;
}

bool TemplateWalk::isAtomRun(const QString& run)
{
    const QRegularExpressionMatch match = DomParser::atomMarkerExpression().match(run);
    return match.hasMatch() && match.capturedStart() == 0 && match.capturedLength() == run.size();
}

qint64 TemplateWalk::combinationCount(const QTreeWidget* tree)
{
    const int entries = tree->topLevelItemCount();
    if (entries == 0)
        return 0;
    qint64 count = 1;
    for (int k = 0; k < entries; ++k) {
        count *= tree->topLevelItem(k)->childCount();
        if (count > CombinationLimit)
            return CombinationLimit + 1;
    }
    return count;
}

void TemplateWalk::forEachCombination(const QTreeWidget* tree, const std::function<bool(const QString&)>& f)
{
    const int entries = tree->topLevelItemCount();
    if (entries == 0 || combinationCount(tree) == 0)
        return;
    QVector<int> index(entries, 0);
    while (true) {
        QString text;
        for (int k = 0; k < entries; ++k)
            text += tree->topLevelItem(k)->child(index.at(k))->text(0);
        if (!f(text))
            return;
        int k = entries - 1;
        while (k >= 0 && ++index[k] == tree->topLevelItem(k)->childCount()) {
            index[k] = 0;
            --k;
        }
        if (k < 0)
            return;
    }
}
