#pragma once
// Signs in to the web account of the maker's site. Up to ten accounts are
// remembered in the settings under "LoginUserName", "LoginPassword" and
// "RememberAccount" followed by the slot 0 to 9, each value enciphered with
// TextCipher (slot 0 is the latest). The settings file is kept readable by its
// owner only once an account has been saved; the cipher itself only hides the
// values from a casual look.

#include <QDialog>
#include <QMap>

#include "TextCipher.h"

namespace Ui {
class LoginDialog;
}
class NetworkAccessManager;

class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RememberedAccountCount = 10;
    // The key of the remembered accounts: every stored value depends on it.
    static constexpr quint64 AccountCipherKey = Q_UINT64_C(0x7d3a51c98e06f2b4);

    explicit LoginDialog(QWidget* parent = nullptr);
    ~LoginDialog() override;

    // The deciphered value of a settings key; empty when absent or unreadable.
    QString getEncryptedSettings(const QString& key);
    // Writes the current account into slot 0 and the other remembered accounts
    // after it in their previous order; slots left over are removed.
    void saveCredential();

private slots:
    void on_signUpPushButton_clicked();
    void on_loginPushButton_clicked();
    void on_showPasswordCheckBox_stateChanged(int arg1);
    void on_retrievePasswordPushButton_clicked();
    void on_closePushButton_clicked();
    void on_userNameComboBox_editTextChanged(const QString& arg1);
    void on_passwordLineEdit_textChanged(const QString& arg1);

private:
    Ui::LoginDialog* ui;
    TextCipher cipher;
    QMap<QString, QString> accounts; // settings key -> deciphered value
    NetworkAccessManager* networkClient = nullptr;
};
