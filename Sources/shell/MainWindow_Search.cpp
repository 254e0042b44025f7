// Main window: find and replace in the active document (the engine is FindReplace),
// web search of the selection and find in files (the search tab and its hits).

#include "MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>

#include "FindReplace.h"
#include "FindReplaceDialogEx.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SearchDialog.h"
#include "SharedCodes.h"
#include "ui_FindReplaceDialogEx.h"

// ---- Find and replace ----------------------------------------------------------

void MainWindow::find()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (child)
        showFindReplaceDialog(child, FIND_DIALOG_FIND_TAB);
}

void MainWindow::replace()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (child && !child->textCursor().isNull())
        showFindReplaceDialog(child, FIND_DIALOG_REPLACE_TAB);
}

void MainWindow::showFindReplaceDialog(MdiChild* child, int tab)
{
    if (!findReplaceDialog)
        return;
    findReplaceDialog->setFindString(child->textCursor().selectedText());
    findReplaceDialog->on_tabWidget_currentChanged(tab);
    findReplaceDialog->show();
    findReplaceDialog->raise();
    findReplaceDialog->activateWindow();
    // Ready for typing over the text to find.
    findReplaceDialog->form()->findComboBox->setFocus();
    findReplaceDialog->form()->findComboBox->lineEdit()->selectAll();
}

bool MainWindow::findReplace(const QString& strFind, const QString& strReplace, QTextDocument::FindFlag backward,
                             QTextDocument::FindFlag caseSensitivity, bool wrapAround, bool replace,
                             bool replaceAll, bool regexp)
{
    qDebug() << Q_FUNC_INFO << ", strFind =" << strFind << ", strReplace =" << strReplace << ", backward =" << backward
             << ", caseSensitivity =" << caseSensitivity << ", wrapAround =" << wrapAround << ", replace =" << replace
             << ", replaceAll =" << replaceAll << ", regexp =" << regexp;
    MdiChild* child = activeMdiChild();
    if (!child)
        return false;
    FindReplace::Options options;
    options.find = strFind;
    options.replace = strReplace;
    options.backward = backward == QTextDocument::FindBackward;
    options.caseSensitive = caseSensitivity == QTextDocument::FindCaseSensitively;
    options.wrapAround = wrapAround;
    options.regexp = regexp;
    FindReplace engine(child->document(), options);
    const bool found = engine.run(child->textCursor(), replace, replaceAll);
    if (engine.cursorChanged())
        child->setTextCursor(engine.cursor());
    if (replaceAll && !engine.tooComplex())
        statusBar()->showMessage(tr("全部替换: 已替换 %1 个").arg(engine.replacements()), 7000);
    if (engine.tooComplex()) {
        QMessageBox box(QMessageBox::Warning, tr("警告"),
                        tr("正则表达式 %1 过于复杂, 无法在当前文档中完成匹配, 文档没有改动.").arg(strFind),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
    } else if (engine.notFound()) {
        QMessageBox box(QMessageBox::Warning, tr("警告"), tr("查找结束, 未发现: %1").arg(strFind), QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
    }
    return found;
}

// ---- Web search ----------------------------------------------------------------

namespace {

// The query address of an engine (the combo box's index; any other index is the
// fallback engine). The text is percent-encoded whole, so "C#" or "R&D" search
// what was typed and cannot leave the engine's host.
QUrl webSearchUrl(int engine, const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", engine =" << engine << ", text =" << text;
    QString prefix;
    switch (engine) {
    case 0: prefix = QStringLiteral("https://www.baidu.com/s?&ie=utf-8&wd="); break;
    case 1: prefix = QStringLiteral("https://cn.bing.com/search?q="); break;
    case 3: prefix = QStringLiteral("https://zh.wikipedia.org/wiki/"); break;
    default: prefix = QStringLiteral("https://www.google.com/search?q="); break;
    }
    return QUrl(prefix + QString::fromLatin1(QUrl::toPercentEncoding(text)), QUrl::TolerantMode);
}

} // namespace

void MainWindow::searchReturnPressed()
{
    qDebug() << Q_FUNC_INFO;
    const int engine = searchEngineComboBox ? searchEngineComboBox->currentIndex() : -1;
    const QUrl url = webSearchUrl(engine, searchLineEdit ? searchLineEdit->text() : QString());
    qDebug() << "url =" << url.toString(QUrl::FullyEncoded);
    if (!Prompt::current().openUrl(url))
        qWarning() << Q_FUNC_INFO << "the desktop could not open" << url;
}

void MainWindow::webSearch()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    // A selection across paragraphs searches its words, not separator characters.
    QString text = child->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char(' ')).replace(QChar::LineSeparator, QLatin1Char(' '));
    if (searchLineEdit)
        searchLineEdit->setText(text);
    searchReturnPressed();
}

void MainWindow::urlActivated(const QString& url)
{
    // No built-in browser: the browser commands do nothing.
    qDebug() << Q_FUNC_INFO << ", url =" << url;
}

void MainWindow::prevUrl()
{
    qDebug() << Q_FUNC_INFO;
}

