#include "TemplateItemRef.h"

#include <QDebug>

#include "SharedCodes.h"

TemplateItemRef::TemplateItemRef()
    : kind(TEMPLATE_TYPE_NONE)
{
    qDebug() << Q_FUNC_INFO;
}

TemplateItemRef::TemplateItemRef(quint32 kind, const QString& ref, const QList<int>& position,
                                 const QModelIndex& index)
    : kind(kind)
    , ref(ref)
    , index(index)
    , position(position)
{
    qDebug() << Q_FUNC_INFO << ", kind =" << kind << ", ref =" << ref << ", position =" << position;
}

QString TemplateItemRef::path() const
{
    qDebug() << Q_FUNC_INFO << ", ref =" << ref;
    return pathOf(ref);
}

QString TemplateItemRef::pathOf(const QString& ref)
{
    qDebug() << Q_FUNC_INFO << ", ref =" << ref;
    const int colon = ref.indexOf(QLatin1Char(':'), 2);
    return colon < 0 ? ref : ref.left(colon);
}
