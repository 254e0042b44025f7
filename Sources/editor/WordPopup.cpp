#include "WordPopup.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDebug>
#include <QFontInfo>
#include <QIcon>
#include <QListWidgetItem>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QVector>

#include "ContextListWidget.h"
#include "DocumentHost.h"
#include "Embellish.h"
#include "MarkFormat.h"
#include "MdiChild.h"
#include "SharedCodes.h"

WordPopup::WordPopup(MdiChild* editor)
    : m_editor(editor)
    , listWidget(editor->listWidget)
    , anchor(editor->anchor)
    , tryAnchor(editor->tryAnchor)
    , expandedSpan(editor->expandedSpan)
{
}

namespace {

// The point size used to size the pop-up: row 0's font, else the default font.
int popupPointSize(const QListWidget* list)
{
    const QVariant role = list->count() > 0 ? list->item(0)->data(Qt::FontRole) : QVariant();
    const QFont font = role.isValid() ? role.value<QFont>() : QFont();
    return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
}

int longestLength(const QStringList& texts)
{
    int length = 0;
    for (const QString& text : texts)
        length = qMax(length, text.size());
    return length;
}

// The spelling run over black and white lists asks its hover lists from the black list.
const int blackWhiteListSpellingType = 34;

// One run of text linking to a target, with the format of its first piece.
struct LinkRange
{
    int start = -1;
    int end = -1;
    QString text;
    QTextCharFormat format;
};

// The runs of text whose link target is href, in document order.
QVector<LinkRange> linkRanges(const QTextDocument* document, const QString& href)
{
    QVector<LinkRange> ranges;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() || format.anchorHref() != href)
                continue;
            if (!ranges.isEmpty() && ranges.last().end == fragment.position()) {
                ranges.last().end += fragment.length();
                ranges.last().text += fragment.text();
            } else {
                ranges.append({fragment.position(), fragment.position() + fragment.length(), fragment.text(), format});
            }
        }
    }
    return ranges;
}

} // namespace

QStringList clipboardHistory;
const int clipboardHistorySize = 10;

// Where in its mark the word to replace or expand stands: the run of the mark
// that holds it and the word's own place.
struct WordPopup::WordInMark
{
    LinkRange link;
    int start = -1;
    int end = -1;
};

bool WordPopup::hover(const QPoint& pos)
{
    // Shared by all documents: the word whose list was shown last.
    static QString lastHoverWord;
    tryAnchor = markAt(pos);
    if (tryAnchor.isEmpty()) {
        listWidget->hide();
        return false;
    }
    if (currentTemplateType != TEMPLATE_TYPE_TQW_FILE_ATOM_TOC)
        anchor = tryAnchor;
    const QString word = tryAnchor.section(QLatin1Char('#'), 0, 0);
    if (word == lastHoverWord && listWidget->isVisible())
        return true;
    lastHoverWord = word;
    if (word.isEmpty() || currentTemplateType == TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD
        || currentTemplateType == TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD)
        return false;
    // Below the word's line, the word and the text around it in sight and
    // open to a click; from the word's start, so that a move straight down
    // reaches it.
    const int position = characterAt(pos);
    const QRect line = position >= 0 ? lineOf(position) : QRect(0, pos.y(), 1, 1);
    const int left = position >= 0 ? qMin(markLeft(position, line), pos.x()) : pos.x();
    hoverLine = QRect(m_editor->viewport()->mapTo(m_editor, line.topLeft()), line.size());
    hoverPointer = m_editor->viewport()->mapToGlobal(pos);
    showWordList(word, QPoint(left, line.bottom() + 1), Opening::Hover);
    return false;
}

int WordPopup::characterAt(const QPoint& pos) const
{
    const QPointF inDocument(pos.x() + m_editor->horizontalScrollBar()->value(),
                             pos.y() + m_editor->verticalScrollBar()->value());
    return m_editor->document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
}

QString WordPopup::markAt(const QPoint& pos) const
{
    // As anchorAt finds the link there, for a mark only.
    const QPointF inDocument(pos.x() + m_editor->horizontalScrollBar()->value(),
                             pos.y() + m_editor->verticalScrollBar()->value());
    const QTextCharFormat format = m_editor->document()->documentLayout()->formatAt(inDocument).toCharFormat();
    return MarkFormat::isMark(format) ? format.anchorHref() : QString();
}

QRect WordPopup::lineOf(int position) const
{
    QTextCursor lineStart(m_editor->document());
    lineStart.setPosition(position);
    const QTextBlock block = lineStart.block();
    // From the line's start: the end of a wrapped line counts as the next one's start.
    if (const QTextLayout* layout = block.layout()) {
        const QTextLine line = layout->lineForTextPosition(position - block.position());
        if (line.isValid())
            lineStart.setPosition(block.position() + line.textStart());
    }
    const QRect rect = m_editor->cursorRect(lineStart);
    return QRect(0, rect.top(), m_editor->viewport()->width(), rect.height());
}

