// Document commands: new, open (placeholder, already open, large files), save, save as,
// save all, the recent-file list and the reload questions. Auto-save has a test of its own.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QListWidget>
#include <QComboBox>
#include <QTableWidget>
#include <QPushButton>

#include <functional>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "DocumentTestSupport.h"
#include "ListWidget.h"
#include "ModalResponder.h"
#include "TQDirModel.h"
#include "SearchDialog.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "TextFileReader.h"

namespace {

QStringList recentList()
{
    return Settings().value(QStringLiteral("RecentFileList")).toStringList();
}

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init()
    {
        prepareDocumentTest(dir);
    }

    // ---- Opening ------------------------------------------------------------

    void placeholderRule_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("documentsAfter");
        QTest::newRow("untouched new document is replaced") << "new" << 1;
        QTest::newRow("typed-in document stays") << "typed" << 2;
        QTest::newRow("modified empty document stays") << "modified" << 2;
        QTest::newRow("two documents stay") << "two" << 3;
    }
    void placeholderRule()
    {
        QFETCH(QString, before);
        QFETCH(int, documentsAfter);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        MdiChild* first = documents(window).first();
        if (before == "typed")
            typeInto(first, "abc");
        else if (before == "modified")
            first->document()->setModified(true);
        else if (before == "two")
            window.newFile();
        const QString file = createFile(dir + "/a.txt", "hello");
        window.open(file);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(documents(window).size(), documentsAfter);
        QCOMPARE(window.activeMdiChild()->currentFile(), QFileInfo(file).canonicalFilePath());
        QCOMPARE(window.activeMdiChild()->toPlainText(), QString("hello"));
        QVERIFY(prompt.texts.isEmpty());
    }

    void failedOpenKeepsPlaceholder()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        window.open(dir + "/missing.txt");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(documents(window).size(), 1);
        QVERIFY(documents(window).first()->isUntitled);
        QCOMPARE(prompt.texts.size(), 1); // the document's own read error
        QVERIFY(recentList().isEmpty());
    }

    void alreadyOpenOnlyActivates_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("same path") << "same";
        QTest::newRow("dot-dot path") << "dotdot";
        QTest::newRow("symbolic link") << "link";
    }
    void alreadyOpenOnlyActivates()
    {
        QFETCH(QString, spelling);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show(); // sub-windows of a hidden area are never activated
        const QString x = createFile(dir + "/sub/x.txt", "x");
        const QString y = createFile(dir + "/y.txt", "y");
        window.open(x);
        MdiChild* xChild = window.activeMdiChild();
        typeInto(xChild, "edited ");
        window.open(y);
        QCOMPARE(recentList(), QStringList({y, x}));

        QString other = x;
        if (spelling == "dotdot")
            other = dir + "/sub/../sub/x.txt";
        else if (spelling == "link")
            QVERIFY(QFile::link(x, other = dir + "/link.txt"));
        window.open(other);
        QCOMPARE(documents(window).size(), 2);
        QCOMPARE(window.activeMdiChild(), xChild);
        // Not reloaded: the unsaved edit is still there, and the recent list is unchanged.
        QVERIFY(xChild->toPlainText().startsWith("edited "));
        QVERIFY(xChild->document()->isModified());
        QCOMPARE(recentList(), QStringList({y, x}));
    }

    void largeFileQuestion_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("viaDialog");
        QTest::newRow("50 MiB, by name") << qint64(52428800) << false;
        QTest::newRow("50 MiB, by dialog") << qint64(52428800) << true;
        QTest::newRow("60 MiB, by name") << qint64(62914561) << false;
    }
    void largeFileQuestion()
    {
        QFETCH(qint64, size);
        QFETCH(bool, viaDialog);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString big = dir + "/big.txt";
        QFile file(createFile(big, QByteArray()));
        QVERIFY(file.resize(size)); // sparse: costs no disk
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        if (viaDialog) {
            prompt.openFileNames << big;
            window.open();
        } else {
            window.open(big);
        }
        QCOMPARE(prompt.texts.size(), 1);
        QCOMPARE(prompt.titles.first(), QString("警告"));
        QCOMPARE(prompt.texts.first(),
                 QString("打开大文件的速度可能会很慢, 确定要继续吗? \nbig.txt的大小为: %1MB").arg(size >> 20));
        QVERIFY(documents(window).isEmpty());
        QVERIFY(recentList().isEmpty());
        QVERIFY(!Settings().contains("LastOpenFilePath"));
    }

    // A name with "%1" or markup in it is shown as it is.
    void largeFileQuestionShowsTheName()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString big = dir + "/a%1b<b>x<i>.txt";
        QFile file(createFile(big, QByteArray()));
        QVERIFY(file.resize(qint64(52428800)));
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        window.open(big);
        QCOMPARE(prompt.texts, QStringList{"打开大文件的速度可能会很慢, 确定要继续吗? \na%1b<b>x<i>.txt的大小为: 50MB"});
        QCOMPARE(prompt.textFormats, QList<Qt::TextFormat>{Qt::PlainText});
    }

    void justBelowLargeFileSizeDoesNotAsk()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        // One byte under the limit, and one every route opens without a question.
        const QString file = dir + "/almost.txt";
        QFile sparse(createFile(file, QByteArray()));
        QVERIFY(sparse.resize(52428799));
        sparse.close();
        // The recent list is the route that used to skip the question; here it must not ask.
        Settings().setValue("RecentFileList", QStringList{file});
        window.updateRecentFileActions();
        window.recentFileActs[0]->trigger();
        QVERIFY2(!prompt.texts.join('|').contains("打开大文件"), qPrintable(prompt.texts.join('|')));
        QCOMPARE(documents(window).size(), 1);
    }

    void largeFileAskedOnceByDialog()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString big = dir + "/big.txt";
        QFile sparse(createFile(big, QByteArray()));
        QVERIFY(sparse.resize(52428800));
        sparse.close();
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Ok, false};
        prompt.openFileNames << big;
        window.open();
        QCOMPARE(prompt.texts.size(), 1); // the dialog's answer holds for the open itself
        QCOMPARE(documents(window).size(), 1);
        QCOMPARE(Settings().value("LastOpenFilePath").toString(), dir);
        // Open again: only activated, so no question.
        prompt.openFileNames << big;
        window.open();
        QCOMPARE(prompt.texts.size(), 1);
        QCOMPARE(documents(window).size(), 1);
    }

    // A file too large to be read is refused at once, by every way of opening a
    // file, with no question about its size before the refusal. (The command line
    // is checked with the start-up; dropping a file on the window inserts its name.)
    void tooLargeFileRefusedWithoutQuestion_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<qint64>("size");
        const qint64 twoGiB = qint64(2) << 30;
        QTest::newRow("open dialog") << "dialog" << twoGiB;
        QTest::newRow("open dialog, one byte too many") << "dialog" << TextFileReader::maxFileSize() + 1;
        QTest::newRow("by name") << "name" << twoGiB;
        QTest::newRow("recent files") << "recent" << twoGiB;
        QTest::newRow("directory pane") << "pane" << twoGiB;
        QTest::newRow("find-in-files hit") << "hit" << twoGiB;
    }
    void tooLargeFileRefusedWithoutQuestion()
    {
        QFETCH(QString, route);
        QFETCH(qint64, size);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString big = createFile(dir + "/big.txt", "张三\n"); // sparse once resized: costs no disk
        if (route == "hit") {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.search();
            SearchDialog* page = window.searchDialog;
            page->findChild<QComboBox*>("directoryComboBox")->setEditText(dir);
            page->findChild<QComboBox*>("fileComboBox")->setEditText("*.txt");
            page->findChild<QComboBox*>("includeComboBox")->setEditText("张三");
            QTest::mouseClick(page->findChild<QPushButton*>("findButton"), Qt::LeftButton);
            QCOMPARE(page->filesTable()->rowCount(), 1);
        }
        QVERIFY(QFile::resize(big, size)); // grown since it was found
        if (route == "dialog") {
            prompt.openFileNames << big;
            window.open();
        } else if (route == "name") {
            window.open(big);
        } else if (route == "recent") {
            Settings().setValue("RecentFileList", QStringList{big});
            window.updateRecentFileActions();
            window.recentFileActs[0]->trigger();
        } else if (route == "pane") {
            window.open(window.dirModel->index(big));
        } else {
            emit window.searchDialog->filesTable()->cellActivated(0, 3);
        }
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY2(prompt.texts.first().startsWith("读取 " + big + " 失败") && prompt.texts.first().contains("文件过大"),
                 qPrintable(prompt.texts.first()));
        QVERIFY(documents(window).isEmpty());
        QCOMPARE(recentList(), route == "recent" ? QStringList{big} : QStringList());
    }

    // The largest file that can be read is still asked about.
    void largestReadableFileIsAsked()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString big = createFile(dir + "/big.txt", QByteArray());
        QVERIFY(QFile::resize(big, TextFileReader::maxFileSize()));
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        window.open(big);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY2(prompt.texts.first().startsWith("打开大文件的速度可能会很慢"), qPrintable(prompt.texts.first()));
        QVERIFY(documents(window).isEmpty());
    }

    void openDialog()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        // Cancelled: nothing happens, the start folder is home.
        window.open();
        QCOMPARE(prompt.openDialogs.size(), 1);
        QCOMPARE(prompt.openDialogs.first(),
                 QString("打开文档|%1|txt 文件 (*.txt);;tqd 文件 (*.tqd);;所有文件 (*)").arg(QDir::homePath()));
        QVERIFY(documents(window).isEmpty());
        QVERIFY(!Settings().contains("LastOpenFilePath"));

        const QString file = createFile(dir + "/chosen.txt", "chosen");
        prompt.openFileNames << file;
        window.open();
        QCOMPARE(documents(window).size(), 1);
        QCOMPARE(Settings().value("LastOpenFilePath").toString(), dir);
        QCOMPARE(window.statusBar()->currentMessage(), QString("文档加载成功"));
        auto* tabBar = window.mdiArea->findChild<QTabBar*>();
        QVERIFY(tabBar);
        QCOMPARE(tabBar->tabToolTip(tabBar->currentIndex()), QFileInfo(file).canonicalFilePath());
        QVERIFY(fileSystemWatcher->files().contains(QFileInfo(file).canonicalFilePath()));

        // The next dialog starts in the folder of the last file.
        window.open();
        QCOMPARE(prompt.openDialogs.last().section('|', 1, 1), dir);
    }

    void directoryPaneEntries()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString txt = createFile(dir + "/note.txt", "n");
        const QString other = createFile(dir + "/picture.png", "p");
        QVERIFY(window.dirModel);
        window.open(window.dirModel->index(dir));
        window.open(window.dirModel->index(other));
        QVERIFY(documents(window).isEmpty());
        QCOMPARE(prompt.openedUrls, QList<QUrl>{QUrl::fromLocalFile(other)});
        window.open(window.dirModel->index(txt));
        QCOMPARE(documents(window).size(), 1);
    }

    void newDocumentZoom_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("points");
        QTest::newRow("no zoom") << 1 << 0;
        QTest::newRow("level 2") << 2 << 20;
        QTest::newRow("level 4") << 4 << 30;
        QTest::newRow("level 8") << 8 << 40;
        QTest::newRow("level 16") << 16 << 50;
        QTest::newRow("level -1") << -1 << 0;
        QTest::newRow("level -2") << -2 << -20;
    }
    void newDocumentZoom()
    {
        QFETCH(int, level);
        QFETCH(int, points);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        Settings().setValue("EditorFontType", 1);
        Settings().setValue("EditorFontSize", 40);
        window.newFile();
        const int base = window.activeMdiChild()->font().pointSize();
        zoomLevel = level;
        window.newFile();
        const int zoomed = window.activeMdiChild()->font().pointSize();
        zoomLevel = 1;
        Settings().remove("EditorFontType");
        QCOMPARE(zoomed - base, points);
    }

    // ---- Recent files -------------------------------------------------------

    void recentList11thPushesOldestOut()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QStringList files;
        for (int i = 1; i <= 11; ++i)
            files << createFile(dir + QString("/f%1.txt").arg(i), QByteArray::number(i));
        for (const QString& file : files)
            window.open(file);
        QStringList expected;
        for (int i = 10; i >= 1; --i)
            expected << files.at(i);
        QCOMPARE(recentList(), expected);
        QCOMPARE(window.recentFileActs[9]->text(), QString("&10 %1").arg(files.at(1)));
        QCOMPARE(window.recentFileActs[0]->text(), QString("&1 %1").arg(files.at(10)));
        for (QAction* action : window.recentFileActs)
            QVERIFY(action->isVisible());

        // Reopening after a close moves the entry to the front without a duplicate.
        const QString fifth = files.at(4);
        window.mdiArea->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.recentFileActs[6]->trigger();
        QCOMPARE(window.activeMdiChild()->currentFile(), QFileInfo(fifth).canonicalFilePath());
        QCOMPARE(recentList().first(), fifth);
        QCOMPARE(recentList().count(fifth), 1);
        QCOMPARE(recentList().size(), 10);

        window.emptyRecentFilesList();
        QVERIFY(!Settings().contains("RecentFileList"));
        for (QAction* action : window.recentFileActs)
            QVERIFY(!action->isVisible());
    }

    void recentEntriesSurviveRestartAndShowAmpersands()
    {
        const QString file = createFile(dir + "/Tom & Jerry.txt", "t");
        {
            ScriptedPrompt prompt;
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            window.open(file);
        }
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QCOMPARE(window.recentFileActs[0]->data().toString(), file);
        QCOMPARE(window.recentFileActs[0]->text(), QString("&1 %1").arg(QString(file).replace("&", "&&")));
        QVERIFY(!window.recentFileActs[1]->isVisible());

        // A recent file that went away is reported by the failed open and keeps its entry.
        QFile::remove(file);
        window.recentFileActs[0]->trigger();
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(documents(window).isEmpty());
        QCOMPARE(recentList(), QStringList{file});
    }

    // ---- Saving -------------------------------------------------------------

    void saveOutcomes()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QCOMPARE(window.save(true), int(ERROR_CODE_NO_ACTIVE_DOCUMENT));
        QVERIFY(prompt.texts.isEmpty());

        const QString file = createFile(dir + "/sub/doc.txt", "one");
        window.open(file);
        typeInto(window.activeMdiChild(), "two ");
        window.statusBar()->clearMessage();
        QCOMPARE(window.save(true), int(ERROR_CODE_SUCCESS));
        QCOMPARE(fileBytes(file), QByteArray("two one"));
        QCOMPARE(window.statusBar()->currentMessage(), QString("文档保存成功"));
        QVERIFY(!window.activeMdiChild()->document()->isModified());

        // The folder is gone: the write fails, says so, and the text stays modified.
        typeInto(window.activeMdiChild(), "three ");
        window.statusBar()->clearMessage();
        QVERIFY(QDir(dir + "/sub").removeRecursively());
        QCOMPARE(window.save(true), int(ERROR_CODE_WRITE_FAILED));
        QVERIFY(window.statusBar()->currentMessage().isEmpty());
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(window.activeMdiChild()->document()->isModified());
    }

    void saveUntitled()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        typeInto(window.activeMdiChild(), "draft");
        // Manual: the save-as dialog, here cancelled.
        QCOMPARE(window.save(true), int(ERROR_CODE_SAVE_AS_CANCELLED));
        QCOMPARE(prompt.dialogs, QStringList{"SaveAsFileDialog"});
        // Automatic: the recovery copy, without a dialog.
        QCOMPARE(window.save(false), int(ERROR_CODE_SUCCESS));
        QCOMPARE(prompt.dialogs.size(), 1);
        QVERIFY(QFile::exists(window.activeMdiChild()->recoveryFileName()));
    }

    void saveAsCancelShowsNothing()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(window.saveAs()); // no document: nothing to do
        window.open(createFile(dir + "/a.txt", "a"));
        window.statusBar()->clearMessage();
        prompt.dialogResult = QDialog::Rejected;
        QVERIFY(window.saveAs());
        QCOMPARE(prompt.dialogs, QStringList{"SaveAsFileDialog"});
        QVERIFY(window.statusBar()->currentMessage().isEmpty());
    }

    void saveAllSkipsUnchangedFiles()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString a = createFile(dir + "/a.txt", "a");
        const QString b = createFile(dir + "/b.txt", "b");
        window.open(a);
        window.open(b);
        typeInto(documents(window).at(0), "A");
        // b is untouched here but changed by another program: saving it would destroy that.
        createFile(b, "other program");
        window.newFile();
        typeInto(window.activeMdiChild(), "new");
        QVERIFY(window.saveAll());
        QCOMPARE(fileBytes(a), QByteArray("Aa"));
        QCOMPARE(fileBytes(b), QByteArray("other program"));
        // The untitled document asks for its name.
        QCOMPARE(prompt.dialogs, QStringList{"SaveAsFileDialog"});
        QVERIFY(window.statusBar()->currentMessage() != QString("文档保存成功"));
    }

    // ---- Changed files ------------------------------------------------------

    void reloadQueueAskedOnceAtActivation()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString a = createFile(dir + "/a.txt", "a");
        const QString t = createFile(dir + "/t.tqw", "<template/>");
        window.open(a);
        const QString path = window.activeMdiChild()->currentFile();
        // The reports are made by hand here; the real watcher must not add its own.
        fileSystemWatcher->removePath(path);
        // Two reports before the window is active, a template among them.
        createFile(a, "changed");
        window.fileChanged(t);
        window.fileChanged(path);
        window.fileChanged(path);
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(window.changedFileQueue, QStringList{path});
        QCOMPARE(window.changedTemplateQueue, QStringList{t});

        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false} << ScriptedPrompt::Answer{QMessageBox::No, false};
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Documents first, then templates; each asked once.
        QCOMPARE(prompt.texts, QStringList({QString("以下文件已被其它程序修改, 是否重新加载?\n") + path,
                                           QString("以下模板已被其它程序修改, 是否重新加载?\n") + t}));
        QCOMPARE(prompt.titles.first(), QString("警告!"));
        QVERIFY(window.changedFileQueue.isEmpty());
        QVERIFY(window.changedTemplateQueue.isEmpty());
        QCOMPARE(window.activeMdiChild()->toPlainText(), QString("changed"));

        // A report while the window is active asks at once and does not stay queued.
        fileSystemWatcher->removePath(path);
        createFile(a, "again");
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::No, false};
        window.fileChanged(path);
        QCOMPARE(prompt.texts.size(), 3);
        QVERIFY(window.changedFileQueue.isEmpty());
        QCOMPARE(window.activeMdiChild()->toPlainText(), QString("changed"));
        // Watched again, whatever the answer.
        QVERIFY(fileSystemWatcher->files().contains(path));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activate);
        QCOMPARE(prompt.texts.size(), 3);
    }

    // Reloading over unsaved edits says they will be lost, and is one step Ctrl+Z takes back.
    void reloadOverEditsIsUndoable()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QString a = createFile(dir + "/a.txt", gb18030("第一行\r\n第二行\r\n"));
        window.open(a);
        MdiChild* child = window.activeMdiChild();
        const QString path = child->currentFile();
        fileSystemWatcher->removePath(path);
        child->moveCursor(QTextCursor::End);
        typeInto(child, "mine");
        const QString mine = child->toPlainText();
        createFile(a, gb18030("别人的\r\n"));
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        window.fileChanged(path);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY2(prompt.texts.first().contains("未保存的修改将会丢失"), qPrintable(prompt.texts.first()));
        QCOMPARE(child->toPlainText(), QString("别人的\n"));
        QVERIFY(!child->document()->isModified());
        QTest::keyClick(child, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(child->toPlainText(), mine);
        QVERIFY(child->document()->isModified());
        QTest::keyClick(child, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(child->toPlainText(), QString("别人的\n"));

        // Without edits the question says nothing of losing them.
        fileSystemWatcher->removePath(path);
        createFile(a, gb18030("又改了\r\n"));
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        window.fileChanged(path);
        QCOMPARE(prompt.texts.last(), QString("以下文件已被其它程序修改, 是否重新加载?\n") + path);
        QCOMPARE(child->toPlainText(), QString("又改了\n"));
    }

    // A deleted file is reported as deleted (nothing to reload), and its document
    // keeps its text as an unsaved change; permissions alone ask nothing.
    void deletedFileAndPermissionChange()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QString a = createFile(dir + "/a.txt", "kept\r\n");
        window.open(a);
        MdiChild* child = window.activeMdiChild();
        const QString path = child->currentFile();
        fileSystemWatcher->removePath(path);

        QVERIFY(QFile::setPermissions(a, QFileDevice::ReadOwner));
        window.fileChanged(path);
        QVERIFY(prompt.texts.isEmpty());
        QVERIFY(window.changedFileQueue.isEmpty());
        QVERIFY(QFile::setPermissions(a, QFileDevice::ReadOwner | QFileDevice::WriteOwner));

        QVERIFY(QFile::remove(a));
        window.fileChanged(path);
        QCOMPARE(prompt.texts.size(), 1);
        QCOMPARE(prompt.texts.first(), QString("以下文件已被其它程序删除:\n") + path
                                           + "\n编辑器中的内容现在是唯一的副本, 请保存.");
        QCOMPARE(child->toPlainText(), QString("kept\n"));
        QVERIFY(child->document()->isModified());
        QVERIFY(child->isWindowModified());
    }

    // "查看 › 编码" shows in the status bar at once, for files and untitled documents.
    void encodingLabelFollowsTheEncodingMenu()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QString a = createFile(dir + "/a.txt", gb18030("中文\r\n"));
        window.open(a);
        QCOMPARE(window.encodingLabel->text(), QString("GB18030"));
        window.encodingActs[0]->trigger();
        QCOMPARE(window.activeMdiChild()->encoding, QString("Big5"));
        QCOMPARE(window.encodingLabel->text(), QString("Big5"));
        window.encodingActs[2]->trigger();
        QCOMPARE(window.encodingLabel->text(), QString("GB18030"));
        window.newFile();
        window.encodingActs[1]->trigger();
        QCOMPARE(window.encodingLabel->text(), QString("Big5-HKSCS"));
    }

    void nestedActivationSkipsTheQueues()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.changedFileQueue << dir + "/x.txt";
        // A question of an earlier activation is open: the queues are locked.
        window.changedFileQueueMutex.lock();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activate);
        QVERIFY(prompt.texts.isEmpty());
        window.changedFileQueueMutex.unlock();
        QApplication::sendEvent(&window, &activate);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(window.changedFileQueue.isEmpty());
    }

    void templateReloadReopensAtItsTab()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString t = createFile(dir + "/t.tqw", "<template/>");
        auto* dialog = new TemplateDialog(t);
        dialog->setObjectName("TemplateDialog");
        window.templateDialogs << dialog;
        const int index = window.mainTabWidget->addTab(dialog, "t.tqw");
        QPointer<TemplateDialog> guard(dialog);
        QSignalSpy spy(&window, SIGNAL(templateChange(QString, QString, int)));
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        window.notifyFileChange(t);
        // The old page is gone (the reopened one may even reuse its address) and
        // the template comes back at the tab it had.
        QVERIFY(!guard);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().at(0).toString(), t);
        QCOMPARE(spy.first().at(1).toString(), QString());
        QCOMPARE(spy.first().at(2).toInt(), index);
        QCOMPARE(window.templateDialogs.size(), 1);
        QCOMPARE(window.mainTabWidget->indexOf(window.templateDialogs.first()), index);
    }
};

TQ_TEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
