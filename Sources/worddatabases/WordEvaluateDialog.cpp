#include "WordEvaluateDialog.h"

#include <QDebug>

#include "ui_WordEvaluateDialog.h"

WordEvaluateDialog::WordEvaluateDialog(QWidget* parent)
    : EvaluateDialog(parent)
    , ui(new Ui::WordEvaluateDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    attach(widgetsOf(ui));
}

WordEvaluateDialog::~WordEvaluateDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

void WordEvaluateDialog::setDirectory(const QString& directory)
{
    qDebug() << Q_FUNC_INFO << ", directory =" << directory;
    if (directory.isEmpty())
        ui->currentFileRadioButton->setChecked(true);
    else
        ui->directoryRadioButton->setChecked(true);
    ui->directoryNameLineEdit->setText(directory);
}

void WordEvaluateDialog::setMode(int toolId)
{
    qDebug() << Q_FUNC_INFO << ", toolId =" << toolId;
    if (toolId != 35 && toolId != 37)
        return;
    ui->includeOneCharacterChineseCheckBox->setVisible(toolId == 35);
    ui->includeHighFreqFunctionWordCheckBox->setVisible(toolId == 35);
}

bool WordEvaluateDialog::includeOneCharacterWords() const
{
    return ui->includeOneCharacterChineseCheckBox->isChecked();
}

bool WordEvaluateDialog::includeHighFreqFunctionWords() const
{
    return ui->includeHighFreqFunctionWordCheckBox->isChecked();
}

void WordEvaluateDialog::on_chooseDirectoryPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    const QString chosen = askDirectory();
    if (!chosen.isEmpty())
        setDirectory(chosen);
}