int WordPopup::markLeft(int position, const QRect& line) const
{
    QTextCursor start(m_editor->document());
    start.setPosition(position);
    const int blockStart = start.block().position();
    // Back over the mark's characters on this line (a word is short; the walk
    // stops in a long mark anyway).
    QTextCursor before(start);
    for (int steps = 0; steps < 256 && start.position() > blockStart; ++steps) {
        before.setPosition(start.position() - 1);
        // Not where the mark goes on from the line above.
        if (m_editor->cursorRect(before).top() != line.top())
            break;
        before.setPosition(start.position(), QTextCursor::KeepAnchor);
        if (before.charFormat().anchorHref() != tryAnchor)
            break;
        start.setPosition(start.position() - 1);
    }
    return m_editor->cursorRect(start).left();
}

void WordPopup::showPopup(const QString& word, const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ", word =" << word << ", pos =" << pos;
    // Cursor rectangles and mouse positions are in viewport coordinates; the list lives on the editor.
    const QPoint at = word.isNull() ? m_editor->cursorRect().center() : pos;
    listWidget->move(m_editor->viewport()->mapTo(m_editor, at));
    listWidget->setCurrentRow(0);
}

void WordPopup::openPopup(Opening opening)
{
    if (opening == Opening::Hover) {
        listWidget->setKeepClear(hoverLine);
        listWidget->open(ContextListWidget::Keyboard::Wait, hoverPointer);
    } else {
        listWidget->setKeepClear(QRect());
        listWidget->open(ContextListWidget::Keyboard::Take);
    }
}

QStringList WordPopup::lookUpWords(const QString& word, int type) const
{
    qDebug() << Q_FUNC_INFO << ", word =" << word << ", type =" << type;
    DocumentHost* window = m_editor->anyHost();
    Embellish* engine = window ? window->wordEngine() : nullptr;
    if (!engine || word.isEmpty())
        return QStringList();
    const QStringList words = engine->getNewWordList(word, uint(type), true);
    // Synonym lists start with the word itself; that alone offers nothing to choose.
    if (words.size() == 1 && words.first() == word)
        return QStringList();
    return words;
}

void WordPopup::pasteFromClipboardHistory()
{
    qDebug() << Q_FUNC_INFO;
    listWidget->clear();
    const int length = qMin(longestLength(clipboardHistory), 40);
    if (clipboardHistory.isEmpty()) {
        listWidget->addPlaceholder(MdiChild::tr("剪贴板历史为空"));
    } else {
        const QIcon icon(QStringLiteral(":/Images/Clipboard_48x48.png"));
        // A row shows the start of its text; laying out megabytes would stall the window.
        for (const QString& text : clipboardHistory)
            listWidget->addLongText(icon, text);
    }
    showPopup(QString(), QPoint());
    const int h = listWidget->visualItemRect(listWidget->item(0)).height();
    const int p = popupPointSize(listWidget);
    // The empty history's row is shown whole, wider than 96 pixels where it must be.
    if (clipboardHistory.isEmpty())
        listWidget->resize(qMax(96, listWidget->widthToShow(0)), int(h * 1.4));
    else
        listWidget->resize(p * 2 * length, int(h * (clipboardHistory.size() + 0.4)));
    openPopup(Opening::Command);
}

void WordPopup::newWordList(const QString& word, const QPoint& pos)
{
    showWordList(word, pos, Opening::Command);
}

void WordPopup::showWordList(const QString& word, const QPoint& pos, Opening opening)
{
    qDebug() << "void MdiChild::newWordList(const QString&, const QPoint&)"
             << ": word =" << word << ", pos =" << pos;
    listWidget->clear();
    const int type = currentTemplateType;
    QStringList words;
    if (word.isNull()) {
        words = lookUpWords(m_editor->textCursor().selectedText(), type);
    } else {
        words = lookUpWords(word, type == blackWhiteListSpellingType ? int(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST)
                                                                     : type);
        if (type == blackWhiteListSpellingType && words.isEmpty()) {
            listWidget->hide();
            return;
        }
    }
    const int length = longestLength(words);
    words.removeDuplicates();
    if (words.isEmpty()) {
        if (type == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC) {
            listWidget->hide();
            return;
        }
        listWidget->addPlaceholder(MdiChild::tr("没有备选条目"));
    } else {
        QIcon icon;
        if (type == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC)
            icon = QIcon(QStringLiteral(":/Images/Expand_512x512.png"));
        else if (type == TEMPLATE_TYPE_SQLITE_DB_SYNONYM)
            icon = QIcon(QStringLiteral(":/Images/Synonym_96x96.png"));
        else if (type == TEMPLATE_TYPE_SQLITE_DB_ANTONYM)
            icon = QIcon(QStringLiteral(":/Images/Antonym_96x96.png"));
        for (const QString& entry : words)
            listWidget->addItem(new QListWidgetItem(icon, entry));
    }
    showPopup(word, pos);
    const int h = listWidget->visualItemRect(listWidget->item(0)).height();
    const int p = popupPointSize(listWidget);
    if (words.isEmpty())
        listWidget->resize(qMax(p * 2 * length + 96, listWidget->widthToShow(0)), int(h * 1.4));
    else
        listWidget->resize(p * 2 * length + 96, int(h * (words.size() + 0.4)));
    openPopup(opening);
}

