// Main window: edit, format, view, clipboard and directory-pane commands. New,
// open, save, the recent files and auto-save are in MainWindow_Documents.cpp;
// printing and export in MainWindow_PrintExport.cpp; find and replace, web search
// and find in files in MainWindow_Search.cpp; files changed by other programs in
// MainWindow_FileChanges.cpp.

#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontInfo>
#include <QIcon>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextOption>
#include <QToolButton>
#include <QUrl>

#include "DirTreeView.h"
#include "FilePropertyDialog.h"
#include "GlobalActions.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TQDirModel.h"
#include "TemplateDialog.h"
#include "TextBlockUserData.h"

void MainWindow::toggleSymbol()
{
    qDebug() << Q_FUNC_INFO;
    int flags = 0;
    if (showSymbolActs[0] && showSymbolActs[0]->isChecked())
        flags |= QTextOption::ShowTabsAndSpaces;
    if (showSymbolActs[1] && showSymbolActs[1]->isChecked())
        flags |= QTextOption::ShowLineAndParagraphSeparators | QTextOption::ShowDocumentTerminator;
    QTextOption option;
    option.setFlags(QTextOption::Flags(flags));
    for (QMdiSubWindow* subWindow : mdiArea->subWindowList())
        if (auto* child = qobject_cast<MdiChild*>(subWindow->widget()))
            child->document()->setDefaultTextOption(option);
    settings.setValue(QStringLiteral("ShowSymbol"), flags);
}

// ---- Edit, format and view -----------------------------------------------------

namespace {

// The editors of every sub-window, in window order.
QList<MdiChild*> editorsOf(const MdiArea* area)
{
    QList<MdiChild*> editors;
    if (!area)
        return editors;
    for (QMdiSubWindow* subWindow : area->subWindowList())
        if (auto* child = qobject_cast<MdiChild*>(subWindow->widget()))
            editors << child;
    return editors;
}

// Encoding names by the data index of the encoding actions; UTF-8 has no action.
QStringList encodingNames()
{
    return {QStringLiteral("Big5"), QStringLiteral("Big5-HKSCS"), QStringLiteral("GB18030"), QStringLiteral("GB2312"),
            QStringLiteral("UTF-8")};
}

// The start of line `number` (from 0) as the document reads unwrapped: each
// paragraph is a line, and so is each part of it after a line separator. A
// number past the end gives the start of the last line.
int unwrappedLineStart(const QTextDocument* document, int number)
{
    qDebug() << Q_FUNC_INFO << ", number =" << number;
    int lineStart = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        // from: where the line begins in the paragraph; 0 after the last line.
        for (int from = 0;;) {
            lineStart = block.position() + from;
            if (number-- == 0)
                return lineStart;
            from = text.indexOf(QChar::LineSeparator, from) + 1;
            if (from == 0)
                break;
        }
    }
    return lineStart;
}

} // namespace


void MainWindow::copy()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->copy();
}

void MainWindow::cut()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->cut();
}

void MainWindow::paste()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->paste();
}

void MainWindow::undo()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->undo();
}

void MainWindow::redo()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->redo();
}

void MainWindow::selectAll()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->selectAll();
}

void MainWindow::deleteSelectedText()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild()) {
        QTextCursor cursor = child->textCursor();
        if (cursor.hasSelection()) {
            cursor.removeSelectedText();
            child->setTextCursor(cursor);
        }
    }
}

void MainWindow::pasteAsPlainText()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->insertPlainText(QApplication::clipboard()->text(QClipboard::Clipboard));
}

void MainWindow::textBold()
{
    qDebug() << Q_FUNC_INFO;
    QTextCharFormat format;
    format.setFontWeight(textBoldAct && textBoldAct->isChecked() ? QFont::Bold : QFont::Normal);
    applyCharFormatToWordOrSelection(format);
}

void MainWindow::textItalic()
{
    qDebug() << Q_FUNC_INFO;
    QTextCharFormat format;
    format.setFontItalic(textItalicAct && textItalicAct->isChecked());
    applyCharFormatToWordOrSelection(format);
}

