#pragma once
// One reference from a generated paragraph to what produced it: an item of a
// template file, or an entry of a word-database table shown as a template.
// Records are made once and never changed; blocks share them through
// TemplateItemRefPointer, so a record lives exactly as long as some block (or
// generator run) still lists it.

#include <QList>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QSharedPointer>
#include <QString>
#include <QtGlobal>

struct TemplateItemRef
{
    TemplateItemRef();
    TemplateItemRef(quint32 kind, const QString& ref, const QList<int>& position,
                    const QModelIndex& index = QModelIndex());

    // The template file named by ref: the text before the first ':' at or
    // after index 2 (so "C:" of a drive stays), else the whole text.
    QString path() const;
    static QString pathOf(const QString& ref);

    // A TemplateType code: 1 a template file; 16-19, 32 and 64 word-database tables.
    quint32 kind;
    // Template path as the generator knew it, or the table name for the word-database kinds.
    QString ref;
    // The content item in a template tab's outline, when one is known. Persistent,
    // so it turns invalid (instead of dangling) when the tab or its rows go away.
    QPersistentModelIndex index;
    // {entry index in document order, child index}, as the random draw returned it.
    QList<int> position;
};

using TemplateItemRefPointer = QSharedPointer<const TemplateItemRef>;
