#include "SaveTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

SaveTab::SaveTab(QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    defaultFileFormatComboBox = new QComboBox(this);
    defaultFileFormatComboBox->addItem(tr("txt文件 (纯文本文件)"), 0);
    defaultFileFormatComboBox->addItem(tr("tqd文件 (塔泉笔文档)"), 1);
    autoSaveTemplateIntervalSpinBox = newSpinBox(1, 60);
    autoSaveFileIntervalSpinBox = newSpinBox(1, 60);
    backupFileBeforeSaveCheckBox = new QCheckBox(tr("保存前备份"), this);

    const Settings settings;
    // A format the list does not have keeps the first entry rather than none.
    const int format = settings.value(QStringLiteral("DefaultFileFormat"), 0).toInt();
    if (format >= 0 && format < defaultFileFormatComboBox->count())
        defaultFileFormatComboBox->setCurrentIndex(format);
    if (settings.contains(QStringLiteral("AutoSaveFileInterval")))
        autoSaveFileIntervalSpinBox->setValue(settings.value(QStringLiteral("AutoSaveFileInterval")).toInt());
    if (settings.contains(QStringLiteral("AutoSaveTemplateInterval")))
        autoSaveTemplateIntervalSpinBox->setValue(settings.value(QStringLiteral("AutoSaveTemplateInterval")).toInt());
    loadCheckState(settings, QStringLiteral("BackupFileBeforeSave"), backupFileBeforeSaveCheckBox);

    auto* layout = new QVBoxLayout;
    layout->addLayout(rowOf({new QLabel(tr("默认文档格式"), this), defaultFileFormatComboBox, new QLabel(this)}));
    layout->addLayout(rowOf({new QLabel(tr("自动保存模板每"), this), autoSaveTemplateIntervalSpinBox,
                             new QLabel(tr("分钟. (1 - 60)"), this)}));
    layout->addLayout(rowOf({new QLabel(tr("自动保存文档每"), this), autoSaveFileIntervalSpinBox,
                             new QLabel(tr("分钟. (1 - 60)"), this)}));
    layout->addWidget(backupFileBeforeSaveCheckBox);
    layout->addStretch();
    setLayout(layout);
}

void SaveTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    settings.setValue(QStringLiteral("DefaultFileFormat"), defaultFileFormatComboBox->currentIndex());
    settings.setValue(QStringLiteral("AutoSaveFileInterval"), autoSaveFileIntervalSpinBox->value());
    settings.setValue(QStringLiteral("AutoSaveTemplateInterval"), autoSaveTemplateIntervalSpinBox->value());
    storeCheckState(settings, QStringLiteral("BackupFileBeforeSave"), backupFileBeforeSaveCheckBox);
}