void WordPopup::magicLamp(const QString& word, const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ": word =" << word << ", pos =" << pos;
    listWidget->clear();
    const QString subject = word.isNull() ? m_editor->textCursor().selectedText() : word;
    QStringList words = lookUpWords(subject, currentTemplateType);
    words.removeDuplicates();
    if (words.isEmpty()) {
        const QStringList prompts = {MdiChild::tr(" 相关的人物"), MdiChild::tr(" 相关的行为"), MdiChild::tr(" 相关的动作"), MdiChild::tr(" 相关的动物"),
                                     MdiChild::tr(" 相关的道具"), MdiChild::tr(" 相关的名言"), MdiChild::tr(" 相关的形容词"), MdiChild::tr(" 相关的近义词")};
        for (const QString& prompt : prompts)
            listWidget->addItem(subject + prompt);
    } else {
        listWidget->addItems(words);
    }
    showPopup(word, pos);
    openPopup(Opening::Command);
}

// Edited since, or taken back by Undo: no longer ours to remove.
bool WordPopup::expansionIsIntact() const
{
    const QTextCursor& span = expandedSpan.span;
    return !span.isNull() && span.hasSelection() && span.selectedText() == expandedSpan.text;
}

void WordPopup::removeExpansion(QTextCursor& edit)
{
    const QTextCursor& span = expandedSpan.span;
    if (expansionIsIntact()) {
        edit.setPosition(span.selectionStart());
        edit.setPosition(span.selectionEnd(), QTextCursor::KeepAnchor);
        if (expandedSpan.replaced.isEmpty())
            edit.removeSelectedText();
        else
            edit.insertText(expandedSpan.replaced, expandedSpan.replacedFormat);
    }
    expandedSpan = AtomExpansion();
}

void WordPopup::itemActivated(QListWidgetItem* item, QAction* senderAct)
{
    // A row that says there is nothing to choose puts nothing into the text.
    if (!ContextListWidget::isChoosable(item)) {
        listWidget->hide();
        return;
    }
    // A clipboard text may be long: the log gets the row's start of it.
    qDebug() << Q_FUNC_INFO << ", item->text() =" << item->text() << ", anchor =" << anchor << ", tryAnchor =" << tryAnchor
             << ", listWidget->isVisible() =" << (listWidget->isVisible() ? "true" : "false");
    const QString text = ContextListWidget::fullText(item);
    if (currentTemplateType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC && listWidget->isVisible())
        openAtomTemplate(text);
    else if (!anchor.isEmpty())
        chooseForMark(text, senderAct);
    else
        insertAtCursor(text);
}

// An entry of an atom table of contents opens the atom's template.
void WordPopup::openAtomTemplate(const QString& text)
{
    if (!text.startsWith(QLatin1Char('[')))
        return;
    DocumentHost* window = m_editor->anyHost();
    if (!window)
        return;
    anchor = tryAnchor;
    expandedSpan = AtomExpansion();
    QString name = text;
    name.remove(QLatin1Char('['));
    name.remove(QLatin1Char(']'));
    // The template's tab takes the focus from here.
    listWidget->hide();
    window->openAtomTemplate(name);
}

