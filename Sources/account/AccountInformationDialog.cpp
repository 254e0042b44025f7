#include "AccountInformationDialog.h"

#include <QDebug>

#include "ChangePasswordDialog.h"
#include "Prompt.h"
#include "ui_AccountInformationDialog.h"

AccountInformationDialog::AccountInformationDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::AccountInformationDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
}

AccountInformationDialog::~AccountInformationDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

void AccountInformationDialog::on_pushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    reject();
}

void AccountInformationDialog::on_showPasswordCheckBox_stateChanged(int arg1)
{
    qDebug() << Q_FUNC_INFO << ", arg1 =" << arg1;
    ui->passwordLineEdit->setEchoMode(arg1 != Qt::Unchecked ? QLineEdit::Normal : QLineEdit::Password);
}

void AccountInformationDialog::on_resetPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    ChangePasswordDialog dialog;
    Prompt::current().execDialog(dialog);
}