void MainWindow::textUnderline()
{
    qDebug() << Q_FUNC_INFO;
    QTextCharFormat format;
    format.setUnderlineStyle(textUnderlineAct && textUnderlineAct->isChecked() ? QTextCharFormat::SingleUnderline
                                                                             : QTextCharFormat::NoUnderline);
    applyCharFormatToWordOrSelection(format);
}

void MainWindow::textFamily(const QString& family)
{
    qDebug() << Q_FUNC_INFO << ", family =" << family;
    QTextCharFormat format;
    format.setFontFamily(family);
    applyCharFormatToWordOrSelection(format);
}

void MainWindow::textSize(const QString& size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    bool ok = false;
    const double pointSize = size.trimmed().toDouble(&ok);
    if (!ok || !(pointSize > 0)) {
        qWarning() << "Not a font size:" << size;
        return;
    }
    QTextCharFormat format;
    format.setFontPointSize(pointSize);
    applyCharFormatToWordOrSelection(format);
}

void MainWindow::textColor()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    const QColor color = Prompt::current().getColor(child->textColor(), this);
    if (!color.isValid())
        return;
    QTextCharFormat format;
    format.setForeground(QBrush(color));
    applyCharFormatToWordOrSelection(format);
    updateTextColorSwatch(color);
}

void MainWindow::textAlign(QAction* action)
{
    qDebug() << Q_FUNC_INFO << ", action =" << (action ? action->text() : QString());
    MdiChild* child = activeMdiChild();
    if (!child || !action)
        return;
    if (action == alignLeftAct)
        child->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    else if (action == alignCenterAct)
        child->setAlignment(Qt::AlignHCenter);
    else if (action == alignRightAct)
        child->setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    else if (action == alignJustifyAct)
        child->setAlignment(Qt::AlignJustify);
}

void MainWindow::alignmentChanged(Qt::Alignment alignment)
{
    qDebug() << Q_FUNC_INFO << ", alignment =" << alignment;
    QAction* action = nullptr;
    if (alignment & Qt::AlignLeft)
        action = alignLeftAct;
    else if (alignment & Qt::AlignHCenter)
        action = alignCenterAct;
    else if (alignment & Qt::AlignRight)
        action = alignRightAct;
    else if (alignment & Qt::AlignJustify)
        action = alignJustifyAct;
    if (action)
        action->setChecked(true);
}

void MainWindow::currentCharFormatChanged(const QTextCharFormat& format)
{
    qDebug() << Q_FUNC_INFO;
    syncFontControls(format.font());
    updateTextColorSwatch(format.foreground().color());
}

