#include "PluginDetailDialog.h"

#include <QDebug>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPluginLoader>

#include "PluginInformation.h"
#include "ui_PluginDetailDialog.h"

PluginDetailDialog::PluginDetailDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::PluginDetailDialog)
{
    ui->setupUi(this);
    const QString none = QStringLiteral("-");
    nameLabel = new QLabel(none, this);
    nameLabel->setObjectName(QStringLiteral("nameLabel"));
    fileNameLineEdit = new QLineEdit(none, this);
    fileNameLineEdit->setObjectName(QStringLiteral("fileNameLineEdit"));
    fileNameLineEdit->setReadOnly(true);
    loadStateLabel = new QLabel(none, this);
    loadStateLabel->setObjectName(QStringLiteral("loadStateLabel"));
    versionLabel = new QLabel(none, this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    dateLabel = new QLabel(none, this);
    dateLabel->setObjectName(QStringLiteral("dateLabel"));
    ui->pluginInfoFormLayout->addRow(tr("名称:"), nameLabel);
    ui->pluginInfoFormLayout->addRow(tr("文件名:"), fileNameLineEdit);
    ui->pluginInfoFormLayout->addRow(tr("加载状态:"), loadStateLabel);
    ui->pluginInfoFormLayout->addRow(tr("版本:"), versionLabel);
    ui->pluginInfoFormLayout->addRow(tr("日期:"), dateLabel);
}

PluginDetailDialog::~PluginDetailDialog()
{
    delete ui;
}

void PluginDetailDialog::update(PluginInformation* info)
{
    qDebug() << Q_FUNC_INFO;
    if (!info)
        return;
    nameLabel->setText(info->name);
    fileNameLineEdit->setText(info->filePath);
    fileNameLineEdit->setCursorPosition(0);
    loadStateLabel->setText(info->loader && info->loader->isLoaded() ? tr("已加载") : tr("未加载"));
    versionLabel->setText(info->version);
    dateLabel->setText(info->releaseDate);
}

void PluginDetailDialog::on_pushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    accept();
}
