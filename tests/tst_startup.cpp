// Start-up rules, the deferred start-up and the end of the event loop.

#include <QDialogButtonBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include "SettingsStore.h"
#include <QTimer>
#include <QTranslator>
#include <stdexcept>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "Logging.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "PartOfSpeechFlags.h"
#include "PoemConfigDialog.h"
#include "Prompt.h"
#include "StartUp.h"
#include "TestSupport.h"

namespace {

QStringList openedDocuments(MainWindow& window)
{
    QStringList files;
    for (QMdiSubWindow* sub : window.mdiArea->subWindowList())
        files << qobject_cast<MdiChild*>(sub->widget())->curFile;
    return files;
}

// How often the part of the deferred start-up after the documents has run.
int finishedStartUps(const MessageCapture& capture)
{
    return capture.messages().filter("finishDeferredStartUp()").size();
}

// The start as the program makes it: the window shows, its first paint begins
// the deferred start-up, a document's page paint lets the rest follow. True
// once the rest has run.
bool startUp(MainWindow& window, const MessageCapture& capture)
{
    window.show();
    return QTest::qWaitFor([&] { return finishedStartUps(capture) > 0; }, 20000);
}

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetStartUpState();
        Settings().clear();
        logTargets = LOG_TARGET_NONE;
    }

    void locale_data()
    {
        QTest::addColumn<QString>("custom");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("expected");
        QTest::newRow("system zh_CN") << "" << "zh_CN" << "zh_CN";
        QTest::newRow("system zh_HK") << "" << "zh_HK" << "zh_TW";
        QTest::newRow("system zh_TW with suffix") << "" << "zh_TW_x" << "zh_TW";
        QTest::newRow("system en_US") << "" << "en_US" << "zh_CN";
        QTest::newRow("system lower-case zh_tw") << "" << "zh_tw" << "zh_CN";
        QTest::newRow("custom wins") << "zh_TW" << "zh_CN" << "zh_TW";
        QTest::newRow("custom zh_CN on zh_HK") << "zh_CN" << "zh_HK" << "zh_CN";
        QTest::newRow("custom en_US ignored") << "en_US" << "zh_HK" << "zh_TW";
        QTest::newRow("custom en_US ignored, other system") << "en_US" << "de_DE" << "zh_CN";
    }
    void locale()
    {
        QFETCH(QString, custom);
        QFETCH(QString, system);
        QFETCH(QString, expected);
        const QMap<QString, QString> languages{{"简体中文", "zh_CN"}, {"繁体中文", "zh_TW"}};
        QCOMPARE(chooseLocale(languages, custom, system), expected);
    }

    void traditionalTranslationLoads()
    {
        installTranslations("zh_TW", TestEnvironment::programDir());
        QCOMPARE(QCoreApplication::translate("StartUp", "繁体中文"), QString("繁體中文"));
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QCOMPARE(QCoreApplication::translate("StartUp", "繁体中文"), QString("繁体中文"));
    }

    void numericRules()
    {
        QCOMPARE(applicationFontPointSize(QVariant()), 9);
        QCOMPARE(applicationFontPointSize(0), 9);
        QCOMPARE(applicationFontPointSize(-3), 9);
        QCOMPARE(applicationFontPointSize("abc"), 9);
        QCOMPARE(applicationFontPointSize(14), 14);
        QCOMPARE(applicationFontPointSize("14"), 14);
        QCOMPARE(threadPoolSize(1), 4);
        QCOMPARE(threadPoolSize(2), 4);
        QCOMPARE(threadPoolSize(3), 6);
        QCOMPARE(threadPoolSize(8), 16);
    }

    void commandLine()
    {
        QCOMPARE(commandLineTemplateType("a.tqw"), 1u);
        QCOMPARE(commandLineTemplateType("x.db"), 128u);
        QCOMPARE(commandLineTemplateType("b.TQW"), 0u);
        QCOMPARE(commandLineTemplateType("c.txt"), 0u);
        QCOMPARE(commandLineTemplateType("d.html"), 0u);
        const QStringList resolved = resolveCommandLine({"prog", "a.tqw", "sub/../c.txt", "/abs/d.txt"}, "/start/here");
        QCOMPARE(resolved, QStringList({"prog", "/start/here/a.tqw", "/start/here/c.txt", "/abs/d.txt"}));
    }

    void deferredStartUpDispatchesArguments()
    {
        const QString folder = QDir::currentPath() + "/arguments";
        QDir().mkpath(folder);
        for (const char* name : {"b.TQW", "c.txt", "d.html"}) {
            QFile file(folder + "/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("text\r\n");
        }
        startUpArguments = QStringList{"prog", folder + "/a.tqw", folder + "/b.TQW", folder + "/c.txt",
                                       folder + "/e.db", folder + "/d.html"};
        ScriptedPrompt prompt;
        MessageCapture capture;
        MainWindow window;
        QVERIFY(startUp(window, capture));

        QStringList templateCalls;
        for (const QString& message : capture.messages())
            if (message.startsWith("int MainWindow::openTemplate("))
                templateCalls << message;
        QCOMPARE(templateCalls.size(), 2);
        QVERIFY(templateCalls[0].contains("/a.tqw\"") && templateCalls[0].contains("0x1 (TEMPLATE_TYPE_TQW_FILE)"));
        QVERIFY(templateCalls[1].contains("/e.db\"") && templateCalls[1].contains("0x80 ("));
        QCOMPARE(openedDocuments(window),
                 QStringList({folder + "/b.TQW", folder + "/c.txt", folder + "/d.html"}));
        QVERIFY(capture.contains("Failed to open config file: ./Utilities/JieBa/JieBaFlag.ini")
                || !QFile::exists("./Utilities/JieBa/JieBaFlag.ini"));
    }

    // A file named on the command line is in its editor at the turn after
    // the window's first paint, without a fixed wait; the rest of the
    // deferred start-up follows once.
    void commandLineFileFollowsTheFirstPaint()
    {
        const QString file = QDir::currentPath() + "/大文件.txt";
        writeAll(file, QString("第一行文字\n第二行文字\n").repeated(2000).toUtf8());
        startUpArguments = QStringList{"prog", file};
        ScriptedPrompt prompt;
        MessageCapture capture;
        struct PaintWatch : QObject
        {
            QWidget* window = nullptr;
            bool painted = false;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Paint && watched->isWidgetType()
                    && static_cast<QWidget*>(watched)->window() == window)
                    painted = true;
                return false;
            }
        } watch;
        MainWindow window;
        watch.window = &window;
        qApp->installEventFilter(&watch);
        window.show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        qApp->removeEventFilter(&watch);
        QVERIFY(window.documents().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(openedDocuments(window), QStringList{file});
        QVERIFY(window.activeMdiChild()->toPlainText().startsWith("第一行文字\n第二行文字"));

        QTRY_COMPARE(finishedStartUps(capture), 1);
        QVERIFY(window.autoGenInputDialog);
        QTest::qWait(1700); // past every fallback
        QCOMPARE(finishedStartUps(capture), 1);
        QCOMPARE(openedDocuments(window), QStringList{file});
    }

    // A file named on the command line that is too large to read is refused at
    // once, with no question about its size first.
    void commandLineRefusesTooLargeFileFirst()
    {
        const QString file = QDir::currentPath() + "/太大.txt";
        writeAll(file, QByteArray());
        QVERIFY(QFile::resize(file, qint64(2) << 30)); // sparse: costs no disk
        startUpArguments = QStringList{"prog", file};
        ScriptedPrompt prompt;
        MessageCapture capture;
        MainWindow window;
        QVERIFY(startUp(window, capture));
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY2(prompt.texts.first().startsWith("读取 " + file + " 失败") && prompt.texts.first().contains("文件过大"),
                 qPrintable(prompt.texts.first()));
        QVERIFY(openedDocuments(window).isEmpty());
        QVERIFY(QFile::remove(file));
    }

    // Every paint before the first turn of the event loop asks for the start,
    // and the window paints many widgets: still exactly one new document. The
    // generation dialogs made then belong to the window and are wired.
    void withoutArgumentsOneNewDocumentAndWiredDialogs()
    {
        startUpArguments = QStringList{"prog"};
        ScriptedPrompt prompt;
        MessageCapture capture;
        MainWindow window;
        window.show();
        window.repaint();
        window.repaint();
        QVERIFY(startUp(window, capture));
        QCoreApplication::processEvents();
        const QList<QMdiSubWindow*> windows = window.mdiArea->subWindowList();
        QCOMPARE(windows.size(), 1);
        QVERIFY(qobject_cast<MdiChild*>(windows.first()->widget())->isUntitled);
        QCOMPARE(finishedStartUps(capture), 1);

        struct Case {
            QDialog* dialog;
            QDialogButtonBox* box;
            const char* resetSlot;
        };
        const QList<Case> cases{
            {window.autoGenInputDialog, window.autoGenInputDialog->buttonBox(), "resetAutoGenInputs()"},
            {window.autoGenInputDialog4Advertisement, window.autoGenInputDialog4Advertisement->buttonBox(),
             "resetAutoGenInputDialog4AdvertisementInputs()"},
            {window.autoGenInputDialog4AdvertisementSoft, window.autoGenInputDialog4AdvertisementSoft->buttonBox(),
             "resetAutoGenInputDialog4AdvertisementSoftInputs()"},
            {window.poemConfigDialog, window.poemConfigDialog->buttonBox(), nullptr},
        };
        // Each dialog belongs to the window and is connected: accepting it starts the
        // generator, its Reset button clears its own inputs (and no other dialog's).
        // A disconnect succeeds only for a connection that exists.
        for (const Case& c : cases) {
            QVERIFY(c.dialog);
            QCOMPARE(c.dialog->parent(), static_cast<QObject*>(&window));
            QVERIFY(!c.dialog->isVisible());
            QVERIFY(QObject::disconnect(c.dialog, SIGNAL(accepted()), &window, SLOT(autoGenStart())));
            QPushButton* reset = c.box->button(QDialogButtonBox::Reset);
            if (c.resetSlot) {
                QVERIFY(reset);
                const QByteArray slot = QByteArray::number(QSLOT_CODE) + c.resetSlot;
                for (const Case& other : cases) {
                    if (!other.resetSlot || other.resetSlot == c.resetSlot)
                        continue;
                    const QByteArray otherSlot = QByteArray::number(QSLOT_CODE) + other.resetSlot;
                    QVERIFY(!QObject::disconnect(reset, SIGNAL(clicked()), &window, otherSlot.constData()));
                }
                QVERIFY2(QObject::disconnect(reset, SIGNAL(clicked()), &window, slot.constData()), c.resetSlot);
            } else {
                QVERIFY(!reset);
            }
        }
    }

    // A file in the middle of the command line that raises a box: while the
    // box is up the pages opened before it paint, yet the rest of the start-up
    // (symbols, the super-user box) waits for the files after it.
    void boxOfAMiddleFileLeavesTheRestForLater()
    {
        const QString folder = QDir::currentPath();
        const QStringList files{folder + "/甲.tqd", folder + "/lossy.txt", folder + "/乙.tqd"};
        writeAll(files[0], gb18030("<html><body><p>甲 文</p></body></html>"));
        writeAll(files[1], QByteArray("abc\xFF\r\n"));
        writeAll(files[2], gb18030("<html><body><p>乙 文</p></body></html>"));
        Settings().setValue("ShowSymbol", 1);
        superUserMode = true;
        startUpArguments = QStringList{"prog"} + files;

        // While each box is up the pages already open paint, as before a person.
        struct ModalPrompt : ScriptedPrompt
        {
            QStringList seen; // title and open documents of each box
            int exec(QMessageBox& box) override
            {
                seen << QString("%1|%2").arg(box.windowTitle()).arg(mainWindow->documents().size());
                for (MdiChild* child : mainWindow->documents())
                    child->viewport()->repaint();
                QCoreApplication::processEvents();
                return ScriptedPrompt::exec(box);
            }
        } prompt;
        MessageCapture capture;
        MainWindow window;
        QVERIFY(startUp(window, capture));

        QCOMPARE(prompt.seen, QStringList({"警告|2", "!!! 警告 !!!|3"}));
        QCOMPARE(openedDocuments(window), files);
        for (const MdiChild* child : window.documents())
            QVERIFY(child->document()->defaultTextOption().flags() & QTextOption::ShowTabsAndSpaces);
        QCOMPARE(finishedStartUps(capture), 1);
    }

    void switches_data()
    {
        QTest::addColumn<QVariant>("superUser");
        QTest::addColumn<bool>("superUserLine");
        QTest::newRow("absent") << QVariant() << false;
        QTest::newRow("false") << QVariant(false) << false;
        QTest::newRow("true") << QVariant(true) << true;
        QTest::newRow("text true") << QVariant("true") << true;
    }
    void switches()
    {
        QFETCH(QVariant, superUser);
        QFETCH(bool, superUserLine);
        Settings settings;
        if (superUser.isValid())
            settings.setValue("superuser", superUser);
        MessageCapture capture;
        readStartUpSwitches(settings);
        QCOMPARE(capture.contains("SuperUser = true"), superUserLine);
        QVERIFY(capture.contains("EnableAutoUpgrade = true"));
        QVERIFY(capture.contains("AutoGenBatch = false"));
        QCOMPARE(superUserMode, superUserLine);

        ScriptedPrompt prompt;
        startUpArguments = QStringList{"prog"};
        MainWindow window;
        QVERIFY(startUp(window, capture));
        QCOMPARE(window.windowTitle().endsWith("    !!! 您当前系统设置为超级用户，请谨慎使用 !!!"), superUserLine);
        QCOMPARE(prompt.titles, superUserLine ? QStringList{"!!! 警告 !!!"} : QStringList{});
    }

    void switchesAreRead()
    {
        Settings settings;
        settings.setValue("EnableAutoUpgrade", false);
        settings.setValue("AutoGenBatch", 2);
        MessageCapture capture;
        readStartUpSwitches(settings);
        QVERIFY(!autoUpgradeEnabled);
        QVERIFY(autoGenBatchMode);
        QVERIFY(capture.contains("EnableAutoUpgrade = false"));
        QVERIFY(capture.contains("AutoGenBatch = true"));
    }

    // The part-of-speech flags shipped for the segmentation tool parse without a refused line.
    void shippedPartOfSpeechFlagsParse()
    {
        QStringList flags, items;
        MessageCapture capture;
        QVERIFY(PartOfSpeechFlags::parseFile(TestEnvironment::sourceDir() + "/Utilities/JieBa/JieBaFlag.ini", flags, items));
        for (const auto& entry : capture.entries())
            QVERIFY2(entry.first != QtCriticalMsg && entry.first != QtWarningMsg, qPrintable(entry.second));
        QVERIFY(flags.contains("eng"));
    }

    void eventLoopEnd_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("normal end") << 0 << 0 << QStringList{"Exit successfully!"};
        QTest::newRow("standard exception") << 1 << 65535
                                            << QStringList{"Exception caught: boom", "Exit abnormally!"};
        QTest::newRow("other exception") << 2 << 65535
                                         << QStringList{"Unknown exception caught: ...", "Exit abnormally!"};
    }
    void eventLoopEnd()
    {
        QFETCH(int, kind);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QTimer::singleShot(0, qApp, [kind] {
            if (kind == 1)
                throw std::runtime_error("boom");
            if (kind == 2)
                throw 42;
            QCoreApplication::quit();
        });
        MessageCapture capture;
        QCOMPARE(runEventLoop(*static_cast<Application*>(qApp)), exitCode);
        QStringList seen;
        for (const QString& line : capture.messages())
            if (!line.contains("propagateSizeHints"))
                seen << line;
        QCOMPARE(seen, lines);
    }
};

TQ_TEST_MAIN(StartUpTest)
#include "tst_startup.moc"
