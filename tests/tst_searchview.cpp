// The main window's side of find in files: the page as the first bottom tab,
// the tab text following the include box, clearing the histories, the search
// command, and opening a hit at its line (documents, templates, other files).

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCodec>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SearchDialog.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "TextEncoding.h"

namespace {

// writeFile after making the file's folder.
void writeFileIn(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeFile(path, bytes);
}

// Brings the page forward with the search command and searches as a user would.
void runSearch(MainWindow& window, const QString& directory, const QString& patterns, const QString& include)
{
    if (!window.isVisible()) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    window.search();
    SearchDialog* page = window.searchDialog;
    page->findChild<QComboBox*>("directoryComboBox")->setEditText(directory);
    page->findChild<QComboBox*>("fileComboBox")->setEditText(patterns);
    page->findChild<QComboBox*>("includeComboBox")->setEditText(include);
    page->findChild<QComboBox*>("excludeComboBox")->setEditText(QString());
    QTest::mouseClick(page->findChild<QPushButton*>("findButton"), Qt::LeftButton);
}

int rowOf(QTableWidget* table, const QString& fileSuffix, int line)
{
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 1)->text().endsWith(fileSuffix) && table->item(row, 2)->text().toInt() == line)
            return row;
    return -1;
}

} // namespace

class TestSearchView : public QObject
{
    Q_OBJECT

private slots:
    void pageIsFirstTabAndFollowsIncludeText()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(window.searchDialog);
        QCOMPARE(window.mainTabWidget->widget(0), static_cast<QWidget*>(window.searchDialog));
        auto* include = window.searchDialog->findChild<QComboBox*>("includeComboBox");
        include->setEditText(QString());
        QTest::keyClicks(include->lineEdit(), "ab");
        QCOMPARE(window.mainTabWidget->tabText(0), QString("ab"));
        QCOMPARE(window.mainTabWidget->tabToolTip(0), QString("搜索: ab"));
        window.clearSearchDialogHistory();
        QCOMPARE(window.mainTabWidget->tabText(0), QString());
        QCOMPARE(window.mainTabWidget->tabToolTip(0), QString("搜索: "));