void MainWindow::syncFontControls(const QFont& font)
{
    qDebug() << Q_FUNC_INFO << ", font =" << font.toString();
    if (comboFont)
        comboFont->setCurrentIndex(
            comboFont->findText(QFontInfo(font).family(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (comboSize)
        comboSize->setCurrentIndex(comboSize->findText(QString::number(font.pointSize())));
    if (textBoldAct)
        textBoldAct->setChecked(font.weight() > QFont::Medium);
    if (textItalicAct)
        textItalicAct->setChecked(font.style() != QFont::StyleNormal);
    if (textUnderlineAct)
        textUnderlineAct->setChecked(font.underline());
}

void MainWindow::updateTextColorSwatch(const QColor& color)
{
    qDebug() << Q_FUNC_INFO << ", color =" << color;
    if (!textColorAct)
        return;
    QPixmap swatch(16, 16);
    swatch.fill(color);
    textColorAct->setIcon(swatch);
}

void MainWindow::applyCharFormatToWordOrSelection(const QTextCharFormat& format)
{
    qDebug() << Q_FUNC_INFO;
    currentMdiChild = activeMdiChild();
    if (!currentMdiChild)
        return;
    QTextCursor cursor = currentMdiChild->textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    cursor.mergeCharFormat(format);
    currentMdiChild->mergeCurrentCharFormat(format);
}

void MainWindow::setFontSize(int size)
{
    qDebug() << Q_FUNC_INFO << ": size =" << size;
    if (size <= 0) {
        qWarning() << "Font size out of range:" << size;
        return;
    }
    QFont font = QApplication::font();
    font.setPointSize(size);
    QApplication::setFont(font);
}

void MainWindow::zoom()
{
    qDebug() << Q_FUNC_INFO;
    if (auto* action = qobject_cast<QAction*>(sender()))
        zoom(action->text());
}

void MainWindow::zoom(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    bool ok = false;
    const float percent = text.left(text.size() - 1).toFloat(&ok);
    if (!ok || !(percent > 0)) {
        qWarning() << "Not a zoom percentage:" << text;
        return;
    }
    const int level = percent >= 100 ? int(percent / 100) : -int(100 / percent);
    applyZoomLevel(level);
}

void MainWindow::resetZoom()
{
    qDebug() << Q_FUNC_INFO << ", zoomLevel =" << zoomLevel;
    // Each document takes back what the wheel and the zoom commands added, however
    // the zoom was reached: the base size again.
    for (MdiChild* child : editorsOf(mdiArea))
        child->resetZoom();
    zoomLevel = 1;
}

void MainWindow::applyZoomLevel(int level)
{
    qDebug() << Q_FUNC_INFO << ", level =" << level;
    resetZoom();
    for (MdiChild* child : editorsOf(mdiArea)) {
        if (level > 1) {
            child->zoomBy(level * zoomStep);
            child->viewport()->update();
        } else if (level < -1) {
            child->zoomBy(level * zoomStep);
        }
    }
    zoomLevel = level;
}

void MainWindow::setTextEditReadOnly()
{
    qDebug() << Q_FUNC_INFO;
    const bool readOnly = setTextEditReadOnlyAct && setTextEditReadOnlyAct->isChecked();
    if (MdiChild* child = activeMdiChild())
        child->setReadOnly(readOnly);
    if (readOnlyButton)
        readOnlyButton->setIcon(
            QIcon(readOnly ? QStringLiteral(":/Images/ReadOnly.png") : QStringLiteral(":/Images/ReadWrite.png")));
}

void MainWindow::autoFormat()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    cursorTrackingEnabled = false;
    child->autoFormat();
    cursorTrackingEnabled = true;
}

void MainWindow::gotoCharacter()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    const int count = child->document()->characterCount();
    bool ok = false;
    const int number = Prompt::current().getInt(this, tr("到第...个字符"), tr("指定字符数(%1 - %2): ").arg(0).arg(count),
                                                0, 0, count, 1, &ok);
    if (!ok)
        return;
    // Moving right goes from character to character whatever the wrapping.
    QTextCursor cursor = child->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, number);
    child->setTextCursor(cursor);
    child->showCursor();
}

void MainWindow::gotoLine()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    const int count = child->document()->lineCount();
    bool ok = false;
    const int number =
        Prompt::current().getInt(this, tr("到指定行"), tr("指定行数(%1 - %2): ").arg(1).arg(count), 1, 1, count, 1, &ok);
    if (!ok)
        return;
    // Lines and paragraphs coincide without wrapping, so the line is found in
    // the text: no layout without wrapping, which would take a long line
    // minutes, nor a walk down line by line.
    QTextCursor cursor = child->textCursor();
    cursor.setPosition(unwrappedLineStart(child->document(), number - 1));
    child->setTextCursor(cursor);
    child->showCursor();
}

