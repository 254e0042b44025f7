#include "FindReplace.h"

#include <QDebug>
#include <QVector>

FindReplace::FindReplace(QTextDocument* document, const Options& options)
    : m_document(document)
    , m_options(options)
    , m_cs(options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive)
    , m_expression(options.find, m_cs, QRegExp::RegExp2)
{
    qDebug() << Q_FUNC_INFO << ", find =" << options.find << ", replace =" << options.replace
             << ", backward =" << options.backward << ", caseSensitive =" << options.caseSensitive
             << ", wrapAround =" << options.wrapAround << ", regexp =" << options.regexp;
    if (options.backward)
        m_flags |= QTextDocument::FindBackward;
    if (options.caseSensitive)
        m_flags |= QTextDocument::FindCaseSensitively;
}

void FindReplace::setCursor(const QTextCursor& cursor)
{
    m_cursor = cursor;
    m_cursorChanged = true;
}

QTextCursor FindReplace::findFrom(const QTextCursor& at) const
{
    return m_options.regexp ? m_document->find(m_expression, at, m_flags)
                            : m_document->find(m_options.find, at, m_flags);
}

// One search from the cursor; a hit becomes the selection. An empty match right
// where a repeated search starts would be found again and again, so that search
// looks one character further on.
bool FindReplace::search(const QTextCursor& from, bool repeated)
{
    QTextCursor hit = findFrom(from);
    if (repeated && !hit.isNull() && !hit.hasSelection() && !from.hasSelection()
        && hit.position() == from.position()) {
        QTextCursor next = from;
        const bool moved = next.movePosition(m_flags & QTextDocument::FindBackward ? QTextCursor::PreviousCharacter
                                                                                    : QTextCursor::NextCharacter);
        hit = moved ? findFrom(next) : QTextCursor();
    }
    if (!hit.isNull())
        setCursor(hit);
    return !hit.isNull();
}

bool FindReplace::selectionMatches() const
{
    const QString selected = m_cursor.selectedText();
    if (m_options.regexp)
        return m_expression.exactMatch(selected);
    return selected.compare(m_options.find, m_cs) == 0;
}

bool FindReplace::run(const QTextCursor& from, bool replace, bool replaceAll)
{
    qDebug() << Q_FUNC_INFO << ", replace =" << replace << ", replaceAll =" << replaceAll;
    m_cursor = from;
    m_cursorChanged = false;
    m_notFound = false;
    m_replacements = 0;
    const QString& strFind = m_options.find;
    const QString& strReplace = m_options.replace;

    if (replaceAll) {
        this->replaceAll();
        return false;
    }

    bool found = false;
    bool searched = false;
    if (!replace) {
        searched = true;
        found = search(m_cursor, true);
    } else if (selectionMatches() && m_cursor.hasSelection()) {
        QTextCursor(m_cursor).insertText(strReplace);
    }
    if (found)
        return true;
    QTextCursor restart = m_cursor;
    if (m_options.wrapAround) {
        restart.movePosition(m_flags & QTextDocument::FindBackward ? QTextCursor::End : QTextCursor::Start);
        if (search(restart, false))
            return true;
        searched = true;
    } else if (replace) {
        // Offer the next match without wrapping, quietly.
        if (!strFind.isEmpty() && search(restart, true))
            return true;
        return false;
    }
    m_notFound = searched;
    return false;
}

// Every match from the start, in one undo step. The editor's cursor stays at the
// start, where the replacing began: following the matches to the last one would
// make the editor lay out the whole document to show it (seconds for a large one).
void FindReplace::replaceAll()
{
    const QString& strFind = m_options.find;
    const QString& strReplace = m_options.replace;
    m_flags &= ~QTextDocument::FindBackward;
    QTextCursor start = m_cursor;
    start.movePosition(QTextCursor::Start);
    setCursor(start);
    if (strFind.isEmpty())
        return;
    if (!m_options.regexp && replacePlainText()) {
        setCursor(QTextCursor(m_document)); // the start again: text put there moves a cursor on
        return;
    }
    // One undo step, and one relayout instead of one per replacement.
    QTextCursor edit(m_document);
    edit.beginEditBlock();
    QTextCursor from = start;
    int lastEmptyMatch = -1;
    for (;;) {
        const QTextCursor hit = findFrom(from);
        if (hit.isNull())
            break;
        QTextCursor target = hit;
        if (!target.hasSelection()) {
            // An empty match does not move the search on: replace it once, then step
            // one character further, or stop at the end.
            if (target.position() == lastEmptyMatch) {
                if (target.atEnd())
                    break;
                from = target;
                from.movePosition(QTextCursor::NextCharacter);
                continue;
            }
        }
        const bool empty = !target.hasSelection();
        target.insertText(strReplace);
        ++m_replacements;
        if (empty)
            lastEmptyMatch = target.position();
        from = target;
    }
    edit.endEditBlock();
    setCursor(QTextCursor(m_document));
}

// Plain text: the same left-to-right, non-overlapping matches that repeated
// searches give, found in one pass over the text and replaced from the end so
// that earlier positions stay valid. The raw text's indexes are document
// positions; the search sees no-break spaces as spaces. False when the text to
// find spans paragraphs, which the general loop handles.
bool FindReplace::replacePlainText()
{
    const QString& strFind = m_options.find;
    const QString& strReplace = m_options.replace;
    if (strFind.contains(QChar::ParagraphSeparator) || strFind.contains(QLatin1Char('\n')))
        return false;
    QString raw = m_document->toRawText();
    raw.replace(QChar::Nbsp, QLatin1Char(' '));
    QVector<int> starts;
    for (int at = raw.indexOf(strFind, 0, m_cs); at >= 0; at = raw.indexOf(strFind, at + strFind.size(), m_cs))
        starts << at;
    m_replacements = starts.size();
    if (starts.isEmpty())
        return true;
    // One edit block: one undo step, and the layout is redone once, at its end.
    QTextCursor edit(m_document);
    edit.beginEditBlock();
    for (int i = starts.size() - 1; i >= 0; --i) {
        edit.setPosition(starts.at(i));
        edit.setPosition(starts.at(i) + strFind.size(), QTextCursor::KeepAnchor);
        edit.insertText(strReplace);
    }
    edit.endEditBlock();
    return true;
}
