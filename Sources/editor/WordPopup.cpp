#include "WordPopup.h"

#include <QAction>
#include <QDebug>
#include <QFontInfo>
#include <QIcon>
#include <QListWidgetItem>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ContextListWidget.h"
#include "DocumentHost.h"
#include "Embellish.h"
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

struct LinkRange
{
    int start = -1;
    int end = -1;
    QTextCharFormat format;
};

// The first run of text whose link target is href, or a start of -1.
LinkRange linkRange(const QTextDocument* document, const QString& href)
{
    LinkRange range;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isAnchor() && format.anchorHref() == href) {
                if (range.start < 0) {
                    range.start = fragment.position();
                    range.format = format;
                }
                range.end = fragment.position() + fragment.length();
            } else if (range.start >= 0) {
                return range;
            }
        }
        if (range.start >= 0)
            return range;
    }
    return range;
}

} // namespace

QStringList clipboardHistory;
const int clipboardHistorySize = 10;

bool WordPopup::hover(const QPoint& pos)
{
    // Shared by all documents: the word whose list was shown last.
    static QString lastHoverWord;
    tryAnchor = m_editor->anchorAt(pos);
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
    if (!word.isEmpty() && currentTemplateType != TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD
        && currentTemplateType != TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD)
        newWordList(word, pos);
    return false;
}

void WordPopup::showPopup(const QString& word, const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ", word =" << word << ", pos =" << pos;
    // Cursor rectangles and mouse positions are in viewport coordinates; the list lives on the editor.
    const QPoint at = word.isNull() ? m_editor->cursorRect().center() : pos;
    listWidget->move(m_editor->viewport()->mapTo(m_editor, at));
    listWidget->setFocus(Qt::ActiveWindowFocusReason);
    listWidget->setFocus(Qt::OtherFocusReason);
    listWidget->setCurrentRow(0);
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
        for (const QString& text : clipboardHistory)
            listWidget->addItem(new QListWidgetItem(icon, text));
    }
    showPopup(QString(), QPoint());
    const int h = listWidget->visualItemRect(listWidget->item(0)).height();
    const int p = popupPointSize(listWidget);
    // The empty history's row is shown whole, wider than 96 pixels where it must be.
    if (clipboardHistory.isEmpty())
        listWidget->resize(qMax(96, listWidget->widthToShow(0)), int(h * 1.4));
    else
        listWidget->resize(p * 2 * length, int(h * (clipboardHistory.size() + 0.4)));
    listWidget->keepInside();
    listWidget->show();
}