        window.mainDock->hide();
        window.search();
        QVERIFY(!window.mainDock->isHidden());
        QCOMPARE(window.mainTabWidget->currentWidget(), static_cast<QWidget*>(window.searchDialog));
    }

    // A folder of drafts in every encoding, searched and opened as a user would.
    void mixedFolderEndToEnd()
    {
        const QString dir = freshTempFolder("mixed");
        const QString text = QStringLiteral("开头\n第二行没有\n<b>上官</b> & 张三\n");
        writeFileIn(dir + "/gb.txt", gb18030(text));
        writeFileIn(dir + "/u8.txt", text.toUtf8());
        writeFileIn(dir + "/bom.txt", QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        writeFileIn(dir + "/u16.txt", utf16Bytes(text, true));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(1200, 800);
        runSearch(window, dir, "*.txt", "上官 张三");
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 4);
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(table->item(row, 2)->text(), QString("3"));
            QCOMPARE(table->item(row, 4)->text(), QString("<b>上官</b> & 张三"));
        }
        const QString shots = qEnvironmentVariable("TQ_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            window.grab().save(shots + "/findinfiles.png");
        window.openFileOfItem(rowOf(table, "gb.txt", 3), 3);
        QCOMPARE(window.activeMdiChild()->textCursor().block().blockNumber(), 2);
        QCOMPARE(prompt.texts, QStringList());
    }

    void openHitSelectsWordOnItsLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("include");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<QString>("selected");
        const QString text = QStringLiteral("一\n二\n三\n四\n前面 张三 后面 张三\n六\n");
        QTest::newRow("GB18030") << gb18030(text) << "张三" << 3 << "张三";
        QTest::newRow("UTF-8") << text.toUtf8() << "张三" << 3 << "张三";
        // Several words: from the line's start, as long as the include text.
        QTest::newRow("two words") << gb18030(text) << "后面 前面" << 0 << "前面 张三";
    }

    void openHitSelectsWordOnItsLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, include);
        QFETCH(int, selectionStart);
        QFETCH(QString, selected);
        const QString dir = freshTempFolder("open");
        writeFileIn(dir + "/hits.txt", bytes);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        runSearch(window, dir, "*.txt", include);
        QTableWidget* table = window.searchDialog->filesTable();
        const int row = rowOf(table, "hits.txt", 5);
        QVERIFY(row >= 0);
        emit table->cellActivated(row, 3);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        QCOMPARE(QFileInfo(child->currentFile()).fileName(), QString("hits.txt"));
        const QTextCursor cursor = child->textCursor();
        QCOMPARE(cursor.block().blockNumber(), 4);
        QCOMPARE(cursor.selectionStart() - cursor.block().position(), selectionStart);
        QCOMPARE(cursor.selectedText(), selected);
        QCOMPARE(child->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(prompt.openedUrls.size(), 0);
    }

    // Opening a hit leaves the document wrapping as "自动换行" shows, whether the hit's
    // file opens now or was open already when the tick was taken off.
    void hitKeepsTheWrappingTheMenuShows_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<bool>("openBefore");
        QTest::newRow("off, file opened by the hit") << false << false;
        QTest::newRow("off, file open already") << false << true;
        QTest::newRow("on, file opened by the hit") << true << false;
    }
    void hitKeepsTheWrappingTheMenuShows()
    {
        QFETCH(bool, wrap);
        QFETCH(bool, openBefore);
        const QString dir = freshTempFolder("wrap");
        writeFileIn(dir + "/hits.txt", gb18030(QStringLiteral("一\n前面 张三 后面\n")));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(window.lineWrapAct->isChecked());
        if (openBefore)
            window.open(dir + "/hits.txt");
        if (!wrap)
            window.lineWrapAct->trigger();
        QCOMPARE(window.lineWrapAct->isChecked(), wrap);
        runSearch(window, dir, "*.txt", QStringLiteral("张三"));
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 1);
        emit table->cellActivated(0, 3);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        QCOMPARE(child->textCursor().selectedText(), QStringLiteral("张三"));
        QCOMPARE(child->lineWrapMode(), wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        QCOMPARE(window.lineWrapAct->isChecked(), wrap);
        QCOMPARE(window.documents().size(), 1);
    }

    // "小说" saved in GB18030 is also valid UTF-8 ("С˵"); the search must read it as
    // GB18030, find it and open it so.
    void gb18030XiaoshuoIsFoundAndOpened()
    {
        const QString dir = freshTempFolder("xiaoshuo");
        writeFileIn(dir + "/novel.txt", gb18030(QStringLiteral("小说")));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        runSearch(window, dir, "*.txt", QStringLiteral("小说"));
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 4)->text(), QStringLiteral("小说"));
        window.openFileOfItem(0, 3);
        MdiChild* child = window.activeMdiChild();
        QCOMPARE(child->toPlainText(), QStringLiteral("小说"));
        QCOMPARE(child->encoding, QString("GB18030"));
        QCOMPARE(child->textCursor().selectedText(), QStringLiteral("小说"));
    }

    // A hit is opened in the encoding the search read it in: these Big5 bytes are
    // common characters in GB18030 too, so opening alone reads them as GB18030;
    // the search, told to try Big5-HKSCS, found the traditional words.
    void hitOpensInTheEncodingItWasFoundIn()
    {
        QTextCodec* big5 = QTextCodec::codecForName("Big5-HKSCS");
        const QByteArray bytes("\xB0\xA1\xB1\xA2 \xB2\xA3\xB3\xA4\n\xB4\xA5\xB5\xA6\n", 14);
        const QString text = big5->toUnicode(bytes);
        const QString words = text.section(QLatin1Char(' '), 1, 1).section(QLatin1Char('\n'), 0, 0);
        QCOMPARE(words.size(), 2);
        QCOMPARE(TextEncoding::detect(bytes).encoding, QString("GB18030"));
        const QString dir = freshTempFolder("big5");
        writeFileIn(dir + "/big5.txt", bytes);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.searchDialog->findChild<QComboBox*>("encodingComboBox")->setCurrentText("Big5-HKSCS");
        runSearch(window, dir, "*.txt", words);
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 1);
        window.openFileOfItem(0, 3);
        MdiChild* child = window.activeMdiChild();
        QCOMPARE(child->encoding, QString("Big5-HKSCS"));
        QCOMPARE(child->toPlainText(), text);
        QCOMPARE(child->textCursor().selectedText(), words);
        QCOMPARE(child->textCursor().selectionStart(), 3);
        QVERIFY(!child->document()->isModified());
    }

    // A hit 200,000 characters into one line: the cursor is placed, not walked there.
    void hitFarIntoALongLine()
    {
        const QString dir = freshTempFolder("longline");
        const int before = 200000;
        writeFileIn(dir + "/long.txt", gb18030(QStringLiteral("前言\n") + QString(before, QChar(0x6587))
                                               + QStringLiteral("张三后记\n")));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(1000, 700);
        runSearch(window, dir, "*.txt", QStringLiteral("张三"));
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 1);
        window.openFileOfItem(0, 3);
        MdiChild* child = window.activeMdiChild();
        const QTextCursor cursor = child->textCursor();
        QCOMPARE(cursor.block().blockNumber(), 1);
        QCOMPARE(cursor.selectionStart(), cursor.block().position() + before);
        QCOMPARE(cursor.selectedText(), QStringLiteral("张三"));
        QCOMPARE(child->lineWrapMode(), QTextEdit::WidgetWidth);
    }

    // Hits on one line longer than a slice of the search (one odd byte first puts slice ends inside
    // characters): no hit's text has a broken character, and each hit opens at its own occurrence.
    // In the last row a hit's text cut by units alone would begin and end with half a surrogate pair.
    void hitsOnOneLongLine_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("filler");
        QTest::addColumn<int>("repeats");
        QTest::newRow("GB18030, two- and four-byte characters") << "GB18030" << "文\U00020000" << 40000;
        QTest::newRow("UTF-8") << "UTF-8" << "文" << 40000;
        QTest::newRow("Big5-HKSCS") << "Big5-HKSCS" << "文" << 40000;
        QTest::newRow("UTF-16LE, surrogate pairs") << "UTF-16LE" << "\U00020000" << 40000;
        QTest::newRow("UTF-16BE, pairs among letters") << "UTF-16BE" << "abc\U00020000def" << 4097;
    }

    void hitsOnOneLongLine()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, filler);
        QFETCH(int, repeats);
        const QString word = QStringLiteral("讀書");
        const QString line = "x" + QString(filler.repeated(repeats) + word).repeated(3);
        const QString dir = freshTempFolder("longhits");
        writeFileIn(dir + "/long.txt", QTextCodec::codecForName(encoding.toLatin1())->fromUnicode("前言\n" + line));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.searchDialog->findChild<QComboBox*>("encodingComboBox")->setCurrentText(encoding);
        runSearch(window, dir, "*.txt", word);
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 3);
        for (int row = 0, place = -1; row < table->rowCount(); ++row) {
            const QString text = table->item(row, 4)->text();
            QCOMPARE(line.mid(table->item(row, 2)->data(SearchDialog::ColumnRole).toInt(), text.size()), text);
            QVERIFY2(!text.front().isLowSurrogate() && !text.back().isHighSurrogate(),
                     "a hit's text begins or ends with half a surrogate pair");
            window.openFileOfItem(row, 3);
            const QTextCursor cursor = window.activeMdiChild()->textCursor();
            place = line.indexOf(word, place + 1);
            QCOMPARE(cursor.selectionStart() - cursor.block().position(), place);
        }
    }

    void otherFilesGoToTheDesktop()
    {
        const QString dir = freshTempFolder("desktop");
        writeFileIn(dir + "/odd #1?.TXT", "needle\n");
        writeFileIn(dir + "/notes.md", "needle\n");
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        runSearch(window, dir, "*", "needle");
        QTableWidget* table = window.searchDialog->filesTable();
        QCOMPARE(table->rowCount(), 2);
        const int documents = window.mdiArea->subWindowList().size();
        window.openFileOfItem(rowOf(table, ".TXT", 1), 0);
        window.openFileOfItem(rowOf(table, ".md", 1), 0);
        QCOMPARE(window.mdiArea->subWindowList().size(), documents);
        QCOMPARE(prompt.openedUrls.size(), 2);
        QCOMPARE(prompt.openedUrls.at(0), QUrl::fromLocalFile(dir + "/odd #1?.TXT"));
        QCOMPARE(prompt.openedUrls.at(0).toLocalFile(), dir + "/odd #1?.TXT");
        QCOMPARE(prompt.openedUrls.at(1), QUrl::fromLocalFile(dir + "/notes.md"));
    }

    // A template hit goes to the template opener: it becomes neither a document nor
    // the desktop's, and a page the template library shows for it closes by itself.
    void templatesOpenWithTheSearchText()
    {
        const QString dir = freshTempFolder("template");
        writeFileIn(dir + "/t.tqw", "<?xml version=\"1.0\"?>\n<a>needle</a>\n");
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        runSearch(window, dir, "*", "needle");
        QCOMPARE(window.searchDialog->filesTable()->rowCount(), 1);
        const int documents = window.mdiArea->subWindowList().size();
        window.openFileOfItem(0, 0);
        QCOMPARE(window.mdiArea->subWindowList().size(), documents);
        QCOMPARE(prompt.openedUrls.size(), 0);
        for (TemplateDialog* page : qAsConst(window.templateDialogs)) {
            QCOMPARE(QFileInfo(page->fileName()).canonicalFilePath(), QFileInfo(dir + "/t.tqw").canonicalFilePath());
            QVERIFY(page->autoClose());
        }
    }

    void failedOpenLeavesOtherDocumentsAlone()
    {
        const QString dir = freshTempFolder("failed");
        writeFileIn(dir + "/gone.txt", "a\nb\nneedle\n");
        writeFileIn(dir + "/other.txt", "x\ny\nz\nw\n");
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        runSearch(window, dir, "gone.txt", "needle");
        QCOMPARE(window.searchDialog->filesTable()->rowCount(), 1);
        window.open(dir + "/other.txt");
        MdiChild* other = window.activeMdiChild();
        QVERIFY(other);
        QFile::remove(dir + "/gone.txt");
        const int position = other->textCursor().position();
        const QTextEdit::LineWrapMode wrap = other->lineWrapMode();
        window.openFileOfItem(0, 0);
        QCOMPARE(window.activeMdiChild(), other);
        QCOMPARE(other->textCursor().position(), position);
        QVERIFY(!other->textCursor().hasSelection());
        QCOMPARE(other->lineWrapMode(), wrap);
    }

    void closingTheWindowCancelsTheSearch()
    {
        const QString dir = freshTempFolder("closing");
        for (int i = 0; i < 50; ++i)
            writeFileIn(dir + QStringLiteral("/f%1.txt").arg(i), QByteArray(200000, 'x') + "\nneedle\n");
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Close the window from inside the search, as soon as it processes events.
        bool closed = false;
        QTimer::singleShot(0, &window, [&] {
            closed = window.close();
        });
        runSearch(window, dir, "*.txt", "needle");
        QVERIFY(closed);
        QVERIFY(!window.searchDialog->isSearching());
        QVERIFY(window.searchDialog->results().size() < 50);
    }
};

TQ_TEST_MAIN(TestSearchView)
#include "tst_searchview.moc"
