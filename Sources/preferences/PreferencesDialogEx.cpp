#include "PreferencesDialogEx.h"

#include <QDebug>

#include "ui_PreferencesDialogEx.h"

PreferencesDialogEx::PreferencesDialogEx(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::PreferencesDialogEx)
{
    ui->setupUi(this);
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i)
        ui->treeWidget->topLevelItem(i)->setData(0, Qt::UserRole, i);
    ui->treeWidget->setCurrentItem(ui->treeWidget->topLevelItem(0));
}

PreferencesDialogEx::~PreferencesDialogEx()
{
    delete ui;
}

void PreferencesDialogEx::on_treeWidget_currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    Q_UNUSED(previous)
    qDebug() << Q_FUNC_INFO;
    if (!current)
        return;
    const int index = current->data(0, Qt::UserRole).toInt();
    if (index >= 0 && index < ui->stackedWidget->count())
        ui->stackedWidget->setCurrentIndex(index);
    else
        qCritical().noquote() << tr("Bug: can not find corresponding stackedWidget index: %1").arg(index);
}
