#pragma once
// Model of the directory dock. A QFileSystemModel, which reads folders in the
// background, so a huge or slow folder never freezes the window.

#include <QFileSystemModel>

class TQDirModel : public QFileSystemModel
{
    Q_OBJECT
public:
    explicit TQDirModel(QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};
