#pragma once
// The engine of find and replace in one document, without widgets: it works on
// a QTextDocument and a copy of the editor's cursor, and says where the editor's
// cursor goes afterwards and whether "not found" is to be reported.

#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

#include "MatchScanner.h"

class FindReplace
{
public:
    struct Options
    {
        QString find;
        QString replace;
        bool backward = false;
        bool caseSensitive = false;
        bool wrapAround = false;
        bool regexp = false; // QRegExp syntax (RegExp2), see FindExpression
    };

    FindReplace(QTextDocument* document, const Options& options);

    // One command of the dialog, from the editor's cursor `from`: find the next
    // match (replace and replaceAll false), replace the selected match and offer
    // the next one (replace), or replace every match (replaceAll, one undo step,
    // the cursor left at the start). A cursor without a selection where an
    // expression matches the empty text has that match selected.
    // True when a match is selected afterwards.
    bool run(const QTextCursor& from, bool replace, bool replaceAll);

    // Where the editor's cursor goes; valid when cursorChanged() is true (else the
    // editor keeps its own cursor, which the document has moved with any edit).
    QTextCursor cursor() const { return m_cursor; }
    bool cursorChanged() const { return m_cursorChanged; }
    // The search ran to its end without a match and says so.
    bool notFound() const { return m_notFound; }
    // The expression is too much for the engine on this text (it gave up, as on
    // ".*.*c" over a long line): the command stopped there and changed nothing.
    bool tooComplex() const { return m_tooComplex; }
    // Matches replaced by the last replace-all: as many as MatchScanner counts
    // in the text it started from.
    int replacements() const { return m_replacements; }

private:
    QTextCursor findExpression(const QTextCursor& at, bool passEmpty);
    bool search(const QTextCursor& from, bool passEmpty);
    bool selectionMatches();
    bool replaceSelection();
    void setCursor(const QTextCursor& cursor);
    // Every match from the start, replaced in one undo step.
    void replaceAll();

    QTextDocument* m_document;
    Options m_options;
    Qt::CaseSensitivity m_cs;
    MatchScanner m_scanner;
    QTextDocument::FindFlags m_flags;
    QTextCursor m_cursor;
    bool m_cursorChanged = false;
    bool m_notFound = false;
    bool m_tooComplex = false;
    int m_replacements = 0;
};
