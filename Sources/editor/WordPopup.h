#pragma once
// The pop-up lists of a document: the clipboard history, the synonym and antonym
// lists, the magic lamp and the atom-template entries. The list widget and the
// anchors are the document's own; this class fills, places and answers the list.

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <QTextFormat>

class ContextListWidget;
class MdiChild;
class QAction;
class QListWidgetItem;

extern QStringList clipboardHistory;          // the last clipboard texts, newest first, no repeats
extern const int clipboardHistorySize;        // the most texts clipboardHistory keeps

// The entry that the last atom expansion from the pop-up list put in (the cursor
// selects it and follows later edits) and the text it took the place of; taken out
// again before the next expansion.
struct AtomExpansion
{
    QTextCursor span;
    QString text;
    QString replaced;
    QTextCharFormat replacedFormat;
};

class WordPopup
{
public:
    explicit WordPopup(MdiChild* editor);

    void itemActivated(QListWidgetItem* item, QAction* senderAct);
    void magicLamp(const QString& word, const QPoint& pos);
    void newWordList(const QString& word, const QPoint& pos);
    void pasteFromClipboardHistory();
    // The mouse rests at pos over the document: the list of the marked word
    // there, just below the word's line and waiting for the writer to turn to
    // it; hidden off a mark. Links the writer made open nothing. True when that
    // word's list shows already, so the move is the list's and not the editor's.
    bool hover(const QPoint& pos);

private:
    enum class Opening { Command, Hover };
    void showWordList(const QString& word, const QPoint& pos, Opening opening);
    // Places the filled list and selects row 0.
    void showPopup(const QString& word, const QPoint& pos);
    // Shows the placed and sized list: taking the keyboard when a command
    // opened it, waiting when the pointer did.
    void openPopup(Opening opening);
    QStringList lookUpWords(const QString& word, int type) const;
    // The target of the mark at pos (viewport coordinates), empty off a mark.
    QString markAt(const QPoint& pos) const;
    // The position of the character at pos, the one markAt looks at; -1 off the text.
    int characterAt(const QPoint& pos) const;
    // The line holding the character at position, across the viewport, in
    // viewport coordinates.
    QRect lineOf(int position) const;
    // Where on that line the mark at position begins (viewport x).
    int markLeft(int position, const QRect& line) const;

    // The cases of choosing an entry.
    void openAtomTemplate(const QString& text);
    void chooseForMark(const QString& text, const QAction* senderAct);
    void insertAtCursor(const QString& text);
    // Where in its mark the word to replace or expand stands (a start of -1
    // when the mark does not hold it).
    struct WordInMark;
    WordInMark findWordInMark(const QString& word) const;
    void expandAtMark(QTextCursor& edit, const WordInMark& at, const QString& text, int expandType);
    void replaceInMark(QTextCursor& edit, const WordInMark& at, const QString& text);
    // Does the mark hold the word once the last expansion is taken out?
    bool markHoldsWord(const QString& word, bool expanding) const;
    bool expansionIsIntact() const;
    // Takes the last atom expansion out of the text again, putting back what it replaced.
    void removeExpansion(QTextCursor& edit);

    MdiChild* m_editor;
    ContextListWidget*& listWidget;
    QString& anchor;
    QString& tryAnchor;
    AtomExpansion& expandedSpan;
    // The line of the word a hover list is for (editor coordinates), and where
    // the pointer was (global).
    QRect hoverLine;
    QPoint hoverPointer;
};
