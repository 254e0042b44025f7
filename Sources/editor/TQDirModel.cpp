#include "TQDirModel.h"

TQDirModel::TQDirModel(QObject* parent)
    : QFileSystemModel(parent)
{
    setRootPath(QString());
}

QVariant TQDirModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        switch (section) {
        case 0: return tr("名称");
        case 1: return tr("大小");
        case 2: return tr("类型");
        case 3: return tr("修改日期");
        default: break;
        }
    }
    return QFileSystemModel::headerData(section, orientation, role);
}