void WordPopup::newWordList(const QString& word, const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ": word =" << word << ", pos =" << pos;
    listWidget->clear();
    const int type = currentTemplateType;
    QStringList words;
    if (word.isNull()) {
        words = lookUpWords(m_editor->textCursor().selectedText(), type);
    } else {
        words = lookUpWords(word, type == blackWhiteListSpellingType ? int(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST)
                                                                     : type);
        if (type == blackWhiteListSpellingType && words.isEmpty())
            return;
    }
    const int length = longestLength(words);
    words.removeDuplicates();
    if (words.isEmpty()) {
        if (type == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC)
            return;
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
    listWidget->keepInside();
    listWidget->show();
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
    listWidget->keepInside();
    listWidget->show();
}

void WordPopup::removeExpansion(QTextCursor& edit)
{
    QTextCursor& span = expandedSpan.span;
    // Edited since, or taken back by Undo: no longer ours to remove.
    if (!span.isNull() && span.hasSelection() && span.selectedText() == expandedSpan.text) {
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
    if (!ContextListWidget::isChoosable(item))
        return;
    const QString text = item->text();
    qDebug() << Q_FUNC_INFO << ", item->text() =" << text << ", anchor =" << anchor << ", tryAnchor =" << tryAnchor
             << ", listWidget->isVisible() =" << (listWidget->isVisible() ? "true" : "false");

    if (currentTemplateType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC && listWidget->isVisible()) {
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
        return;
    }

    if (!anchor.isEmpty()) {
        const QString word = anchor.section(QLatin1Char('#'), 0, 0);
        listWidget->hide();
        if (text == word)
            return;
        // The choice is edited into the text where it stands, as one step that Undo
        // takes back; the marks, links and history of the document stay as they were.
        QTextDocument* document = m_editor->document();
        if (linkRange(document, anchor).start < 0) {
            qCritical() << "anchorBegin =" << -1;
            return;
        }
        const int horizontal = m_editor->horizontalScrollBar()->value();
        const int vertical = m_editor->verticalScrollBar()->value();
        QTextCursor edit(document);
        edit.beginEditBlock();
        const bool expanding = currentTemplateType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
        // Only the latest expansion stays. Taking the old one out first also
        // keeps a new expansion that happens to equal it.
        if (expanding)
            removeExpansion(edit);
        const LinkRange link = linkRange(document, anchor);
        // The shown word follows the start of the link, normally as the link's own text.
        const QTextCursor found = document->find(word, qMax(link.start, 0), QTextDocument::FindCaseSensitively);
        if (link.start < 0 || found.isNull()) {
            qCritical() << "wordBegin =" << -1;
            edit.endEditBlock();
            return;
        }
        QTextCharFormat wordFormat = found.selectionEnd() <= link.end ? link.format : found.charFormat();
        if (expanding) {
            const int expandType = senderAct ? senderAct->property("ExpandType").toInt() : 1;
            QTextCharFormat red;
            red.setForeground(QColor(0xFF, 0, 0));
            int at = -1;
            switch (expandType) {
            case 1:
                at = link.start;
                break;
            case 0:
                expandedSpan.replacedFormat = wordFormat;
                wordFormat.setForeground(red.foreground());
                red = wordFormat;
                at = found.selectionStart();
                edit.setPosition(found.selectionStart());
                edit.setPosition(found.selectionEnd(), QTextCursor::KeepAnchor);
                edit.removeSelectedText();
                break;
            case 2:
                at = found.selectionEnd() <= link.end ? link.end : found.selectionEnd();
                break;
            default:
                break;
            }
            if (at >= 0) {
                edit.setPosition(at);
                edit.insertText(text, red);
                const QTextCharFormat replacedFormat = expandedSpan.replacedFormat;
                expandedSpan.span = QTextCursor(document);
                expandedSpan.span.setPosition(at);
                expandedSpan.span.setPosition(at + text.size(), QTextCursor::KeepAnchor);
                expandedSpan.text = text;
                expandedSpan.replaced = expandType == 0 ? word : QString();
                expandedSpan.replacedFormat = replacedFormat;
            }
        } else {
            const QString oldAnchor = anchor;
            anchor.replace(word, text);
            wordFormat.setAnchorHref(anchor);
            edit.setPosition(found.selectionStart());
            edit.setPosition(found.selectionEnd(), QTextCursor::KeepAnchor);
            edit.insertText(text, wordFormat);
            // Whatever else of the link there is names the chosen word as well.
            for (LinkRange rest = linkRange(document, oldAnchor); anchor != oldAnchor && rest.start >= 0;
                 rest = linkRange(document, oldAnchor)) {
                QTextCharFormat target;
                target.setAnchorHref(anchor);
                edit.setPosition(rest.start);
                edit.setPosition(rest.end, QTextCursor::KeepAnchor);
                edit.mergeCharFormat(target);
            }
        }
        edit.endEditBlock();
        m_editor->horizontalScrollBar()->setValue(horizontal);
        m_editor->verticalScrollBar()->setValue(vertical);
        return;
    }

    listWidget->hide();
    QTextCursor cursor = m_editor->textCursor();
    if (!cursor.hasSelection()) {
        cursor.insertText(text);
        m_editor->setTextCursor(cursor);
        return;
    }
    // The choice stays selected: the list opened again replaces it again.
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    cursor.setPosition(start);
    cursor.setPosition(start + text.size(), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}
