#pragma once
// Interim declaration: the dialog exists with its buttons; its inputs come with
// article generation. Bodies in GenerationInterim.cpp.

#include <QDialog>

class QAbstractButton;
class QDialogButtonBox;

class AutoGenInputDialog4AdvertisementSoft : public QDialog
{
    Q_OBJECT
public:
    explicit AutoGenInputDialog4AdvertisementSoft(QWidget* parent = nullptr);

    QDialogButtonBox* buttonBox() const { return m_buttonBox; }

private:
    QDialogButtonBox* m_buttonBox;
};
