#pragma once
// The page of one open template in the main window's bottom tab widget: the
// outline tree on the left above a search bar, the contents of the current
// entry on the right. Searching paints the matching contents and the entries
// that hold hits, can hide the other contents and steps through the matches;
// replacing edits the contents in place. The page also carries the identity of
// the template it shows, which the window's opening and saving commands use.
//
// Searching is plain text (no regular expressions). Typing in the search box
// touches only what changes: the rows whose state differs and the visible
// entries; hidden contents in the tree are never painted.

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class ListWidget;
class QComboBox;
class QLabel;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSplitter;
class QStringMatcher;
class QTreeWidget;
class QTreeWidgetItem;
class TreeWidget;
struct TemplateItemRef;

class TemplateDialog : public QDialog
{
    Q_OBJECT

public:
    // Codes of the keyword combination and match-flag selectors (2 and 3 are
    // Qt::MatchStartsWith and Qt::MatchEndsWith).
    enum MatchCode {
        MatchStartsWith = 2,
        MatchEndsWith = 3,
        MatchAll = 512,
        MatchAny = 513,
        MatchOneCharacter = 514,
        MatchTwoCharacters = 515,
        MatchThreeCharacters = 516,
        MatchFourCharacters = 517,
        MatchMoreThanFourCharacters = 518,
    };

    explicit TemplateDialog(const QString& fileName = QString(), QWidget* parent = nullptr);
    ~TemplateDialog() override;

    // The page that holds widget (or is it), or null.
    static TemplateDialog* of(QObject* widget);

    TreeWidget* getTreeWidget() const { return treeWidget; }
    ListWidget* getListWidget() const { return listWidget; }
    // The outline, as the shell reads it.
    QTreeWidget* outlineTreeWidget() const;

    // Identity of the template shown.
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    QString tableName() const { return m_tableName; }
    void setTableName(const QString& tableName) { m_tableName = tableName; }
    QString searchStr() const { return m_searchStr; }
    void setSearchStr(const QString& searchStr) { m_searchStr = searchStr; }
    bool autoClose() const { return m_autoClose; }
    void setAutoClose(bool autoClose) { m_autoClose = autoClose; }
    uint type() const { return m_type; }
    void setType(uint type) { m_type = type; }
    // The text of a content that stood first under the root of the file: not
    // part of the outline, written back first when the template is saved.
    QString header() const { return m_header; }
    void setHeader(const QString& header) { m_header = header; }

    bool filterEnabled() const { return m_filterEnabled; }
    unsigned int searchResultCount() const { return m_searchResultCount; }

    void setSplitterSizes(int width);
    // Searches for text as if the user had typed it, with the filter on.
    void setSearchText(const QString& text);
    // Whether one content matches the search text under the current selectors.
    bool isMatched(const QString& text, const QString& keywordsText) const;
    // Paints the entries whose title or contents hold the search text.
    void highlightSearchResult();
    // The information line, after painting the tree.
    void updateContentListInfoLabel();

    // The contents list of an entry: one row per child that is no entry.
    void showContentsOf(QTreeWidgetItem* entry);
    // The child of entry shown as list row `row`, or null.
    static QTreeWidgetItem* contentItemAt(QTreeWidgetItem* entry, int row);
    // The list row of child `childIndex` of entry; -1 when that child is an entry or absent.
    static int listRowOfChild(QTreeWidgetItem* entry, int childIndex);
    // Selects what a record of a generated paragraph names: the content's entry
    // and its list row, or a child entry. The record's model index counts only
    // when it belongs to this page's tree; else its position does.
    void selectRecord(const TemplateItemRef& record);
    // Carries the order of the list rows back into the entry's contents.
    void syncContentsFromList(QTreeWidgetItem* entry);

    // Delete, Insert and F2 on the tree or list of a page ask the window for
    // the remove, new and edit command of that view.
    template <typename View>
    static void requestCommandForKey(View* view, int key)
    {
        if (key == Qt::Key_Delete)
            emit view->removeRequested();
        else if (key == Qt::Key_Insert)
            emit view->newRequested();
        else if (key == Qt::Key_F2)
            emit view->editRequested();
    }

signals:
    // The user changed the template here (replacing, or a drop in the tree or list).
    void templateEdited();

public slots:
    void onSearchComboBoxCurrentTextChanged(const QString& text);
    void filter();
    void matchFlagRadioButtonToggled(bool checked);
    void matchFlagOperComboBoxCurrentIndexChanged(int index);
    void matchFlagUserComboBoxCurrentIndexChanged(int index);
    void replace();
    void replaceAll();
    bool searchNext();
    bool searchPrev();
    void updateContentListInfoLabel(QListWidgetItem* current, QListWidgetItem* previous);
    // A page of the tab widget is never rejected: Esc must not leave a blank tab.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Matcher;

    Matcher matcherFor(const QString& keywordsText) const;
    // Search with the current text. Histories are recorded on the user's
    // explicit searches only, not at every keystroke.
    void search(bool recordHistory, bool unpaintOthers);
    void recordHistories();
    bool step(bool forward);
    void clearTreeHighlight();
    // Shows the rows, hiding the unmatched ones when hideOthers, painting the
    // matched ones when paint and unpainting the others when unpaintOthers;
    // with count, the matches become the search result count. Only rows whose
    // state changes are touched.
    void showRows(const Matcher& matcher, bool hideOthers, bool paint, bool unpaintOthers, bool count);
    // Paints the entries that hold (themselves or below) an item found by finder;
    // with replacement, replaces the found text in those items as well.
    void paintHits(const QStringMatcher& finder, const QString* searchText = nullptr,
                   const QString* replacement = nullptr, bool* changed = nullptr);
    int currentFlag() const;
    int currentOperator() const;

    // The outline in pre-order, read once per change of the tree.
    struct Outline
    {
        quint64 revision = ~quint64(0);
        QVector<QTreeWidgetItem*> items;
        QVector<QString> texts;
        QVector<int> parents; // index of the parent item, -1 at the top level
        QVector<bool> entries;
    };
    const Outline& outline();
    // The list rows as this page last left them, read again after any change
    // made elsewhere. The page alone hides and paints its rows.
    struct Rows
    {
        bool valid = false;
        QVector<QString> texts;
        QVector<bool> hidden;
        QVector<bool> painted;
    };
    Rows& rows();

    TreeWidget* treeWidget;
    ListWidget* listWidget;
    QLabel* contentListInfoLabel;
    QComboBox* replaceComboBox;
    QComboBox* searchComboBox;
    QRadioButton* operRadioButton;
    QComboBox* matchFlagOperComboBox;
    QRadioButton* regExpRadioButton;
    QRadioButton* userRadioButton;
    QComboBox* matchFlagUserComboBox;
    QPushButton* filterPushButton;
    QSplitter* splitter;

    QString m_searchStr;
    QString m_fileName;
    QString m_title;
    QString m_tableName;
    QString m_header;
    bool m_autoClose = false;
    bool m_filterEnabled = true;
    unsigned int m_searchResultCount = 0;
    uint m_type = 255;
    Outline m_outline;
    Rows m_rows;
    // Some entry is painted.
    bool m_treePainted = false;
    // What the tree is painted for, and the outline revision it was painted at.
    QString m_treePaintedFor;
    quint64 m_treePaintedRevision = 0;
    quint64 m_treeRevision = 0;
};
