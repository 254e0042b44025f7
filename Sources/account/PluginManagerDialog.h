#pragma once
// Lists the plug-ins of the plug-ins folder with name, load state, version and
// date; "详细信息" shows the selected one. Each dialog asks its own manager, so
// every opening looks at the folder afresh. The dialog deletes its records.

#include <QDialog>
#include <QList>

namespace Ui {
class PluginManagerDialog;
}
class PluginInformation;
class PluginManager;

class PluginManagerDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PluginManagerDialog(QWidget* parent = nullptr);
    ~PluginManagerDialog() override;

private slots:
    void on_detailsPushButton_clicked();
    void on_closePushButton_clicked();

private:
    Ui::PluginManagerDialog* ui;
    PluginManager* pluginManager;
    QList<PluginInformation*> plugins;
};
