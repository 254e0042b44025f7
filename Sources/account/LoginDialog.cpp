#include "LoginDialog.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>
#include <QVector>

#include "MakerSite.h"
#include "NetworkAccessManager.h"
#include "Prompt.h"
#include "SettingsStore.h"
#include "ui_LoginDialog.h"

namespace {

const QString UserNameKey = QStringLiteral("LoginUserName");
const QString PasswordKey = QStringLiteral("LoginPassword");
const QString RememberKey = QStringLiteral("RememberAccount");

QString slotKey(const QString& name, int slot)
{
    return name + QString::number(slot);
}

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The settings file holds the remembered passwords: it is made, and kept,
// readable by its owner only. An existing file keeps its mode through later
// saves, because the store replaces it with a copy of the same permissions.
void makeSettingsFilePrivate()
{
    const QString fileName = SettingsStore::fileName();
    if (!QFileInfo::exists(fileName)) {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.close();
    }
    if (QFileInfo::exists(fileName) && !QFile::setPermissions(fileName, OwnerOnly))
        qWarning() << "Cannot make the settings file private:" << fileName;
}

QUrl siteAddress(const char* path)
{
    return QUrl(QStringLiteral("%1%2").arg(MakerSite::siteRoot(), QString::fromUtf8(path)), QUrl::TolerantMode);
}

} // namespace

LoginDialog::LoginDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::LoginDialog)
    , cipher(AccountCipherKey)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    setFixedSize(size()); // the form places its fields on a child of fixed size
    ui->serverAddressComboBox->addItem(MakerSite::address(MakerSite::LOGIN_PAGE_PATH));
    ui->userNameComboBox->lineEdit()->setClearButtonEnabled(true);

    for (int slot = 0; slot < RememberedAccountCount; ++slot) {
        const QString name = getEncryptedSettings(slotKey(UserNameKey, slot));
        if (name.isEmpty())
            continue;
        if (ui->userNameComboBox->count() == 0)
            ui->rememberAccountCheckBox->setChecked(true);
        ui->userNameComboBox->addItem(name);
        const QString password = getEncryptedSettings(slotKey(PasswordKey, slot));
        const QString flag = getEncryptedSettings(slotKey(RememberKey, slot));
        if (ui->userNameComboBox->count() == 1 && flag == QLatin1String("1")) {
            ui->rememberAccountCheckBox->setChecked(true);
            ui->passwordLineEdit->setText(password);
        }
        accounts.insert(slotKey(UserNameKey, slot), name);
        accounts.insert(slotKey(PasswordKey, slot), password);
        accounts.insert(slotKey(RememberKey, slot), flag);
    }

    networkClient = new NetworkAccessManager(this);
}

LoginDialog::~LoginDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

QString LoginDialog::getEncryptedSettings(const QString& key)
{
    qDebug() << Q_FUNC_INFO << ", key =" << key;
    const Settings settings;
    if (!settings.contains(key))
        return QString();
    return cipher.decryptText(settings.value(key).toString());
}

void LoginDialog::saveCredential()
{
    qDebug() << Q_FUNC_INFO;
    struct Account
    {
        QString name;
        QString password;
        QString flag;
    };
    const QString current = ui->userNameComboBox->currentText().trimmed();
    QVector<Account> remembered{{current, ui->passwordLineEdit->text(), QStringLiteral("1")}};
    for (int slot = 0; slot < RememberedAccountCount && remembered.size() < RememberedAccountCount; ++slot) {
        const QString name = accounts.value(slotKey(UserNameKey, slot));
        if (name.isEmpty() || name == current)
            continue;
        remembered << Account{name, accounts.value(slotKey(PasswordKey, slot)),
                              accounts.value(slotKey(RememberKey, slot))};
    }

    // Each slot is overwritten in place and only the leftovers removed, so an
    // interrupted save never leaves fewer accounts than it found.
    makeSettingsFilePrivate();
    Settings settings;
    for (int slot = 0; slot < remembered.size(); ++slot) {
        const Account& account = remembered.at(slot);
        settings.setValue(slotKey(UserNameKey, slot), cipher.encryptText(account.name));
        settings.setValue(slotKey(PasswordKey, slot), cipher.encryptText(account.password));
        settings.setValue(slotKey(RememberKey, slot), cipher.encryptText(account.flag));
    }
    for (int slot = remembered.size(); slot < RememberedAccountCount; ++slot)
        for (const QString& name : {UserNameKey, PasswordKey, RememberKey})
            settings.remove(slotKey(name, slot));
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qWarning() << "Saving the remembered accounts failed:" << settings.status();
    makeSettingsFilePrivate();

    // A second login in this dialog starts from what was just saved.
    accounts.clear();
    for (int slot = 0; slot < remembered.size(); ++slot) {
        accounts.insert(slotKey(UserNameKey, slot), remembered.at(slot).name);
        accounts.insert(slotKey(PasswordKey, slot), remembered.at(slot).password);
        accounts.insert(slotKey(RememberKey, slot), remembered.at(slot).flag);
    }
}

void LoginDialog::on_signUpPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    Prompt::current().openUrl(siteAddress(MakerSite::REGISTER_PAGE_PATH));
}

void LoginDialog::on_loginPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    if (networkClient->isBusy()) {
        qDebug() << "A login is still under way; the press is ignored.";
        return;
    }
    networkClient->getApiControllerList();
    if (ui->rememberAccountCheckBox->checkState() == Qt::Checked)
        saveCredential();
}

void LoginDialog::on_showPasswordCheckBox_stateChanged(int arg1)
{
    qDebug() << Q_FUNC_INFO << ", arg1 =" << arg1;
    ui->passwordLineEdit->setEchoMode(arg1 == Qt::Checked ? QLineEdit::Normal : QLineEdit::Password);
}

void LoginDialog::on_retrievePasswordPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    Prompt::current().openUrl(siteAddress(MakerSite::LOST_PASSWORD_PAGE_PATH));
}

void LoginDialog::on_closePushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    reject();
}

void LoginDialog::on_userNameComboBox_editTextChanged(const QString& arg1)
{
    qDebug() << Q_FUNC_INFO << ", arg1 =" << arg1;
    ui->loginPushButton->setEnabled(!arg1.isEmpty() && !ui->passwordLineEdit->text().isEmpty());
}

void LoginDialog::on_passwordLineEdit_textChanged(const QString& arg1)
{
    // The password itself never reaches the log.
    qDebug() << Q_FUNC_INFO << ", arg1 =" << QStringLiteral("(%1 characters)").arg(arg1.size());
    ui->loginPushButton->setEnabled(!arg1.isEmpty() && !ui->userNameComboBox->currentText().isEmpty());
}
