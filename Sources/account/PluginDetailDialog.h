#pragma once
// The details of one plug-in: name, file, load state, version and date; "-" in
// every field until update() fills them.

#include <QDialog>

namespace Ui {
class PluginDetailDialog;
}
class PluginInformation;
class QLabel;
class QLineEdit;

class PluginDetailDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PluginDetailDialog(QWidget* parent = nullptr);
    ~PluginDetailDialog() override;

    void update(PluginInformation* info);

private slots:
    void on_pushButton_clicked();

private:
    Ui::PluginDetailDialog* ui;
    QLabel* nameLabel;
    QLineEdit* fileNameLineEdit;
    QLabel* loadStateLabel;
    QLabel* versionLabel;
    QLabel* dateLabel;
};
