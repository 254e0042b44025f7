#pragma once
// The find-in-files page of the bottom tab widget: a directory, file-name
// patterns, words a line must and must not contain and a fallback encoding;
// hits are filtered by length and shown page by page.

#include <QDialog>
#include <QDir>
#include <QList>
#include <QPointer>
#include <QStringList>

#include "SearchResult.h"
#include "SettingsStore.h"

class QAction;
class QCheckBox;
class QComboBox;
class QItemSelection;
class QLabel;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTextDecoder;
class SearchResultHeader;

class SearchDialog : public QDialog
{
    Q_OBJECT
public:
    // The file-name cell of a hit holds the encoding its file was searched in.
    static const int EncodingRole = Qt::UserRole + 1;
    // The line-number cell holds where the hit's text begins in its line (a long
    // line is searched in slices, each its own hit).
    static const int ColumnRole = Qt::UserRole + 2;

    explicit SearchDialog(QWidget* parent = nullptr);
    ~SearchDialog() override;

    QList<SearchResult> findFiles(const QStringList& files, const QString& includeText, const QString& excludeText);
    // A decoder for a file whose first line (with non-ASCII bytes) is given; the caller owns it.
    QTextDecoder* detectCodec(const QByteArray& line);
    int resultsPerPage() const;
    void clearHistory();
    // Gives the history boxes the stored maximum; a smaller one drops the oldest entries.
    void applyHistoryLimit();
    QString currentSearchText() const;

    // Reached by the main window.
    QTableWidget* filesTable() const { return m_filesTable; }
    // The page's height when its results table shows `rows` whole rows.
    int heightShowingRows(int rows) const;
    QComboBox* includeComboBox() const { return m_includeComboBox; }
    QDir searchDirectory() const { return m_searchDirectory; }
    QAction* saveAsAtomTemplateAction() const { return m_saveAsAtomTemplateAct; }

    // The last search's hits and those that pass the length filter.
    QList<SearchResult> results() const { return m_results; }
    QList<SearchResult> shownResults() const { return m_shown; }
    int firstIndex() const { return m_first; }
    bool isSearching() const { return m_searching; }
    // Stops a running search (the main window closing).
    void cancelSearch();

    // Hits kept by one search at most; more are dropped with a notice on the count line.
    static const int MaxResults = 200000;

public slots:
    void browse();
    void characterCountLimitValueChanged(int value);
    void characterCountLimitStateChanged(int state);
    void find();
    void nextPage();
    void prevPage();
    void copySelectedItems();
    void deleteSelectedItems();
    void filesTableSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void headerCheckBoxStateChanged(Qt::CheckState state);
    // Embedded as a tab page: Esc must not hide it and leave a blank tab.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the page before (-1) or after (1) the current one.
    void turnPage(int direction);
    void filterResults();
    void showResults(int first);
    void applyHeaderCheckState();
    void createFilesTable();
    // Rows one line of the table's font high, the header one line of its own.
    void fitRowsToFont();
    void clearTable();
    void connectSelection(bool on);
    void updateCountLine();
    QProgressDialog* openProgress(int maximum);
    bool progressGoesOn();

    QPushButton* m_browseButton = nullptr;
    QPushButton* m_findButton = nullptr;
    QPushButton* m_prevButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QComboBox* m_directoryComboBox = nullptr;
    QComboBox* m_fileComboBox = nullptr;
    QComboBox* m_includeComboBox = nullptr;
    QComboBox* m_excludeComboBox = nullptr;
    QComboBox* m_encodingComboBox = nullptr;
    QLabel* m_countLabel = nullptr;
    QCheckBox* m_characterCountCheckBox = nullptr;
    QSpinBox* m_minSpinBox = nullptr;
    QSpinBox* m_maxSpinBox = nullptr;
    QTableWidget* m_filesTable = nullptr;
    SearchResultHeader* m_header = nullptr;
    QAction* m_copyAct = nullptr;
    QAction* m_deleteAct = nullptr;
    QAction* m_saveAsAtomTemplateAct = nullptr;

    QDir m_searchDirectory;
    QStringList m_includeWords;
    QStringList m_excludeWords;
    QList<SearchResult> m_results;
    QList<SearchResult> m_shown;
    int m_first = 0;
    bool m_truncated = false;
    bool m_searching = false;
    bool m_cancelRequested = false;
    QPointer<QProgressDialog> m_progress;
    Settings m_settings;
};
