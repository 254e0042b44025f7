// The directory pane, file properties and opening a document's folder.

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>

#include "DirTreeView.h"
#include "FilePropertyDialog.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "TQDirModel.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "ui_FilePropertyDialog.h"

namespace {

// Records what the properties dialog showed when it was run.
class PropertyPrompt : public ScriptedPrompt
{
public:
    int execDialog(QDialog& dialog) override
    {
        if (auto* properties = qobject_cast<FilePropertyDialog*>(&dialog)) {
            shownTitle = properties->windowTitle();
            shownName = properties->ui->fileNameLineEdit->text();
        }
        return ScriptedPrompt::execDialog(dialog);
    }
    QString shownTitle;
    QString shownName;
};

} // namespace

class DirPaneTest : public QObject
{
    Q_OBJECT

    QString work;

private slots:
    void init()
    {
        QVERIFY(makeTestWorkFolder(work));
    }

    void headerTitles()
    {
        TQDirModel model;
        const QStringList titles{"名称", "大小", "类型", "修改日期"};
        for (int section = 0; section < titles.size(); ++section)
            QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), titles.at(section));
        QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QString("3"));
        QVERIFY(model.headerData(0, Qt::Horizontal, Qt::DecorationRole).toString() != titles.first());
    }

    void formStartsEmpty()
    {
        FilePropertyDialog dialog;
        QCOMPARE(dialog.size(), QSize(480, 408));
        QCOMPARE(dialog.windowTitle(), QString("文件属性"));
        for (QLabel* label : {dialog.ui->fileTypeLabel, dialog.ui->openWithLabel, dialog.ui->filePathLabel,
                              dialog.ui->fileSizeLabel, dialog.ui->createTimeLabel, dialog.ui->lastModifiedLabel,
                              dialog.ui->lastReadLabel})
            QCOMPARE(label->text(), QString("-"));
        QVERIFY(dialog.ui->fileNameLineEdit->isReadOnly());
        QVERIFY(dialog.ui->accessArchiveCheckBox->isHidden());
        QVERIFY(!dialog.ui->label->pixmap(Qt::ReturnByValue).isNull());
    }

    void fileInfos_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("hidden");

        QTest::newRow("text file") << "file" << "a.txt" << "TXT文件" << "1234字节 (1234字节)" << false << false;
        QTest::newRow("no suffix") << "file" << "README" << "文件" << "1234字节 (1234字节)" << false << false;
        QTest::newRow("chinese name") << "file" << "文章 #1.tqd" << "TQD文件" << "1234字节 (1234字节)" << false << false;
        QTest::newRow("folder") << "folder" << "稿件" << "文件夹" << "" << false << false;
        QTest::newRow("symlink") << "symlink" << "link.txt" << "快捷方式" << "" << false << false;
        QTest::newRow("read-only hidden") << "readonly" << ".secret.txt" << "TXT文件" << "1234字节 (1234字节)" << true << true;
        QTest::newRow("missing") << "missing" << "gone.txt" << "TXT文件" << "0字节 (0字节)" << true << false;
    }

    void fileInfos()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, size);
        QFETCH(bool, readOnly);
        QFETCH(bool, hidden);

        const QString path = work + "/" + name;
        if (kind == "file" || kind == "readonly")
            writeFile(path, QByteArray(1234, 'x'));
        if (kind == "readonly")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        if (kind == "symlink") {
            writeFile(work + "/target.txt", "x");
            QVERIFY(QFile::link(work + "/target.txt", path));
        }

        FilePropertyDialog dialog;
        dialog.setFileName(path);
        QCOMPARE(dialog.fileName, path);
        QCOMPARE(dialog.windowTitle(), name + " 属性");
        QCOMPARE(dialog.ui->fileNameLineEdit->text(), name);
        QCOMPARE(dialog.ui->fileTypeLabel->text(), type);
        QCOMPARE(dialog.ui->filePathLabel->text(), work);
        if (!size.isEmpty())
            QCOMPARE(dialog.ui->fileSizeLabel->text(), size);
        QCOMPARE(dialog.ui->accessReadOnlyCheckBox->isChecked(), readOnly);
        QCOMPARE(dialog.ui->accessHiddenCheckBox->isChecked(), hidden);
        QCOMPARE(dialog.ui->openWithLabel->text(), QString("-"));
        QCOMPARE(dialog.ui->createTimeLabel->text(), QString("-"));
        if (kind == "missing") {
            QCOMPARE(dialog.ui->lastModifiedLabel->text(), QString());
        } else {
            QCOMPARE(dialog.ui->lastModifiedLabel->text(),
                     QFileInfo(path).lastModified().toString(Qt::TextDate));
            QVERIFY(!dialog.ui->lastModifiedLabel->text().isEmpty());
        }
    }

    void attributesIgnoreClicks()
    {
        const QString path = work + "/.hidden.txt";
        writeFile(path, "x");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        FilePropertyDialog dialog;
        dialog.setFileName(path);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (QCheckBox* box : {dialog.ui->accessReadOnlyCheckBox, dialog.ui->accessHiddenCheckBox}) {
            QVERIFY(box->isChecked());
            QCOMPARE(box->focusPolicy(), Qt::NoFocus);
            QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, box->mapTo(&dialog, box->rect().center()));
            QVERIFY(box->isChecked());
        }
    }

    void propertiesOfActiveDocument()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        PropertyPrompt prompt;
        actionByText(&window, "文件属性")->trigger(); // no document: nothing
        QVERIFY(prompt.dialogs.isEmpty());

        const QString path = work + "/章节.txt";
        writeFile(path, "hello");
        window.open(path);
        QVERIFY(window.activeMdiChild());
        window.fileProperty("/some/other/file.txt");
        QCOMPARE(prompt.dialogs, QStringList{"FilePropertyDialog"});
        QCOMPARE(prompt.shownTitle, QString("章节.txt 属性"));
        QCOMPARE(prompt.shownName, QString("章节.txt"));
    }

    // ---- Opening the folder of a document or template --------------------------

    void folderUrls_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "docs";
        QTest::newRow("space") << "my docs";
        QTest::newRow("hash") << "C# notes";
        QTest::newRow("percent") << "100% done";
        QTest::newRow("question mark") << "why?";
        QTest::newRow("chinese") << "我的 文档";
    }

    void folderUrls()
    {
        QFETCH(QString, folder);
        const QString dir = work + "/" + folder;
        QVERIFY(QDir().mkpath(dir));
        writeFile(dir + "/a.txt", "text");

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.open(dir + "/a.txt");
        window.openContainingDirectoryUsingSystemAppAct->trigger();
        QCOMPARE(prompt.openedUrls.size(), 1);
        QCOMPARE(prompt.openedUrls.first().toLocalFile(), dir);
        QCOMPARE(prompt.openedUrls.first(), QUrl::fromLocalFile(dir));
        QVERIFY(prompt.openedUrls.first().fragment().isEmpty());
        QVERIFY(!prompt.openedUrls.first().hasQuery());

        // The same for a template page of the bottom tab widget.
        writeFile(dir + "/t.tqw", "<template/>");
        auto* page = new TemplateDialog(dir + "/t.tqw");
        const int index = window.mainTabWidget->addTab(page, "t.tqw");
        window.mainTabWidget->setProperty("clickedWidgetIndex", index);
        window.openContainingDirectoryUsingSystemApp4TabWidget();
        QCOMPARE(prompt.openedUrls.size(), 2);
        QCOMPARE(prompt.openedUrls.last().toLocalFile(), dir);
    }

    void folderOfNothing()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.openContainingDirectoryUsingSystemApp(); // no document
        window.newFile();                               // untitled
        window.openContainingDirectoryUsingSystemApp();
        window.openContainingDirectoryUsingDirectoryDock();
        // A page that is not a template.
        window.mainTabWidget->setProperty("clickedWidgetIndex", 0);
        window.openContainingDirectoryUsingSystemApp4TabWidget();
        window.mainTabWidget->setProperty("clickedWidgetIndex", 99);
        window.openContainingDirectoryUsingSystemApp4TabWidget();
        QVERIFY(prompt.openedUrls.isEmpty());
    }

    void directoryDockShowsFolder()
    {
        const QString dir = work + "/稿 #2";
        QVERIFY(QDir().mkpath(dir));
        writeFile(dir + "/a.txt", "text");
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.dirDock->hide();
        window.open(dir + "/a.txt");
        actionByText(&window, "打开所在目录")->trigger();
        QVERIFY(!window.dirDock->isHidden());
        QCOMPARE(window.dirModel->filePath(window.dirTreeView->currentIndex()), dir);
        QVERIFY(window.dirTreeView->isExpanded(window.dirTreeView->currentIndex()));
    }

    // ---- The tree's context menu ---------------------------------------------------

    void contextMenu_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("none") << "";
        QTest::newRow("open") << "打开";
        QTest::newRow("folder") << "系统默认程序打开所在目录";
        QTest::newRow("properties") << "文件属性";
    }

    void contextMenu()
    {
        QFETCH(QString, choice);
        writeFile(work + "/a.txt", "text");
        TQDirModel model;
        DirTreeView view;
        view.setModel(&model);
        view.setRootIndex(model.index(work));
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE(model.rowCount(view.rootIndex()), 1);
        const QModelIndex entry = model.index(work + "/a.txt");
        QTRY_VERIFY(view.visualRect(entry).isValid());
        QSignalSpy activated(&view, &DirTreeView::activated);

        ScriptedPrompt prompt;
        prompt.menuChoice = choice;
        // The empty area below the entries: no menu at all.
        const QPoint empty(10, view.viewport()->height() - 5);
        QVERIFY(!view.indexAt(empty).isValid());
        QContextMenuEvent emptyEvent(QContextMenuEvent::Mouse, empty, view.viewport()->mapToGlobal(empty));
        QApplication::sendEvent(view.viewport(), &emptyEvent);
        QVERIFY(prompt.menus.isEmpty());

        const QPoint onEntry = view.visualRect(entry).center();
        QContextMenuEvent entryEvent(QContextMenuEvent::Mouse, onEntry, view.viewport()->mapToGlobal(onEntry));
        QApplication::sendEvent(view.viewport(), &entryEvent);
        QCOMPARE(prompt.menus.size(), 1);
        QCOMPARE(prompt.menus.first(), (QStringList{"打开", "系统默认程序打开所在目录", "文件属性"}));
        QCOMPARE(activated.size(), choice == "打开" ? 1 : 0);
        if (choice == "打开")
            QCOMPARE(activated.first().first().toModelIndex(), entry);
        QCOMPARE(prompt.openedUrls, choice == "系统默认程序打开所在目录" ? QList<QUrl>{QUrl::fromLocalFile(work)}
                                                                         : QList<QUrl>{});
        QCOMPARE(prompt.dialogs, choice == "文件属性" ? QStringList{"FilePropertyDialog"} : QStringList{});
        // No menu is left behind on the view.
        QVERIFY(view.findChildren<QMenu*>().isEmpty());
    }
};

TQ_TEST_MAIN(DirPaneTest)
#include "tst_dirpane.moc"