// The choice is edited into the text where the mark stands, as one step that
// Undo takes back; the marks, links and history of the document stay as they
// were. Only the mark's own text changes: a mark that no longer holds its word
// (edited by hand since) is left as it is.
void WordPopup::chooseForMark(const QString& text, const QAction* senderAct)
{
    const QString word = anchor.section(QLatin1Char('#'), 0, 0);
    listWidget->hide();
    if (text == word)
        return;
    QTextDocument* document = m_editor->document();
    if (linkRanges(document, anchor).isEmpty()) {
        qCritical() << "anchorBegin =" << -1;
        return;
    }
    const bool expanding = currentTemplateType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
    if (!markHoldsWord(word, expanding)) {
        qCritical() << "wordBegin =" << -1;
        return;
    }
    const int horizontal = m_editor->horizontalScrollBar()->value();
    const int vertical = m_editor->verticalScrollBar()->value();
    QTextCursor edit(document);
    edit.beginEditBlock();
    // Only the latest expansion stays. Taking the old one out first also
    // keeps a new expansion that happens to equal it.
    if (expanding)
        removeExpansion(edit);
    const WordInMark at = findWordInMark(word);
    if (at.start < 0)
        qCritical() << "wordBegin =" << -1;
    else if (expanding)
        expandAtMark(edit, at, text, senderAct ? senderAct->property("ExpandType").toInt() : 1);
    else
        replaceInMark(edit, at, text);
    edit.endEditBlock();
    m_editor->horizontalScrollBar()->setValue(horizontal);
    m_editor->verticalScrollBar()->setValue(vertical);
}

WordPopup::WordInMark WordPopup::findWordInMark(const QString& word) const
{
    for (const LinkRange& link : linkRanges(m_editor->document(), anchor)) {
        const int offset = link.text.indexOf(word);
        if (offset >= 0)
            return {link, link.start + offset, link.start + offset + int(word.size())};
    }
    return WordInMark();
}

bool WordPopup::markHoldsWord(const QString& word, bool expanding) const
{
    // An expansion in the word's place gives the word back as it is taken out.
    const bool intact = expanding && expansionIsIntact();
    const int spanStart = intact ? expandedSpan.span.selectionStart() : -1;
    const int spanEnd = intact ? expandedSpan.span.selectionEnd() : -1;
    for (const LinkRange& link : linkRanges(m_editor->document(), anchor)) {
        QString text = link.text;
        if (intact && spanStart >= link.start && spanEnd <= link.end)
            text.replace(spanStart - link.start, spanEnd - spanStart, expandedSpan.replaced);
        if (text.contains(word))
            return true;
    }
    return false;
}

// The entry goes in red before the mark (expand type 1), in the word's place
// (0) or after the mark (2); other types put nothing in.
void WordPopup::expandAtMark(QTextCursor& edit, const WordInMark& at, const QString& text, int expandType)
{
    QTextCharFormat wordFormat = at.link.format;
    QTextCharFormat red;
    red.setForeground(QColor(0xFF, 0, 0));
    int where = -1;
    switch (expandType) {
    case 1:
        where = at.link.start;
        break;
    case 0:
        expandedSpan.replacedFormat = wordFormat;
        wordFormat.setForeground(red.foreground());
        red = wordFormat;
        where = at.start;
        edit.setPosition(at.start);
        edit.setPosition(at.end, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
        break;
    case 2:
        where = at.link.end;
        break;
    default:
        return;
    }
    edit.setPosition(where);
    edit.insertText(text, red);
    const QTextCharFormat replacedFormat = expandedSpan.replacedFormat;
    expandedSpan.span = QTextCursor(m_editor->document());
    expandedSpan.span.setPosition(where);
    expandedSpan.span.setPosition(where + text.size(), QTextCursor::KeepAnchor);
    expandedSpan.text = text;
    expandedSpan.replaced = expandType == 0 ? anchor.section(QLatin1Char('#'), 0, 0) : QString();
    expandedSpan.replacedFormat = replacedFormat;
}

// The word in the mark becomes the entry, and the mark's target names the
// entry from now on.
void WordPopup::replaceInMark(QTextCursor& edit, const WordInMark& at, const QString& text)
{
    const QString oldAnchor = anchor;
    anchor.replace(oldAnchor.section(QLatin1Char('#'), 0, 0), text);
    QTextCharFormat wordFormat = at.link.format;
    wordFormat.setAnchorHref(anchor);
    edit.setPosition(at.start);
    edit.setPosition(at.end, QTextCursor::KeepAnchor);
    edit.insertText(text, wordFormat);
    if (anchor == oldAnchor)
        return;
    // Whatever else of the mark there is names the chosen word as well.
    QTextCharFormat target;
    target.setAnchorHref(anchor);
    for (const LinkRange& rest : linkRanges(m_editor->document(), oldAnchor)) {
        edit.setPosition(rest.start);
        edit.setPosition(rest.end, QTextCursor::KeepAnchor);
        edit.mergeCharFormat(target);
    }
}

// Without a selection the entry goes in at the cursor; over a selection it
// takes its place and stays selected, so the list opened again replaces it again.
void WordPopup::insertAtCursor(const QString& text)
{
    listWidget->hide();
    QTextCursor cursor = m_editor->textCursor();
    if (!cursor.hasSelection()) {
        cursor.insertText(text);
        m_editor->setTextCursor(cursor);
        return;
    }
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    cursor.setPosition(start);
    cursor.setPosition(start + text.size(), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}
