#pragma once
// The password form opened from the account profile: current password and the
// new one twice, all typed as passwords. The entries are not sent anywhere yet.

#include <QDialog>

namespace Ui {
class ChangePasswordDialog;
}

class ChangePasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ChangePasswordDialog(QWidget* parent = nullptr);
    ~ChangePasswordDialog() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::ChangePasswordDialog* ui;
};
