#include "WordCloudDialog.h"

#include <QColor>
#include <QDebug>
#include <QFileInfo>

#include "Prompt.h"
#include "ui_WordCloudDialog.h"

WordCloudDialog::WordCloudDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::WordCloudDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    ui->fileErrorLabel->hide();
    connect(ui->buttonBox, SIGNAL(accepted()), this, SLOT(accept()));
    connect(ui->buttonBox, SIGNAL(rejected()), this, SLOT(reject()));
}

WordCloudDialog::~WordCloudDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

QString WordCloudDialog::maskFile() const
{
    return ui->maskFileLineEdit->text();
}

QString WordCloudDialog::backgroundColor() const
{
    return m_backgroundColor;
}

int WordCloudDialog::maxFontSize() const
{
    return ui->maxFontSizeSpinBox->value();
}

int WordCloudDialog::maxWordCount() const
{
    return ui->maxWordCountSpinBox->value();
}

void WordCloudDialog::accept()
{
    qDebug() << Q_FUNC_INFO << ", maskFile =" << maskFile();
    // The picture may have gone since it was chosen.
    if (maskFile().isEmpty() || !QFileInfo(maskFile()).isFile()) {
        ui->fileErrorLabel->show();
        return;
    }
    ui->fileErrorLabel->hide();
    QDialog::accept();
}

void WordCloudDialog::on_maskFilePushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    const QString chosen = Prompt::current().getOpenFileName(this, tr("选择素材图片"), maskFolder(),
                                                             tr("图片文件 (*.png *.jpg *.bmp)"));
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).isFile()) {
        ui->fileErrorLabel->hide();
        ui->maskFileLineEdit->setText(chosen);
    } else {
        ui->fileErrorLabel->show();
    }
}

void WordCloudDialog::on_backgroundColorPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    const QColor color = Prompt::current().getColor(QColor(Qt::white), nullptr);
    if (!color.isValid())
        return;
    m_backgroundColor = color.name();
    ui->backgroundColorLineEdit->setStyleSheet(QStringLiteral("QLineEdit { background-color : ")
                                               + m_backgroundColor + QStringLiteral("; }"));
}
