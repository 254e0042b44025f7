#pragma once
// What a generated paragraph remembers of its origin: the template items (or
// word-database entries) that produced it, first one deciding where moving the
// cursor into the paragraph leads. The document owns this object with its
// block; the records are shared with other blocks and freed with the last one.

#include <QList>
#include <QTextBlockUserData>

#include "TemplateItemRef.h"

class QTextBlock;

class TextBlockUserData : public QTextBlockUserData
{
public:
    TextBlockUserData();
    explicit TextBlockUserData(const QList<TemplateItemRefPointer>& items);
    ~TextBlockUserData() override;

    // The block's data when it is ours, else null (other marks use user data too).
    static TextBlockUserData* of(const QTextBlock& block);

    QList<TemplateItemRefPointer> items;
};
