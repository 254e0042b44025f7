#include "AutoGenInputDialog.h"
#include "ui_AutoGenInputDialog.h"

#include <QDebug>
#include <QDir>

#include "ProgramState.h"

AutoGenInputDialog::AutoGenInputDialog(QWidget* parent)
    : AutoGenInputDialogBase(AutoGenForm::Story, parent), ui(new Ui::AutoGenInputDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    setFormWidgets(ui->buttonBox, ui->textEditDir, ui->textEditName, ui->spinBoxGenCount);
    ui->textEditDir->setPlainText(QDir::homePath());
    ui->textEditName->setPlainText(QStringLiteral("tmp"));
    fillInputs(PromptWhenListRead);
}

AutoGenInputDialog::~AutoGenInputDialog()
{
    delete ui;
}

void AutoGenInputDialog::setType(int type) const
{
    qDebug() << Q_FUNC_INFO;
    ui->stackedWidget->setCurrentIndex(type == 1 ? 1 : 0);
    ui->labelGenCount->setVisible(autoGenBatchMode);
    ui->spinBoxGenCount->setVisible(autoGenBatchMode);
    if (type == 4) {
        // A title list: the count is the number of titles; it keeps its value, and
        // in batch mode the frame stays as it was.
        if (!autoGenBatchMode)
            ui->frameAutoGenBatch->hide();
        return;
    }
    ui->frameAutoGenBatch->setVisible(autoGenBatchMode);
    if (autoGenBatchMode) {
        ui->spinBoxGenCount->setRange(1, 1000);
        ui->spinBoxGenCount->setValue(1000);
    }
}
