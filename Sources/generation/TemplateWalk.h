#pragma once
// Generation straight from an open template's outline: the walk, which inserts
// one random content for every entry whose children are contents, from a
// top-level row to the end; every combination of one child per top-level entry;
// and splitting a fixed text into plain runs and bracketed atom runs.
//
// The walk is bounded like atom expansion: it descends at most
// GenerationEngine::MaximumAtomDepth levels and inserts at most
// GenerationEngine::MaximumSplices contents; the caller reports the bound.

#include <QModelIndex>
#include <QString>
#include <QStringList>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

class TemplateWalk
{
public:
    // Inserts the content chosen for an entry; tag names the path to it
    // (":row:child...:chosen"). Returning false stops the walk.
    using InsertContent = std::function<bool(QTreeWidgetItem* content, const QString& tag)>;

    explicit TemplateWalk(InsertContent insert);

    // Every top-level row from startRow (a negative row counts as 0) to the last.
    void walk(QTreeWidget* tree, int startRow);
    // One entry and its descendants; false once the walk stopped.
    bool walkItem(QTreeWidgetItem* item, const QString& tag, int depth = 0);

    bool limitReached() const { return m_limitReached; }
    int inserted() const { return m_inserted; }

    // The model index of an item of a tree (column 0); invalid for an item in no tree.
    static QModelIndex indexOf(QTreeWidgetItem* item);

    // Plain runs and bracketed runs ("[" up to the nearest "]") in order; never empty runs.
    static QStringList splitByMarkers(const QString& text);
    // A bracketed run that names an atom file: the whole run is one atom marker.
    static bool isAtomRun(const QString& run);

    // The number of combinations of one child per top-level entry, counted up
    // to CombinationLimit + 1; 0 without top-level entries.
    static qint64 combinationCount(const QTreeWidget* tree);
    // Calls f with every combination's texts joined, the last entry varying
    // fastest, until f returns false.
    static void forEachCombination(const QTreeWidget* tree, const std::function<bool(const QString&)>& f);

    static constexpr int MaximumTopLevelEntries = 5;
    static constexpr qint64 CombinationQuestionThreshold = 10000;
    static constexpr qint64 CombinationLimit = 1000000;

private:
    InsertContent m_insert;
    int m_inserted = 0;
    bool m_limitReached = false;
    bool m_stopped = false;
};
