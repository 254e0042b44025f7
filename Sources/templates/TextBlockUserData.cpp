#include "TextBlockUserData.h"

#include <QDebug>
#include <QTextBlock>

TextBlockUserData::TextBlockUserData()
{
    qDebug() << Q_FUNC_INFO;
}

TextBlockUserData::TextBlockUserData(const QList<TemplateItemRefPointer>& items)
    : items(items)
{
    qDebug() << Q_FUNC_INFO << ", items =" << items.size();
}

TextBlockUserData::~TextBlockUserData()
{
    qDebug() << Q_FUNC_INFO << ", items =" << items.size();
}

TextBlockUserData* TextBlockUserData::of(const QTextBlock& block)
{
    qDebug() << Q_FUNC_INFO << ", blockNumber =" << block.blockNumber();
    return block.isValid() ? dynamic_cast<TextBlockUserData*>(block.userData()) : nullptr;
}
