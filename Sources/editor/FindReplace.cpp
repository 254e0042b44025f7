#include "FindReplace.h"

#include <QDebug>
#include <QTextBlock>
#include <QVector>

FindReplace::FindReplace(QTextDocument* document, const Options& options)
    : m_document(document)
    , m_options(options)
    , m_cs(options.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive)
    , m_scanner(options.find, m_cs, options.regexp)
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

// The next match of the expression from `at` in the search's direction: the
// matches a count counts, one after another, forward from the selection's end or
// backward from its start. With `passEmpty` an empty match right at that place
// is passed over: it is where the last search or replacement ended.
QTextCursor FindReplace::findExpression(const QTextCursor& at, bool passEmpty)
{
    const bool backward = m_flags & QTextDocument::FindBackward;
    const int position = backward ? at.selectionStart() : at.selectionEnd();
    QTextBlock block = m_document->findBlock(position);
    int offset = position - block.position();
    bool first = true;
    for (; block.isValid(); block = backward ? block.previous() : block.next()) {
        const QString text = block.text();
        const bool here = first && passEmpty;
        if (!first)
            offset = backward ? text.size() : 0;
        first = false;
        const MatchScanner::Match match = backward ? m_scanner.previous(text, offset, !here)
                                                   : m_scanner.next(text, offset, !here);
        if (match.gaveUp) {
            // What lies beyond cannot be told: a match there must not be passed over.
            m_tooComplex = true;
            return QTextCursor();
        }
        if (match.found()) {
            QTextCursor hit(m_document);
            hit.setPosition(block.position() + match.start);
            hit.setPosition(block.position() + match.end, QTextCursor::KeepAnchor);
            return hit;
        }
    }
    return QTextCursor();
}

// One search from the cursor; a hit becomes the selection.
bool FindReplace::search(const QTextCursor& from, bool passEmpty)
{
    const QTextCursor hit = m_options.regexp ? findExpression(from, passEmpty)
                                             : m_document->find(m_options.find, from, m_flags);
    if (!hit.isNull())
        setCursor(hit);
    return !hit.isNull();
}

// Plain text: the selected text is the find text. An expression: the selection
// (perhaps empty, where the expression matches the empty text) is the match a
// search from its start finds in its paragraph.
bool FindReplace::selectionMatches()
{
    if (!m_options.regexp)
        return m_cursor.hasSelection() && m_cursor.selectedText().compare(m_options.find, m_cs) == 0;
    const QTextBlock block = m_document->findBlock(m_cursor.selectionStart());
    const int start = m_cursor.selectionStart() - block.position();
    const int end = m_cursor.selectionEnd() - block.position();
    if (end >= block.length())
        return false;
    const MatchScanner::Match match = m_scanner.next(block.text(), start);
    if (match.gaveUp)
        m_tooComplex = true;
    return match.start == start && match.end == end;
}

// Replaces the selected match and leaves the cursor behind the replacement (in
// front of it when searching backward), so that the next search never looks into
// the text put there. True when the empty match at the cursor is to be passed
// over: the match just replaced, or one that was not there before.
bool FindReplace::replaceSelection()
{
    const bool wasEmpty = !m_cursor.hasSelection();
    QTextCursor edit(m_cursor);
    const int start = edit.selectionStart();
    edit.insertText(m_options.replace);
    const bool backward = m_flags & QTextDocument::FindBackward;
    if (backward)
        edit.setPosition(start);
    m_cursor = edit;
    return wasEmpty || backward;
}

bool FindReplace::run(const QTextCursor& from, bool replace, bool replaceAll)
{
    qDebug() << Q_FUNC_INFO << ", replace =" << replace << ", replaceAll =" << replaceAll;
    m_cursor = from;
    m_cursorChanged = false;
    m_notFound = false;
    m_tooComplex = false;
    m_replacements = 0;

    if (replaceAll) {
        this->replaceAll();
        return false;
    }

    bool searched = false;
    bool passEmpty = !m_cursor.hasSelection();
    if (!replace) {
        searched = true;
        if (search(m_cursor, passEmpty))
            return true;
    } else if (selectionMatches()) {
        passEmpty = replaceSelection();
    }
    if (m_tooComplex)
        return false;
    QTextCursor restart = m_cursor;
    if (m_options.wrapAround) {
        restart.movePosition(m_flags & QTextDocument::FindBackward ? QTextCursor::End : QTextCursor::Start);
        if (search(restart, false))
            return true;
        searched = !m_tooComplex;
    } else if (replace) {
        // Offer the next match without wrapping, quietly.
        return !m_options.find.isEmpty() && search(restart, passEmpty);
    }
    m_notFound = searched && !m_tooComplex;
    return false;
}

// Every match from the start, in one undo step. The matches are those in the
// text when the command starts, each replaced once: searching on behind each
// replacement would see text the replacing made (an expression anchored at a
// line's start matches that line again once the replacement is shorter).
// The editor's cursor stays at the start, where the replacing began: following
// the matches to the last one would make the editor lay out the whole document
// to show it (seconds for a large one). The matches are MatchScanner's over the
// raw text: the editor's own search would place a cursor at every match, and a
// cursor outside an edit lays out its paragraph (seconds for a large document).
void FindReplace::replaceAll()
{
    m_flags &= ~QTextDocument::FindBackward;
    QTextCursor start = m_cursor;
    start.movePosition(QTextCursor::Start);
    setCursor(start);
    if (m_options.find.isEmpty())
        return;
    QVector<MatchScanner::Match> found;
    // All or nothing: where the engine gave up, the matches after that point are
    // unknown, and replacing only those before would pass for the whole job.
    if (m_scanner.scan(m_document->toRawText(), [&found](int start, int end) { found.append({start, end}); })
        == MatchScanner::Scan::GaveUp) {
        m_tooComplex = true;
        return;
    }
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
