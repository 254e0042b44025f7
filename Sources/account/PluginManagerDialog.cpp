#include "PluginManagerDialog.h"

#include <QDebug>
#include <QHeaderView>
#include <QTableWidgetItem>

#include "PluginDetailDialog.h"
#include "PluginInformation.h"
#include "PluginManager.h"
#include "Prompt.h"
#include "ui_PluginManagerDialog.h"

PluginManagerDialog::PluginManagerDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::PluginManagerDialog)
{
    ui->setupUi(this);
    QTableWidget* table = ui->pluginsTableWidget;
    table->setHorizontalHeaderLabels({QStringLiteral("名称"), QStringLiteral("加载"), QStringLiteral("版本"),
                                      QStringLiteral("日期")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    pluginManager = new PluginManager(this);
    plugins = pluginManager->getAllPluginsBriefInfo();

    table->setRowCount(plugins.size());
    for (int row = 0; row < plugins.size(); ++row) {
        const PluginInformation* info = plugins.at(row);
        const QString cells[] = {info->name, info->loaded ? tr("已加载") : tr("未加载"), info->version,
                                 info->releaseDate};
        for (int column = 0; column < 4; ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (!plugins.isEmpty())
        table->selectRow(0);
}

PluginManagerDialog::~PluginManagerDialog()
{
    // Deleting a record never unloads its library.
    qDeleteAll(plugins);
    delete ui;
}

void PluginManagerDialog::on_detailsPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    PluginDetailDialog dialog;
    const int row = ui->pluginsTableWidget->currentRow();
    if (row >= 0 && row < plugins.size())
        dialog.update(plugins.at(row));
    Prompt::current().execDialog(dialog);
}

void PluginManagerDialog::on_closePushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    accept();
}
