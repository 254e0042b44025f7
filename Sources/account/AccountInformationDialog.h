#pragma once
// The signed-in account's profile. A layout only for now: nothing fills it, so
// every value shows "-"; the password row can show what is typed and opens the
// password dialog.

#include <QDialog>

namespace Ui {
class AccountInformationDialog;
}

class AccountInformationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AccountInformationDialog(QWidget* parent = nullptr);
    ~AccountInformationDialog() override;

private slots:
    void on_pushButton_clicked();
    void on_showPasswordCheckBox_stateChanged(int arg1);
    void on_resetPushButton_clicked();

private:
    Ui::AccountInformationDialog* ui;
};
