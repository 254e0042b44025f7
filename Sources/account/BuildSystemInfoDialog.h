#pragma once
// Shows the five facts of BuildInfo.ini; "未知" in every field when the file is missing.

#include <QDialog>

namespace Ui {
class BuildSystemInfoDialog;
}

class BuildSystemInfoDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BuildSystemInfoDialog(QWidget* parent = nullptr);
    ~BuildSystemInfoDialog() override;

private slots:
    void on_closePushButton_clicked();

private:
    Ui::BuildSystemInfoDialog* ui;
};
