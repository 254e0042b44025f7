#include "CharEvaluateDialog.h"

#include <QDebug>

#include "ui_CharEvaluateDialog.h"

CharEvaluateDialog::CharEvaluateDialog(QWidget* parent)
    : EvaluateDialog(parent)
    , ui(new Ui::CharEvaluateDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    attach(widgetsOf(ui));
}

CharEvaluateDialog::~CharEvaluateDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

int CharEvaluateDialog::target() const
{
    return ui->currentFileRadioButton->isChecked() ? 16 : 1;
}

void CharEvaluateDialog::setTarget(int toolId)
{
    qDebug() << Q_FUNC_INFO << ", toolId =" << toolId;
    if (toolId == 1)
        ui->directoryRadioButton->setChecked(true);
    else
        ui->currentFileRadioButton->setChecked(true);
}

void CharEvaluateDialog::on_chooseDirectoryPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    ui->directoryNameLineEdit->setText(askDirectory());
}
