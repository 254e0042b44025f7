// The help menu's views: the version file, build information, release notes,
// the about and credits boxes, the help page and the prepared mails.

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrlQuery>

#include "BuildInformation.h"
#include "BuildSystemInfoDialog.h"
#include "HelpCommands.h"
#include "MainWindow.h"
#include "MakerSite.h"
#include "ModalResponder.h"
#include "ProgramBuildConfig.h"
#include "TestSupport.h"
#include "VersionFile.h"

namespace {

// Also keeps the object name and detail text of every box shown.
class BoxRecorder : public ScriptedPrompt
{
public:
    QStringList objectNames;
    QStringList detailedTexts;
    int exec(QMessageBox& box) override
    {
        objectNames << box.objectName();
        detailedTexts << box.detailedText();
        return ScriptedPrompt::exec(box);
    }
};

QString shipped(const char* fileName)
{
    return TestEnvironment::programDir() + "/" + fileName;
}

} // namespace

class InformationViewsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(enterTestWorkFolder());
    }
    void cleanup()
    {
        QDir::setCurrent(TestEnvironment::instance()->workDir());
        MakerSite::setSiteRoot(QString());
    }

    void versionFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("date");
        QTest::newRow("LF") << QByteArray("v1.5.0\n2019-07-23\n") << "v1.5.0\n" << "2019-07-23\n";
        QTest::newRow("CR LF kept") << QByteArray("v1.5.0\r\n2019-07-23\r\n") << "v1.5.0\r\n" << "2019-07-23\r\n";
        QTest::newRow("NUL cuts a line") << QByteArray("v1.5\0junk\n2019-07-23\n", 21) << "v1.5" << "2019-07-23\n";
        QTest::newRow("one line") << QByteArray("v2") << "v2" << "";
        QTest::newRow("three lines") << QByteArray("v3\n2020-01-01\nignored\n") << "v3\n" << "2020-01-01\n";
        QTest::newRow("UTF-8") << QByteArray("版本一\n") << "版本一\n" << "";
        QTest::newRow("overlong line capped")
            << QByteArray(5000, 'x') + "\n2019-07-23\n" << QString(1024, 'x') << "2019-07-23\n";
    }
    void versionFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, version);
        QFETCH(QString, date);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        // No file: what the caller passed stays.
        QString shownVersion = "kept";
        QString shownDate = "kept too";
        window.readVersionFile(shownVersion, shownDate);
        QCOMPARE(shownVersion + shownDate, QString("keptkept too"));
        QVERIFY(!readVersionFile(VERSION_FILE_NAME).found);

        writeAll(VERSION_FILE_NAME, content);
        window.readVersionFile(shownVersion, shownDate);
        QCOMPARE(shownVersion, version);
        QCOMPARE(shownDate, date);
        // The program's own file has a version and a date.
        const VersionInfo own = readVersionFile(shipped(VERSION_FILE_NAME));
        QVERIFY(!own.version.trimmed().isEmpty());
        QVERIFY(QDate::fromString(own.date.trimmed().left(10), "yyyy-MM-dd").isValid());
    }

    void buildInformation_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("unknownLines");
        const QStringList none = {"", "", "", "", ""};
        QTest::newRow("all five") << QByteArray("BuildTimeStamp=t\nCompilerInfo=c\nHWInfo=h\nOSInfo=o\nBuildHash=x\n")
                                  << QStringList{"t", "c", "h", "o", "x"} << QStringList{};
        QTest::newRow("comments, blank lines, trimmed lines")
            << QByteArray("# BuildHash=no\n\n  # HWInfo=no\n  \tHWInfo=x86_64 \r\nBuildHash=real\n")
            << QStringList{"", "", "x86_64", "", "real"} << QStringList{};
        QTest::newRow("blanks around =") << QByteArray("BuildHash = abc\nHWInfo =arm\n") << none
                                         << QStringList{"BuildHash = abc", "HWInfo =arm"};
        QTest::newRow("value holding =") << QByteArray("OSInfo=a=b\n") << none << QStringList{"OSInfo=a=b"};
        QTest::newRow("duplicate key, later wins") << QByteArray("BuildHash=first\nBuildHash=second\n")
                                                   << QStringList{"", "", "", "", "second"} << QStringList{};
        QTest::newRow("unknown and miscased keys") << QByteArray("Foo=bar\nbuildhash=x\nno equals\nHWInfo=\n") << none
                                                   << QStringList{"Foo=bar", "buildhash=x", "no equals"};
    }
    void buildInformation()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, unknownLines);
        writeAll(BUILD_INFORMATION_FILE_NAME, content);
        MessageCapture capture;
        BuildInformation information;
        QVERIFY(getBuildInformation(information));
        QCOMPARE(QStringList({information.buildTimeStamp, information.compilerInfo, information.hwInfo,
                              information.osInfo, information.buildHash}),
                 fields);
        QStringList reported;
        for (const auto& entry : capture.entries())
            if (entry.first == QtWarningMsg && entry.second.startsWith("Unknown config line: "))
                reported << entry.second.mid(21);
        QCOMPARE(reported, unknownLines);

        // The dialog shows the fields as read: a missing key is empty, not "未知".
        BuildSystemInfoDialog dialog;
        QCOMPARE(dialog.size(), QSize(640, 209));
        QStringList shown;
        for (const char* name : {"buildTimeLineEdit", "buildCompilerLineEdit", "buildHWLineEdit", "buildOSLineEdit",
                                 "buildHashLineEdit"})
            shown << dialog.findChild<QLineEdit*>(name)->text();
        QCOMPARE(shown, fields);
    }

    void buildInformationMissingAndShipped()
    {
        MessageCapture capture;
        BuildInformation information;
        QVERIFY(!getBuildInformation(information));
        QVERIFY(capture.messages().contains("Failed to open build information file: BuildInfo.ini"));
        {
            BuildSystemInfoDialog dialog;
            for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
                QCOMPARE(edit->text(), QString("未知"));
            QTest::mouseClick(dialog.findChild<QPushButton*>("closePushButton"), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        // The file written when the build was configured: five values and nothing unknown.
        QVERIFY(QFile::copy(shipped(BUILD_INFORMATION_FILE_NAME), BUILD_INFORMATION_FILE_NAME));
        capture.clear();
        QVERIFY(getBuildInformation(information));
        QVERIFY(!capture.contains("Unknown config line"));
        QVERIFY(QDateTime::fromString(information.buildTimeStamp, "yyyy-MM-dd hh:mm:ss").isValid());
        QCOMPARE(information.compilerInfo, QString(TQ_COMPILER_INFO));
        QVERIFY(!information.hwInfo.isEmpty() && information.osInfo.contains("Linux"));
        QVERIFY(QRegularExpression("^([0-9a-f]{40}|unknown)$").match(information.buildHash).hasMatch());

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.showBuildSystemInformationAct->trigger();
        QCOMPARE(prompt.dialogs, QStringList({"BuildSystemInfoDialog"}));
    }

    void releaseNotes_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("newest");
        QTest::newRow("two sections") << QByteArray("v2\n- new\n----\nv1\n- old\n-----\nv0\n") << "v2\n- new\n";
        QTest::newRow("no dash line") << QByteArray("v2\n- only\n") << "v2\n- only\n";
        QTest::newRow("dash line first") << QByteArray("----\nv1\n") << "";
        QTest::newRow("dashes not in column one") << QByteArray("v2\n ----\n---\n----x\nv1\n") << "v2\n ----\n---\n";
        QTest::newRow("CR LF") << QByteArray("v2 说明\r\n----\r\nv1\r\n") << "v2 说明\n";
        QTest::newRow("missing") << QByteArray() << "";
    }
    void releaseNotes()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, newest);
        if (!content.isEmpty())
            writeAll(RELEASE_NOTES_FILE_NAME, content);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        BoxRecorder prompt;
        MessageCapture capture;
        window.showReleaseNotesAct->trigger();
        if (content.isEmpty()) {
            QVERIFY(prompt.titles.isEmpty());
            QVERIFY(capture.entries().contains(qMakePair(
                QtCriticalMsg, QString("Failed to open release notes file: ReleaseNotes_Tarnquill_Veldmark.txt"))));
            return;
        }
        QCOMPARE(prompt.titles, QStringList({"塔泉笔维德马克更新记录"}));
        QCOMPARE(prompt.texts, QStringList({newest}));
        QCOMPARE(prompt.objectNames, QStringList({"ReleaseNotes"}));
        QCOMPARE(prompt.detailedTexts, QStringList({QString::fromUtf8(content).remove('\r')}));
    }

    void shippedReleaseNotes()
    {
        // The newest release first, for the shipped version; older ones after a dash line.
        QString newest;
        QString whole;
        QVERIFY(HelpCommands::readReleaseNotes(shipped(RELEASE_NOTES_FILE_NAME), newest, whole));
        QVERIFY(whole.size() > newest.size() + 20);
        QVERIFY(newest.startsWith("塔泉笔维德马克 " + readVersionFile(shipped(VERSION_FILE_NAME)).version.trimmed()));
    }

    void aboutAndCredits_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("date");
        QTest::newRow("CR LF") << QByteArray("v1.5.0\r\n2026-12-08\r\n") << "v1.5.0" << "2026-12-08";
        QTest::newRow("markup shown as text") << QByteArray("<i>v2</i>\n") << "&lt;i&gt;v2&lt;/i&gt;" << "";
        QTest::newRow("no file") << QByteArray() << "" << "";
    }
    void aboutAndCredits()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, version);
        QFETCH(QString, date);
        if (!content.isEmpty())
            writeAll(VERSION_FILE_NAME, content);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.aboutAct->trigger();
        window.creditsAct->trigger();
        QPointer<QMessageBox> about = window.findChild<QMessageBox*>("About");
        QPointer<QMessageBox> credits = window.findChild<QMessageBox*>("Credits");
        QVERIFY(about && credits && about->isVisible() && credits->isVisible());
        QCOMPARE(about->windowTitle(), QString("关于塔泉笔维德马克"));
        QCOMPARE(about->text(), "<p>软件名称: <b>塔泉笔维德马克</b> </p><p>软件版本: " + version + "</p><p>日期: " + date
                                    + "</p>");
        QCOMPARE(about->buttons().size(), 1);
        QCOMPARE(about->button(QMessageBox::Close)->text(), QString("关闭"));
        QCOMPARE(about->iconPixmap().size(), QSize(64, 64));
        QCOMPARE(credits->windowTitle(), QString("关于塔泉笔维德马克作者"));
        QCOMPARE(credits->text(), QString("<p>软件名称: <b>塔泉笔维德马克</b> </p>"));
        QCOMPARE(credits->iconPixmap().size(), QSize(96, 96));

        // Closed boxes go away rather than living on with the window.
        credits->button(QMessageBox::Close)->click();
        about->button(QMessageBox::Close)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!about && !credits);
    }

    void aboutQtBox()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ModalResponder responder;
        window.aboutQtAct->trigger();
        QCOMPARE(responder.classNames(), QStringList{"QMessageBox"});
        QVERIFY(responder.titles().value(0).contains("Qt"));
    }

    void helpAndMailLinks()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        const QString first = MakerSite::firstSupportAddress();
        const QString second = MakerSite::secondSupportAddress();
        QVERIFY(first.endsWith(".invalid") && second.endsWith(".invalid") && first != second);

        // Help: the site's help page; a test server can take the site's place.
        QVERIFY(MakerSite::siteRoot().startsWith("https://") && !MakerSite::siteRoot().endsWith("/"));
        window.helpAct->trigger();
        MakerSite::setSiteRoot("http://127.0.0.1:8080//");
        window.helpAct->trigger();
        QCOMPARE(prompt.openedUrls, QList<QUrl>({QUrl(QString(TQ_SITE_ROOT) + "/帮助和文档/"),
                                                 QUrl("http://127.0.0.1:8080/帮助和文档/")}));
        prompt.openedUrls.clear();

        // Bug report: asks first; Cancel opens nothing.
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        window.bugReportAct->trigger();
        QCOMPARE(prompt.titles, QStringList({"给\"塔泉笔\"开发团队提bug"}));
        QCOMPARE(prompt.texts, QStringList({"发送邮件描述bug的具体信息"}));
        QVERIFY(prompt.openedUrls.isEmpty());
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Ok, false};
        window.bugReportAct->trigger();
        window.userFeedbackAct->trigger();
        window.recommendToAct->trigger();
        QCOMPARE(prompt.openedUrls.size(), 3);

        // Recipients, copy, subject, body.
        const QStringList expected[] = {
            {first, second, "\"塔泉笔\"bug汇报",
             "\n操作系统版本: \n软件版本: \n重现bug的具体步骤: \n出现bug时的截图: \n其他说明: "},
            {second + ";" + first, first, "塔泉笔写作软件用户反馈信息",
             "操作系统类型及版本:\n塔泉笔版本:\n\n我有以下几点建议，希望对塔泉笔写作软件的未来有帮助和借鉴:"},
            {"", "", "向你推荐一个好用的软件: 塔泉笔写作软件.", "希望你也成为塔泉笔用户群的一员."},
        };
        for (int i = 0; i < 3; ++i) {
            const QUrl url = prompt.openedUrls.at(i);
            QVERIFY2(url.isValid(), qPrintable(url.errorString()));
            QCOMPARE(url.scheme(), QString("mailto"));
            const QUrlQuery query(url);
            QCOMPARE(query.queryItems().size(), 3);
            QCOMPARE(QStringList({url.path(), query.queryItemValue("cc", QUrl::FullyDecoded),
                                  query.queryItemValue("subject", QUrl::FullyDecoded),
                                  query.queryItemValue("body", QUrl::FullyDecoded)}),
                     expected[i]);
            // What reaches the mail program is fully encoded: no blank, quote or line feed.
            const QByteArray encoded = url.toEncoded();
            QVERIFY(!encoded.contains(' ') && !encoded.contains('"') && !encoded.contains('\n'));
        }
        QVERIFY(prompt.openedUrls.at(0).toEncoded().contains("&subject=%22"));
        QVERIFY(prompt.openedUrls.at(0).toEncoded().contains("&body=%0A"));
    }
};

TQ_TEST_MAIN(InformationViewsTest)
#include "tst_infoviews.moc"
