#pragma once
// The pop-up lists of a document: the clipboard history, the synonym and antonym
// lists, the magic lamp and the atom-template entries. The list widget and the
// anchors are the document's own; this class fills, places and answers the list.

#include <QPoint>
#include <QString>
#include <QStringList>

class ContextListWidget;
class MdiChild;
class QAction;
class QListWidgetItem;

extern QStringList clipboardHistory;          // the last clipboard texts, newest first, no repeats
extern const int clipboardHistorySize;        // the most texts clipboardHistory keeps

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

    MdiChild* m_editor;
    ContextListWidget*& listWidget;
    QString& anchor;
    QString& tryAnchor;
    QString& expandedSpan;
};
