// The web account against a loopback server: the login command and its request
// sequence, the stored cookies, the remembered accounts and the profile dialogs.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QNetworkReply>
#include <QPushButton>
#include <QToolBar>

#include <sys/stat.h>
#include <sys/types.h>

#include "AccountInformationDialog.h"
#include "LoginDialog.h"
#include "LoopbackServer.h"
#include "MainWindow.h"
#include "MakerSite.h"
#include "ModalResponder.h"
#include "NetworkAccessManager.h"
#include "ProgramState.h"
#include "SettingsStore.h"
#include "TestSupport.h"
#include "TextCipher.h"
#include "UrlRecorder.h"

namespace {

using Route = LoopbackServer::Route;

const QByteArray NonceTarget = "/api/get_nonce/?controller=core&method=get_nonce";
const QStringList FullSequence{"/api/", "/api/info/", QString::fromLatin1(NonceTarget)};
const QString ServerError = QStringLiteral("服务器错误, 错误代码: 0xffff0001");

const char* const AccountKeys[] = {"LoginUserName", "LoginPassword", "RememberAccount"};

QString slotKey(const char* name, int slot)
{
    return QLatin1String(name) + QString::number(slot);
}

// Slot -> "name|password|flag", each value enciphered into its key.
void storeAccounts(const QMap<int, QString>& accounts)
{
    TextCipher cipher(LoginDialog::AccountCipherKey);
    Settings settings;
    for (auto it = accounts.constBegin(); it != accounts.constEnd(); ++it)
        for (int i = 0; i < 3; ++i)
            settings.setValue(slotKey(AccountKeys[i], it.key()), cipher.encryptText(it->section('|', i, i)));
}

// "name|password|flag" of every slot 0 to 9 with any of its keys present.
QStringList storedAccounts()
{
    TextCipher cipher(LoginDialog::AccountCipherKey);
    Settings settings;
    QStringList result;
    for (int slot = 0; slot < 10; ++slot) {
        QStringList values;
        for (const char* name : AccountKeys)
            if (settings.contains(slotKey(name, slot)))
                values << cipher.decryptText(settings.value(slotKey(name, slot)).toString());
        if (!values.isEmpty())
            result << values.join('|');
    }
    return result;
}

// The thirty stored values as they stand.
QStringList rawAccountValues()
{
    QStringList values;
    for (int slot = 0; slot < 10; ++slot)
        for (const char* name : AccountKeys)
            values << Settings().value(slotKey(name, slot)).toString();
    return values;
}

template <typename T>
T* child(QObject* parent, const char* name)
{
    return parent->findChild<T*>(QLatin1String(name));
}

// Types into the dialog's fields the way a person does.
void enterAccount(QWidget* dialog, const QString& name, const QString& password)
{
    auto* names = child<QComboBox>(dialog, "userNameComboBox");
    auto* passwordEdit = child<QLineEdit>(dialog, "passwordLineEdit");
    names->lineEdit()->clear();
    typeText(names->lineEdit(), name);
    passwordEdit->clear();
    typeText(passwordEdit, password);
}

void clickLogin(QWidget* dialog)
{
    QTest::mouseClick(child<QPushButton>(dialog, "loginPushButton"), Qt::LeftButton);
}

// Closes a dialog that a modal-responder action drives, whatever way the action ends.
struct RejectAtEnd
{
    QDialog* dialog;
    ~RejectAtEnd()
    {
        if (dialog->isVisible())
            dialog->reject();
    }
};

} // namespace

class WebAccountTest : public QObject
{
    Q_OBJECT

    LoopbackServer* server = nullptr;
    QString cookieFile;

private slots:
    void init()
    {
        // The program's debug trail is read only where the stored cookies are.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        Settings().clear();
        Settings().sync();
        resetStartUpState();
        server = new LoopbackServer(this);
        server->setRoute("/api/", Route::json(R"({"controllers":["posts","core","user"]})"));
        server->setRoute("/api/info/", Route::json(R"({"status":"ok"})"));
        server->setRoute(NonceTarget, Route::json(R"({"status":"ok","nonce":"0123abcd"})"));
        MakerSite::setSiteRoot(server->root());
        cookieFile = freshTempFolder("cookies") + "/cookie.txt";
        NetworkAccessManager::setCookieFileName(cookieFile);
    }
    void cleanup()
    {
        delete server;
        server = nullptr;
        MakerSite::setSiteRoot(QString());
        NetworkAccessManager::setCookieFileName(QString());
        resetStartUpState();
    }

