#include "BuildSystemInfoDialog.h"

#include <QDebug>

#include "BuildInformation.h"
#include "ui_BuildSystemInfoDialog.h"

BuildSystemInfoDialog::BuildSystemInfoDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::BuildSystemInfoDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    setFixedSize(size());
    BuildInformation information;
    if (!getBuildInformation(information))
        return;
    const QPair<QLineEdit*, QString> rows[] = {
        {ui->buildTimeLineEdit, information.buildTimeStamp}, {ui->buildCompilerLineEdit, information.compilerInfo},
        {ui->buildHWLineEdit, information.hwInfo},           {ui->buildOSLineEdit, information.osInfo},
        {ui->buildHashLineEdit, information.buildHash},
    };
    // Show the beginning of a long value.
    for (const auto& row : rows) {
        row.first->setText(row.second);
        row.first->setCursorPosition(0);
    }
}

BuildSystemInfoDialog::~BuildSystemInfoDialog()
{
    delete ui;
}

void BuildSystemInfoDialog::on_closePushButton_clicked()
{
    reject();
}