void MainWindow::nextUrl()
{
    qDebug() << Q_FUNC_INFO;
}

void MainWindow::stopUrl()
{
    qDebug() << Q_FUNC_INFO;
}

void MainWindow::reloadUrl()
{
    qDebug() << Q_FUNC_INFO;
}

void MainWindow::homePageUrl()
{
    qDebug() << Q_FUNC_INFO;
}

void MainWindow::newBookmarkUrl()
{
    qDebug() << Q_FUNC_INFO;
}

void MainWindow::bookmarkList()
{
    qDebug() << Q_FUNC_INFO;
}

// ---- Find in files -------------------------------------------------------------

void MainWindow::createSearchDialog()
{
    qDebug() << Q_FUNC_INFO;
    searchDialog = new SearchDialog(this);
    const QString text = searchDialog->currentSearchText();
    mainTabWidget->insertTab(0, searchDialog, QIcon(QStringLiteral(":/Images/Search.png")), text);
    mainTabWidget->setTabToolTip(0, tr("搜索: ") + text);
    connect(searchDialog->filesTable(), SIGNAL(cellActivated(int, int)), this, SLOT(openFileOfItem(int, int)));
    connect(searchDialog->includeComboBox(), SIGNAL(editTextChanged(const QString&)), this,
            SLOT(updateSearchTabText(const QString&)));
    connect(searchDialog->saveAsAtomTemplateAction(), SIGNAL(triggered()), this,
            SLOT(saveSelectedItemsAsAtomTemplate()));
}

void MainWindow::search()
{
    qDebug() << Q_FUNC_INFO;
    if (mainDock)
        mainDock->show();
    showBottomTab(QStringLiteral("SearchDialog"));
}

void MainWindow::updateSearchTabText(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    const int index = mainTabWidget ? mainTabWidget->indexOf(searchDialog) : -1;
    if (index < 0)
        return;
    mainTabWidget->setTabText(index, text);
    mainTabWidget->setTabToolTip(index, tr("搜索: ") + text);
}

void MainWindow::clearSearchDialogHistory()
{
    qDebug() << Q_FUNC_INFO;
    if (searchDialog)
        searchDialog->clearHistory();
}

void MainWindow::openFileOfItem(int row, int column)
{
    qDebug() << Q_FUNC_INFO << ", row =" << row << ", column =" << column;
    QTableWidget* table = searchDialog ? searchDialog->filesTable() : nullptr;
    if (!table || !table->item(row, 1) || !table->item(row, 2))
        return;
    const QString path = searchDialog->searchDirectory().absoluteFilePath(table->item(row, 1)->text());
    const QString searchText = searchDialog->currentSearchText();
    if (path.endsWith(QLatin1String(".txt")) || path.endsWith(QLatin1String(".tqd"))) {
        open(path);
        // Only move the cursor of the document that now shows this file: when
        // opening failed the active document is another one.
        MdiChild* child = activeMdiChild();
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!child || canonical.isEmpty() || QFileInfo(child->currentFile()).canonicalFilePath() != canonical)
            return;
        // The hit was found in this encoding: a plain-text file the open read
        // otherwise is read again in it (an edited document is left as it is).
        const QString encoding = table->item(row, 1)->data(SearchDialog::EncodingRole).toString();
        if (!encoding.isEmpty() && path.endsWith(QLatin1String(".txt")) && child->encoding != encoding
            && !child->document()->isModified())
            child->reloadWithEncoding(encoding);
        const int line = table->item(row, 2)->text().toInt();
        // The hit's line is its paragraph: the cursor is placed by position, with
        // no detour through unwrapped text. Laying a paragraph of hundreds of
        // thousands of characters out unwrapped and wrapped again costs minutes.
        // The document wraps as "自动换行" shows.
        if (lineWrapAct)
            child->setWrapping(lineWrapAct->isChecked());
        const QTextBlock block = child->document()->findBlockByNumber(line - 1);
        if (block.isValid()) {
            // In a plain-text file the text is looked for from where the hit's
            // text begins: a long line is searched in slices, and each hit opens in its own.
            QTextCursor cursor(block);
            const int column = table->item(row, 2)->data(SearchDialog::ColumnRole).toInt();
            const int from = path.endsWith(QLatin1String(".txt")) ? qBound(0, column, block.length() - 1) : 0;
            int index = searchText.isEmpty() ? -1 : block.text().indexOf(searchText, from);
            if (index < 0)
                index = from;
            const int length = qMin(searchText.size(), block.length() - 1 - index);
            cursor.setPosition(block.position() + index);
            cursor.setPosition(block.position() + index + qMax(0, length), QTextCursor::KeepAnchor);
            child->setTextCursor(cursor);
        }
        child->showCursor();
    } else if (path.endsWith(QLatin1String(".tqw"))) {
        openTemplate(path, searchText, -1, true, TEMPLATE_TYPE_TQW_FILE, false);
    } else {
        Prompt::current().openUrl(QUrl::fromLocalFile(path));
    }
}
