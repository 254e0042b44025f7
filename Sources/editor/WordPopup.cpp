#include "WordPopup.h"

#include <QAction>
#include <QDebug>
#include <QFontInfo>
#include <QIcon>
#include <QListWidgetItem>
#include <QScrollBar>
#include <QTextCursor>

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
        listWidget->addItem(MdiChild::tr("剪贴板历史为空"));
    } else {
        const QIcon icon(QStringLiteral(":/Images/Clipboard_48x48.png"));
        for (const QString& text : clipboardHistory)
            listWidget->addItem(new QListWidgetItem(icon, text));
    }
    showPopup(QString(), QPoint());
    const int h = listWidget->visualItemRect(listWidget->item(0)).height();
    const int p = popupPointSize(listWidget);
    if (clipboardHistory.isEmpty())
        listWidget->resize(96, int(h * 1.4));
    else
        listWidget->resize(p * 2 * length, int(h * (clipboardHistory.size() + 0.4)));
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
        listWidget->addItem(MdiChild::tr("没有备选条目"));
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
        listWidget->resize(p * 2 * length + 96, int(h * 1.4));
    else
        listWidget->resize(p * 2 * length + 96, int(h * (words.size() + 0.4)));
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
    listWidget->show();
}

void WordPopup::itemActivated(QListWidgetItem* item, QAction* senderAct)
{
    if (!item)
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
        expandedSpan.clear();
        QString name = text;
        name.remove(QLatin1Char('['));
        name.remove(QLatin1Char(']'));
        window->openAtomTemplate(name);
        return;
    }

    if (!anchor.isEmpty()) {
        const QString word = anchor.section(QLatin1Char('#'), 0, 0);
        if (text == word)
            return;
        QString html = m_editor->toHtml();
        if (currentTemplateType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC && !expandedSpan.isEmpty()) {
            // Only the latest expansion stays. Taking the old one out first also
            // keeps a new expansion that happens to equal it.
            html.remove(expandedSpan, Qt::CaseSensitive);
        }
        const int anchorBegin = html.indexOf(anchor, 0, Qt::CaseSensitive);
        if (anchorBegin < 0) {
            qCritical() << "anchorBegin =" << anchorBegin;
            return;
        }
        // The shown word follows the whole link target, which may itself contain the word.
        const int wordBegin = html.indexOf(word, anchorBegin + anchor.size(), Qt::CaseSensitive);
        if (wordBegin < 0) {
            qCritical() << "wordBegin =" << wordBegin;
            return;
        }
        const QString escaped = text.toHtmlEscaped();
        if (currentTemplateType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC) {
            const int expandType = senderAct ? senderAct->property("ExpandType").toInt() : 1;
            const QString span = QStringLiteral("<span style=\" color:#ff0000;\">") + escaped + QStringLiteral("</span>");
            const int linkTagLength = int(qstrlen("<a href=\""));
            const int linkEndLength = int(qstrlen("</span></a>"));
            switch (expandType) {
            case 1:
                html.insert(anchorBegin - linkTagLength, span);
                break;
            case 0:
                html.replace(wordBegin, word.size(), span);
                break;
            case 2:
                html.insert(wordBegin + word.size() + linkEndLength, span);
                break;
            default:
                break;
            }
            expandedSpan = span;
        } else {
            html.replace(wordBegin, word.size(), escaped);
            const QString oldAnchor = anchor;
            anchor.replace(word, text);
            html.replace(oldAnchor, anchor.toHtmlEscaped());
        }
        const int horizontal = m_editor->horizontalScrollBar()->value();
        const int vertical = m_editor->verticalScrollBar()->value();
        m_editor->setHtml(html);
        // setHtml marks the document unmodified; the choice is an unsaved change.
        m_editor->document()->setModified(true);
        m_editor->horizontalScrollBar()->setValue(horizontal);
        m_editor->verticalScrollBar()->setValue(vertical);
        return;
    }

    QTextCursor cursor = m_editor->textCursor();
    if (!cursor.hasSelection()) {
        cursor.insertText(text);
        m_editor->setTextCursor(cursor);
        listWidget->hide();
        return;
    }
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    cursor.setPosition(start);
    cursor.setPosition(start + text.size(), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}
