#pragma once
// The pop-up lists of a document: the clipboard history, the synonym and antonym
// lists, the magic lamp and the atom-template entries. The list widget and the
// anchors are the document's own; this class fills, places and answers the list.

#include <QPoint>
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
    // there, hidden off a mark. True when that word's list shows already, so
    // the move is the list's and not the editor's.
    bool hover(const QPoint& pos);

private:
    // Places the filled list, gives it the focus and selects row 0.
    void showPopup(const QString& word, const QPoint& pos);
    QStringList lookUpWords(const QString& word, int type) const;
    // Takes the last atom expansion out of the text again, putting back what it replaced.
    void removeExpansion(QTextCursor& edit);

    MdiChild* m_editor;
    ContextListWidget*& listWidget;
    QString& anchor;
    QString& tryAnchor;
    AtomExpansion& expandedSpan;
};
