// Interim bodies of the generation input dialogs: a button box only, so that
// start-up can create and wire them. Replaced by the real dialogs.

#include <QDebug>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "PoemConfigDialog.h"

namespace {
QDialogButtonBox* addButtons(QDialog* dialog, QDialogButtonBox::StandardButtons buttons)
{
    auto* box = new QDialogButtonBox(buttons, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    (new QVBoxLayout(dialog))->addWidget(box);
    return box;
}
const auto withReset = QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Reset;
}

AutoGenInputDialog::AutoGenInputDialog(QWidget* parent)
    : QDialog(parent), m_buttonBox(addButtons(this, withReset))
{
    qDebug() << Q_FUNC_INFO;
}

AutoGenInputDialog4Advertisement::AutoGenInputDialog4Advertisement(QWidget* parent)
    : QDialog(parent), m_buttonBox(addButtons(this, withReset))
{
    qDebug() << Q_FUNC_INFO;
}

AutoGenInputDialog4AdvertisementSoft::AutoGenInputDialog4AdvertisementSoft(QWidget* parent)
    : QDialog(parent), m_buttonBox(addButtons(this, withReset))
{
    qDebug() << Q_FUNC_INFO;
}

PoemConfigDialog::PoemConfigDialog(QWidget* parent)
    : QDialog(parent), m_buttonBox(addButtons(this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel))
{
    qDebug() << Q_FUNC_INFO;
}