    // ---- The login command against the server -----------------------------------

    void loginCommand()
    {
        QVERIFY(!MainWindow(nullptr, MainWindow::NoStartUpTimers).loginAct);
        superUserMode = true;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QAction* login = window.loginAct;
        QVERIFY(login);
        QCOMPARE(login->text(), QString("登录"));
        QCOMPARE(login->statusTip(), QString("登录账户"));
        for (QWidget* widget : login->associatedWidgets())
            QVERIFY(!qobject_cast<QMenu*>(widget) && !qobject_cast<QToolBar*>(widget));

        const quint16 refused = LoopbackServer::closedPort();
        const QList<QPair<QString, Route>> failures{
            {"Core", Route::json(R"({"controllers":["Core","posts"]})")},
            {"missing", Route::json(R"({"status":"ok"})")},
            {"not an array", Route::json(R"({"controllers":"core"})")},
            {"not JSON", Route::text("core")},
            {"JSON array", Route::json(R"([{"controllers":["core"]}])")},
            {"HTTP 500", Route::html("<html><body>core</body></html>", 500)},
            {"redirect", Route::redirect(302, server->root() + "/elsewhere/")},
            {"dropped", Route::json(R"({"controllers":["core"]})").closedAfter(10)},
            {"slow", Route::json(R"({"controllers":["core"]})").delayed(5000)},
            {"refused", Route()},
        };

        QList<LoopbackServer::Request> requests;
        connect(server, &LoopbackServer::requestReceived, this,
                [&requests](const LoopbackServer::Request& request) { requests << request; });
        UrlRecorder urls;
        ModalResponder responder;
        responder.enqueue([&](QWidget* modal) {
            auto* dialog = qobject_cast<LoginDialog*>(modal);
            QVERIFY(dialog);
            RejectAtEnd closer{dialog};
            auto* client = dialog->findChild<NetworkAccessManager*>();
            QVERIFY(client);
            client->setTransferTimeout(300); // the "slow" row
            enterAccount(dialog, "reader", "se cret");

            clickLogin(dialog);
            QTRY_VERIFY(!client->isBusy());
            QCOMPARE(server->targets(), FullSequence);
            QCOMPARE(responder.count(), 1); // the dialog itself
            QTRY_VERIFY(client->findChildren<QNetworkReply*>().isEmpty());

            for (const auto& failure : failures) {
                server->clearLog();
                responder.clear();
                if (failure.first == "refused")
                    MakerSite::setSiteRoot(QStringLiteral("http://127.0.0.1:%1").arg(refused));
                else
                    server->setRoute("/api/", failure.second);
                clickLogin(dialog);
                QTRY_VERIFY(!client->isBusy());
                QCOMPARE(responder.texts(), QStringList{ServerError});
                QCOMPARE(responder.titles(), QStringList{"错误"});
                QCOMPARE(server->targets(), failure.first == "refused" ? QStringList() : QStringList{"/api/"});
            }
            MakerSite::setSiteRoot(server->root());

            // The two web pages open in the browser; the dialog stays.
            QTest::mouseClick(child<QPushButton>(dialog, "signUpPushButton"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(dialog, "retrievePasswordPushButton"), Qt::LeftButton);
            QCOMPARE(urls.urls, (QList<QUrl>{server->url("/wordpress-4.6.1/wp-login.php?action=register"),
                                             server->url("/wordpress-4.6.1/wp-login.php?action=lostpassword")}));
            QVERIFY(dialog->isVisible());
            QTest::mouseClick(child<QPushButton>(dialog, "closePushButton"), Qt::LeftButton);
        });
        login->trigger();
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(window.findChildren<LoginDialog*>().isEmpty());

        // Nothing the user typed ever went to the server.
        QCOMPARE(requests.size(), 3 + failures.size() - 1);
        for (const LoopbackServer::Request& request : requests) {
            QByteArray seen = request.target + request.body;
            for (const auto& header : request.headers)
                seen += header.first + header.second;
            QVERIFY(!seen.contains("reader") && !seen.contains("se cret") && !seen.contains("se%20cret"));
            QVERIFY(request.body.isEmpty());
            QCOMPARE(request.method, QByteArray("GET"));
        }
    }

    void sideRequestsAndBusyPresses()
    {
        server->setRoute("/api/", Route::json(R"({"controllers":["core"]})").delayed(100));
        server->setRoute("/api/info/", Route::html("<html>gone</html>", 404));
        server->setRoute(NonceTarget, Route::text("not json"));
        ScriptedPrompt prompt;
        LoginDialog dialog;
        dialog.show();
        enterAccount(&dialog, "reader", "pw");
        auto* client = dialog.findChild<NetworkAccessManager*>();
        clickLogin(&dialog);
        clickLogin(&dialog); // still under way: ignored
        QVERIFY(client->isBusy());
        QTRY_VERIFY(!client->isBusy());
        QCOMPARE(server->targets(), FullSequence);
        QVERIFY(prompt.texts.isEmpty());
        QVERIFY(Settings().contains("LoginUserName0") == false);
    }

    // ---- Stored cookies ---------------------------------------------------------------

    void storedCookies_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("inserted"); // the "r: insertCookie(j)" lines
        QTest::addColumn<QByteArray>("cookieHeader");

        auto records = [](const QList<QByteArray>& list) {
            QByteArray bytes;
            QDataStream stream(&bytes, QIODevice::WriteOnly);
            for (const QByteArray& record : list)
                stream << record;
            return bytes;
        };
        QTest::newRow("one and two cookies")
            << records({"sid=alpha1", "theme=beta2\ncart=gamma3; Path=/"}) << QStringList{"0: insertCookie(0)",
                                                                              "1: insertCookie(0)", "1: insertCookie(1)"}
            << QByteArray("sid=alpha1; theme=beta2; cart=gamma3");
        QTest::newRow("foreign domains refused")
            << records({"track=alpha1; Domain=tracker.example", "sid=beta2; Domain=127.0.0.1"})
            << QStringList{"1: insertCookie(0)"} << QByteArray("sid=beta2");
        QTest::newRow("zeros") << QByteArray(4096, '\0') << QStringList() << QByteArray();
        QTest::newRow("truncated record") << records({"sid=alpha1"}) + records({"cut=beta2"}).left(9)
                                          << QStringList{"0: insertCookie(0)"} << QByteArray("sid=alpha1");
        QTest::newRow("huge declared length")
            << QByteArray::fromHex("7ffffff0") + "sid=alpha1" << QStringList() << QByteArray();
        QTest::newRow("over 256 KiB") << records({QByteArray(300 * 1024, 'x') + "=y", "sid=alpha1"}) << QStringList()
                                      << QByteArray();
        QTest::newRow("FIFO") << QByteArray("fifo") << QStringList() << QByteArray();
        QTest::newRow("symlink to a large file") << QByteArray("symlink") << QStringList() << QByteArray();
        QTest::newRow("missing") << QByteArray("missing") << QStringList() << QByteArray();
    }
    void storedCookies()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, inserted);
        QFETCH(QByteArray, cookieHeader);
        if (content == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(cookieFile).constData(), 0600), 0);
        } else if (content == "symlink") {
            writeAll(cookieFile + ".big", QByteArray(8 * 1024 * 1024, 'x'));
            QVERIFY(QFile::link(cookieFile + ".big", cookieFile));
        } else if (content != "missing") {
            writeAll(cookieFile, content);
        }

        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=true"));
        MessageCapture capture;
        QElapsedTimer timer;
        timer.start();
        NetworkAccessManager client;
        QVERIFY(timer.elapsed() < 1000);
        QStringList lines;
        for (const QString& message : capture.messages())
            if (message.contains("insertCookie("))
                lines << message.section(',', 0, 0).trimmed();
        QCOMPARE(lines, inserted);
        for (const QString& message : capture.messages())
            QVERIFY2(!message.contains("alpha1") && !message.contains("beta2") && !message.contains("gamma3"),
                     qPrintable(message));
        if (content == "missing")
            QVERIFY(capture.messages().filter("Cookie file").isEmpty());

        client.getApiControllerList();
        QTRY_VERIFY(!client.isBusy());
        QCOMPARE(server->requests().value(0).header("Cookie"), cookieHeader);
    }

    // ---- Remembered accounts --------------------------------------------------------

    void loadingAccounts()
    {
        {
            LoginDialog empty;
            QCOMPARE(child<QComboBox>(&empty, "userNameComboBox")->count(), 0);
            QVERIFY(!child<QCheckBox>(&empty, "rememberAccountCheckBox")->isChecked());
            QVERIFY(child<QLineEdit>(&empty, "passwordLineEdit")->text().isEmpty());
            QVERIFY(!child<QPushButton>(&empty, "loginPushButton")->isEnabled());
            QCOMPARE(child<QComboBox>(&empty, "serverAddressComboBox")->itemText(0),
                     server->root() + "/wordpress-4.6.1/wp-login.php");
        }
        storeAccounts({{0, "林晓|春 眠|1"}, {3, "wang|pw3|1"}});
        Settings().setValue("LoginUserName5", "not a ciphertext");
        {
            LoginDialog dialog;
            auto* names = child<QComboBox>(&dialog, "userNameComboBox");
            auto* password = child<QLineEdit>(&dialog, "passwordLineEdit");
            auto* login = child<QPushButton>(&dialog, "loginPushButton");
            QCOMPARE(names->count(), 2);
            QCOMPARE(names->itemText(0), QString("林晓"));
            QCOMPARE(names->itemText(1), QString("wang"));
            QVERIFY(child<QCheckBox>(&dialog, "rememberAccountCheckBox")->isChecked());
            QCOMPARE(password->text(), QString("春 眠"));
            QCOMPARE(password->echoMode(), QLineEdit::Password);
            QVERIFY(login->isEnabled());

            names->setCurrentIndex(1);
            QCOMPARE(password->text(), QString("春 眠"));
            password->clear();
            QVERIFY(!login->isEnabled());
            typeText(password, "x");
            QVERIFY(login->isEnabled());
            names->lineEdit()->clear();
            QVERIFY(!login->isEnabled());

            auto* show = child<QCheckBox>(&dialog, "showPasswordCheckBox");
            show->click();
            QCOMPARE(password->echoMode(), QLineEdit::Normal);
            show->click();
            QCOMPARE(password->echoMode(), QLineEdit::Password);
        }
        // A slot-0 flag other than "1", or one that does not decipher: no password.
        for (const QString& flag : {QString("0"), QString("tampered")}) {
            storeAccounts({{0, "林晓|春 眠|" + flag}});
            if (flag == "tampered")
                Settings().setValue("RememberAccount0", "AwK1eNM=");
            LoginDialog dialog;
            QVERIFY(child<QCheckBox>(&dialog, "rememberAccountCheckBox")->isChecked());
            QVERIFY(child<QLineEdit>(&dialog, "passwordLineEdit")->text().isEmpty());
        }
    }

    void savingAccounts()
    {
        storeAccounts({{0, "A|pa|1"}, {1, "B|pb|0"}, {2, "C|pc|1"}, {3, "D|pd|0"}});
        Settings().setValue("LoginUserName4", "AwK1eNM="); // does not decipher: an unused slot
        Settings().setValue("LoginPassword4", "leftover");
        Settings().setValue("RememberAccount4", "leftover");
        LoginDialog dialog;
        dialog.show();
        auto* client = dialog.findChild<NetworkAccessManager*>();

        // The name is trimmed, the password kept as typed; "c" is not "C".
        enterAccount(&dialog, "  C ", " new pc ");
        clickLogin(&dialog);
        QCOMPARE(storedAccounts(), (QStringList{"C| new pc |1", "A|pa|1", "B|pb|0", "D|pd|0"}));
        QTRY_VERIFY(!client->isBusy());
        enterAccount(&dialog, "c", "lower");
        clickLogin(&dialog);
        QCOMPARE(storedAccounts(), (QStringList{"c|lower|1", "C| new pc |1", "A|pa|1", "B|pb|0", "D|pd|0"}));

        struct stat status;
        QCOMPARE(stat(QFile::encodeName(SettingsStore::fileName()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0600));
        QVERIFY(!readAll(SettingsStore::fileName()).contains("lower"));
        QTRY_VERIFY(!client->isBusy());

        // Unticked: not one of the thirty values changes.
        const QStringList before = rawAccountValues();
        child<QCheckBox>(&dialog, "rememberAccountCheckBox")->setChecked(false);
        enterAccount(&dialog, "E", "pe");
        clickLogin(&dialog);
        QTRY_VERIFY(!client->isBusy());
        QCOMPARE(rawAccountValues(), before);
    }

    void tenAccountsRotate()
    {
        QMap<int, QString> ten;
        for (int slot = 0; slot < 10; ++slot)
            ten.insert(slot, QStringLiteral("user%1|pw%1|%2").arg(slot).arg(slot % 2));
        storeAccounts(ten);
        LoginDialog dialog;
        dialog.show();
        enterAccount(&dialog, "newcomer", "pn");
        clickLogin(&dialog);
        QStringList expected = QStringList{"newcomer|pn|1"} + QStringList(ten.values()).mid(0, 9);
        QCOMPARE(storedAccounts(), expected);

        // An old slot-3 account moves to the front; the others keep their order.
        LoginDialog again;
        again.show();
        QTRY_VERIFY(!dialog.findChild<NetworkAccessManager*>()->isBusy());
        enterAccount(&again, "user3", "changed");
        clickLogin(&again);
        expected.move(4, 0);
        expected[0] = "user3|changed|1";
        QCOMPARE(storedAccounts(), expected);
        QTRY_VERIFY(!again.findChild<NetworkAccessManager*>()->isBusy());
    }

    // ---- Profile and password dialogs --------------------------------------------------

    void profileDialogs()
    {
        QVERIFY(!MainWindow(nullptr, MainWindow::NoStartUpTimers).showAccountInformationAct);
        superUserMode = true;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QAction* action = window.showAccountInformationAct;
        QVERIFY(action);
        QCOMPARE(action->text(), QString("账户信息"));
        QCOMPARE(action->menuRole(), QAction::ApplicationSpecificRole);

        ModalResponder responder;
        responder.enqueue([&](QWidget* modal) {
            auto* profile = qobject_cast<AccountInformationDialog*>(modal);
            QVERIFY(profile);
            RejectAtEnd closer{profile};
            QCOMPARE(profile->windowTitle(), QString("账户信息"));
            for (const char* name : {"accountNameLabel", "userIdLabel", "genderLabel", "birthdayLabel", "ageLabel",
                                     "horoscopeLabel", "emailLabel", "qqIdLabel", "weChatIdLabel", "signUpDateLabel",
                                     "signUpAgeLabel"})
                QCOMPARE(child<QLabel>(profile, name)->text(), QString("-"));
            auto* password = child<QLineEdit>(profile, "passwordLineEdit");
            QVERIFY(password->text().isEmpty());
            typeText(password, "abc");
            QCOMPARE(password->echoMode(), QLineEdit::Password);
            child<QCheckBox>(profile, "showPasswordCheckBox")->click();
            QCOMPARE(password->echoMode(), QLineEdit::Normal);
            child<QCheckBox>(profile, "showPasswordCheckBox")->click();
            QCOMPARE(password->echoMode(), QLineEdit::Password);

            for (const char* button : {"pushButton_3", "pushButton_2"})
                QTest::mouseClick(child<QPushButton>(profile, button), Qt::LeftButton);
            QVERIFY(profile->isVisible());
            // "重置密码" opens the password form over the profile; both its buttons close it.
            for (const char* button : {"pushButton", "pushButton_2"}) {
                responder.enqueue([button](QWidget* form) {
                    QCOMPARE(form->windowTitle(), QString("重置密码"));
                    for (const char* field : {"currentPasswordLineEdit", "newPassword1LineEdit", "newPassword2LineEdit"})
                        QCOMPARE(child<QLineEdit>(form, field)->echoMode(), QLineEdit::Password);
                    QTest::mouseClick(child<QPushButton>(form, button), Qt::LeftButton);
                });
                QTest::mouseClick(child<QPushButton>(profile, "resetPushButton"), Qt::LeftButton);
            }
            QVERIFY(profile->isVisible());
            QCOMPARE(password->text(), QString("abc"));
            QTest::mouseClick(child<QPushButton>(profile, "pushButton"), Qt::LeftButton);
        });
        action->trigger();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(responder.classNames(),
                 (QStringList{"AccountInformationDialog", "ChangePasswordDialog", "ChangePasswordDialog"}));
    }
};

TQ_TEST_MAIN(WebAccountTest)
#include "tst_webaccount.moc"