void MainWindow::setEncoding()
{
    qDebug() << Q_FUNC_INFO;
    auto* action = qobject_cast<QAction*>(sender());
    int index = -1;
    for (int i = 0; i < EncodingActCount; ++i)
        if (encodingActs[i] == action)
            index = i;
    if (index < 0)
        return;
    if (!action->isChecked()) {
        // The encoding in force was chosen again.
        action->setChecked(true);
        return;
    }
    for (QAction* other : encodingActs)
        if (other)
            other->setChecked(false);
    action->setChecked(true);
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    const QString name = encodingNames().value(index);
    qDebug() << "encoding =" << name;
    if (child->isUntitled) {
        child->setEncoding(name);
        return;
    }
    // A refused or failed reload leaves the document in its old encoding; show that one.
    if (!child->reloadWithEncoding(name))
        updateEncodingActions();
    // The reload changes no signal of the document's; the status bar follows here.
    updateEncodingLabelOnStatusBar(QString());
    updateCharactersCountOnStatusBar();
}

void MainWindow::updateEncodingActions()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    const int gb18030 = 2;
    if (!child) {
        if (encodingActs[gb18030])
            encodingActs[gb18030]->setChecked(true);
        return;
    }
    for (QAction* action : encodingActs)
        if (action)
            action->setChecked(false);
    if (child->encoding == QLatin1String("UTF-8"))
        return;
    int index = encodingNames().indexOf(child->encoding);
    if (index < 0 || index >= EncodingActCount)
        index = gb18030;
    if (encodingActs[index])
        encodingActs[index]->setChecked(true);
}

void MainWindow::lineWrap()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child || !lineWrapAct)
        return;
    child->setWrapping(lineWrapAct->isChecked());
}

void MainWindow::toPlainText()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    child->setPlainText(child->toPlainText());
    // setPlainText marks the document unmodified; the conversion is an unsaved change.
    child->document()->setModified(true);
    toggleSymbol();
}

void MainWindow::highlightCurrentLine()
{
    qDebug() << Q_FUNC_INFO;
    applyCurrentLineHighlight();
    settings.setValue(QStringLiteral("HighlightCurrentLine"), highlightCurrentLineEnabled ? 2 : 0);
}

void MainWindow::highlightCurrentParagraph()
{
    qDebug() << Q_FUNC_INFO;
    applyCurrentLineHighlight();
    settings.setValue(QStringLiteral("HighlightCurrentParagraph"), highlightCurrentParagraphEnabled ? 2 : 0);
}

void MainWindow::applyCurrentLineHighlight()
{
    highlightCurrentLineEnabled = highlightCurrentLineAct && highlightCurrentLineAct->isChecked();
    highlightCurrentParagraphEnabled = highlightCurrentParagraphAct && highlightCurrentParagraphAct->isChecked();
    // Painted now in every open document, not at its next cursor move.
    for (MdiChild* child : findChildren<MdiChild*>())
        child->highlightCurrentLineAndParagraph();
}

void MainWindow::setBlockUserData(const QString& ref, const QModelIndex& index, const QList<int>& positions)
{
    qDebug() << Q_FUNC_INFO << ", ref =" << ref << ", index =" << index << ", positions =" << positions;
    setBlockUserData(new TextBlockUserData);
}

void MainWindow::setBlockUserData(TextBlockUserData* userData)
{
    qDebug() << Q_FUNC_INFO << ", userData =" << userData;
    MdiChild* child = activeMdiChild();
    QTextBlock block = child ? child->textCursor().block() : QTextBlock();
    if (!block.isValid()) {
        qCritical() << "!block.isValid()";
        delete userData;
        return;
    }
    block.setUserData(userData);
}

// ---- Word pop-ups and clipboard history ----------------------------------------

void MainWindow::clipboardDataChanged()
{
    const QString text = QApplication::clipboard()->text(QClipboard::Clipboard);
    // Copied text may be private (the system report holds the environment): log its size only.
    qDebug() << Q_FUNC_INFO << "text length =" << text.size();
    const bool enable = activeMdiChild() && !text.isEmpty();
    if (pasteAct)
        pasteAct->setEnabled(enable);
    if (pasteAsPlainTextAct)
        pasteAsPlainTextAct->setEnabled(enable);
    if (text.isEmpty())
        return;
    clipboardHistory.removeAll(text);
    clipboardHistory.prepend(text);
    while (clipboardHistory.size() > clipboardHistorySize)
        clipboardHistory.removeLast();
}

