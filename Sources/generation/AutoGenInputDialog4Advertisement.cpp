#include "AutoGenInputDialog4Advertisement.h"
#include "ui_AutoGenInputDialog4Advertisement.h"

#include <QDebug>
#include <QSignalBlocker>

#include "ProgramState.h"

AutoGenInputDialog4Advertisement::AutoGenInputDialog4Advertisement(QWidget* parent)
    : AutoGenInputDialogBase(AutoGenForm::Advertisement, parent), ui(new Ui::AutoGenInputDialog4Advertisement)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    setFormWidgets(ui->buttonBox, ui->textEditDir, ui->textEditName, ui->spinBoxGenCount);
    fillInputs(PromptAlways);

    ui->frameAutoGenBatch->setVisible(autoGenBatchMode);
    if (autoGenBatchMode) {
        setBatchDefaults(10);
        m_batchDefaultsSet = true;
    }
    // The check box shows the flag as it is; only the user's clicks change it.
    const QSignalBlocker blocker(ui->batchGenCheckBox);
    ui->batchGenCheckBox->setChecked(autoGenBatchMode);
}

AutoGenInputDialog4Advertisement::~AutoGenInputDialog4Advertisement()
{
    delete ui;
}

void AutoGenInputDialog4Advertisement::on_batchGenCheckBox_stateChanged(int arg1)
{
    qDebug() << Q_FUNC_INFO << ", arg1 =" << arg1;
    autoGenBatchMode = arg1 != 0;
    ui->frameAutoGenBatch->setVisible(autoGenBatchMode);
    // Ticked for the first time: fields an OK would accept, as the advertorial's.
    if (autoGenBatchMode && !m_batchDefaultsSet) {
        setBatchDefaults(1000);
        m_batchDefaultsSet = true;
    }
}
