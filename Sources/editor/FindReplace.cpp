#include "FindReplace.h"

#include <QDebug>
#include <QTextBlock>
#include <QVector>

#include "MatchScanner.h"

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

// One step of the search past `at`: one character further in the search's direction.
QTextCursor FindReplace::findAfter(const QTextCursor& at) const
{
    QTextCursor next = at;
    next.clearSelection();
    const bool moved = next.movePosition(m_flags & QTextDocument::FindBackward ? QTextCursor::PreviousCharacter
                                                                              : QTextCursor::NextCharacter);
    return moved ? findFrom(next) : QTextCursor();
}

// An empty match inside a character (between a letter and its accent, say).
static bool insideCharacter(const QTextCursor& hit)
{
    return !hit.isNull() && !hit.hasSelection()
        && !MatchScanner::isCharacterBoundary(hit.block().text(), hit.positionInBlock());
}

// One search from the cursor; a hit becomes the selection. Empty matches stand
// between characters, as MatchScanner counts them: one right where a repeated
// search starts would be found again and again, so that search looks one
// character further on; one inside a character is passed over.
bool FindReplace::search(const QTextCursor& from, bool repeated)
{
    QTextCursor hit = findFrom(from);
    if (repeated && !hit.isNull() && !hit.hasSelection() && !from.hasSelection()
        && hit.position() == from.position())
        hit = findAfter(from);
    // Searching backward from inside the character reaches the matches before it.
    while (insideCharacter(hit))
        hit = m_flags & QTextDocument::FindBackward ? findFrom(hit) : findAfter(hit);
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

// Every match from the start, in one undo step. The matches are those in the
// text when the command starts, each replaced once: searching on behind each
// replacement would see text the replacing made (an expression anchored at a
// line's start matches that line again once the replacement is shorter).
// The editor's cursor stays at the start, where the replacing began: following
// the matches to the last one would make the editor lay out the whole document
// to show it (seconds for a large one).
void FindReplace::replaceAll()
{
    m_flags &= ~QTextDocument::FindBackward;
    QTextCursor start = m_cursor;
    start.movePosition(QTextCursor::Start);
    setCursor(start);
    if (m_options.find.isEmpty())
        return;
    const QVector<Match> found = matches();
    m_replacements = found.size();
    if (!found.isEmpty()) {
        // Replaced from the end, so that earlier positions stay valid; one edit
        // block: one undo step, and the layout is redone once, at its end.
        QTextCursor edit(m_document);
        edit.beginEditBlock();
        for (int i = found.size() - 1; i >= 0; --i) {
            edit.setPosition(found.at(i).start);
            edit.setPosition(found.at(i).end, QTextCursor::KeepAnchor);
            edit.insertText(m_options.replace);
        }
        edit.endEditBlock();
    }
    setCursor(QTextCursor(m_document)); // the start again: text put there moves a cursor on
}

// The matches from the start to the end, left to right, as repeated searches of
// the editor find them. (The editor's own search would place a cursor at every
// match, and a cursor outside an edit lays out its paragraph: seconds for a
// large document.)
QVector<FindReplace::Match> FindReplace::matches() const
{
    QVector<Match> found;
    MatchScanner(m_options.find, m_cs, m_options.regexp).scan(m_document->toRawText(),
                                                              [&found](int start, int end) {
                                                                  found.append({start, end});
                                                              });
    return found;
}
