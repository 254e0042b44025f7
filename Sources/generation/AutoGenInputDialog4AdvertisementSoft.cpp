#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "ui_AutoGenInputDialog4AdvertisementSoft.h"

#include <QDebug>

#include "ProgramState.h"

AutoGenInputDialog4AdvertisementSoft::AutoGenInputDialog4AdvertisementSoft(QWidget* parent)
    : AutoGenInputDialogBase(AutoGenForm::Advertorial, parent), ui(new Ui::AutoGenInputDialog4AdvertisementSoft)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    setFormWidgets(ui->buttonBox, ui->textEditDir, ui->textEditName, ui->spinBoxGenCount);
    fillInputs(PromptAlways);
    followBatchMode();
}

AutoGenInputDialog4AdvertisementSoft::~AutoGenInputDialog4AdvertisementSoft()
{
    delete ui;
}

void AutoGenInputDialog4AdvertisementSoft::showEvent(QShowEvent* event)
{
    followBatchMode();
    AutoGenInputDialogBase::showEvent(event);
}

void AutoGenInputDialog4AdvertisementSoft::followBatchMode()
{
    ui->frameAutoGenBatch->setVisible(autoGenBatchMode);
    if (autoGenBatchMode && !m_batchDefaultsSet) {
        setBatchDefaults(1000);
        m_batchDefaultsSet = true;
    }
}