void MainWindow::pasteFromClipboardHistory()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild())
        child->pasteFromClipboardHistory();
}

void MainWindow::newWordList()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    QObject* from = sender();
    if (!child || !from)
        return;
    int type = 0;
    if (from == synonymListAct)
        type = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
    else if (from == antonymListAct)
        type = TEMPLATE_TYPE_SQLITE_DB_ANTONYM;
    else
        return;
    const int previous = currentTemplateType;
    currentTemplateType = type;
    child->newWordList(QString(), QPoint(0, 0));
    currentTemplateType = previous;
}

void MainWindow::magicLamp()
{
    MdiChild* child = activeMdiChild();
    qDebug() << Q_FUNC_INFO << ", selection =" << (child ? child->textCursor().selectedText() : QString());
    if (!child)
        return;
    currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
    child->magicLamp(QString(), QPoint(0, 0));
}

// ---- What the documents ask of the window --------------------------------------

QList<MdiChild*> MainWindow::documents() const
{
    QList<MdiChild*> children;
    if (mdiArea)
        for (QMdiSubWindow* subWindow : mdiArea->subWindowList())
            if (auto* child = qobject_cast<MdiChild*>(subWindow->widget()))
                children << child;
    return children;
}

void MainWindow::openAtomTemplate(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    openNamedAtomTemplate(name, true, true);
}

void MainWindow::toggleInsertOverwriteMode()
{
    qDebug() << Q_FUNC_INFO;
    bool overwrite = true;
    if (insertOverwriteButton) {
        overwrite = !insertOverwriteButton->property("Overwrite").toBool();
        insertOverwriteButton->setText(overwrite ? QStringLiteral("OVR") : QStringLiteral("INS"));
        insertOverwriteButton->setProperty("Overwrite", overwrite);
    } else if (MdiChild* child = activeMdiChild()) {
        overwrite = !child->overwriteMode();
    }
    if (MdiChild* child = activeMdiChild())
        child->setOverwriteMode(overwrite);
}

// ---- Directory pane and file properties ----------------------------------------

namespace {

// Shows the folder holding path in the desktop's file manager.
void openContainingFolder(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path;
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absolutePath());
    if (!Prompt::current().openUrl(url))
        qWarning() << Q_FUNC_INFO << "the desktop could not open" << url;
}

} // namespace

void MainWindow::fileProperty(const QString& fileName)
{
    // Always the active document; the argument is only logged.
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    FilePropertyDialog dialog(this);
    dialog.setFileName(child->currentFile());
    Prompt::current().execDialog(dialog);
}

void MainWindow::openContainingDirectoryUsingSystemApp()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    // An untitled document has no folder.
    if (!child || child->isUntitled || child->currentFile().isEmpty())
        return;
    openContainingFolder(child->currentFile());
}

void MainWindow::openContainingDirectoryUsingSystemApp4TabWidget()
{
    qDebug() << Q_FUNC_INFO;
    if (!mainTabWidget)
        return;
    const int index = mainTabWidget->property("clickedWidgetIndex").toInt();
    const auto* page = qobject_cast<TemplateDialog*>(mainTabWidget->widget(index));
    if (!page || page->fileName().isEmpty())
        return;
    openContainingFolder(page->fileName());
}

void MainWindow::openContainingDirectoryUsingDirectoryDock()
{
    MdiChild* child = activeMdiChild();
    qDebug() << Q_FUNC_INFO << ", file =" << (child ? child->currentFile() : QString());
    if (!child || child->isUntitled || !dirDock || !dirTreeView || !dirModel)
        return;
    const QModelIndex index = dirModel->index(QFileInfo(child->currentFile()).absolutePath());
    if (!index.isValid())
        return;
    dirDock->show();
    dirDock->raise();
    dirTreeView->setCurrentIndex(index);
    dirTreeView->expand(index);
    dirTreeView->scrollTo(index);
}
