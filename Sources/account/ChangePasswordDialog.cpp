#include "ChangePasswordDialog.h"

#include <QDebug>

#include "ui_ChangePasswordDialog.h"

ChangePasswordDialog::ChangePasswordDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ChangePasswordDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
}

ChangePasswordDialog::~ChangePasswordDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

void ChangePasswordDialog::on_pushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    accept();
}

void ChangePasswordDialog::on_pushButton_2_clicked()
{
    qDebug() << Q_FUNC_INFO;
    reject();
}
