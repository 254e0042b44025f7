#pragma once
// The modeless find-and-replace dialog. It collects the texts and options and
// emits one findReplace signal per button press; the main window does the
// searching. One set of controls moves between the find and the replace page.

#include <QDialog>
#include <QPointer>
#include <QTextDocument>

class DocumentHost;
class MatchCounter;
class QComboBox;
class QPushButton;
class QTimer;

namespace Ui {
class FindReplaceDialogEx;
}

enum FindDialogTab { FIND_DIALOG_FIND_TAB = 0, FIND_DIALOG_REPLACE_TAB = 1 };

class FindReplaceDialogEx : public QDialog
{
    Q_OBJECT
public:
    explicit FindReplaceDialogEx(QWidget* parent = nullptr);
    ~FindReplaceDialogEx() override;

    void setFindString(const QString& str) const;
    // A count of the document's matches is on its way to the label.
    bool isCounting() const;

    // The form, for the main window's tests and its find commands.
    Ui::FindReplaceDialogEx* form() const { return ui; }

    // The most entries each history list keeps.
    static const int historySize = 10;
    // The count follows edits of the document this long after the last one (ms):
    // there is no point in counting at every keystroke.
    static const int countDelay = 300;

signals:
    void findReplace(const QString& strFind, const QString& strReplace, const QTextDocument::FindFlag backward,
                     const QTextDocument::FindFlag caseSensitivity, const bool wrapAround = false,
                     const bool replace = false, const bool replaceAll = false, const bool regexp = false);

public slots:
    void on_tabWidget_currentChanged(int index);
    void updateSearchResultCount();
    void textChanged(QString text);
    void on_findComboBox_currentTextChanged(QString arg1);
    void on_closePushButton_clicked();
    void on_findPushButton_clicked();
    void on_replacePushButton_clicked();
    void on_replaceAllPushButton_clicked();
    // Another document became the active one: its matches are counted.
    void activeDocumentChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Follows the edits of the active document while the dialog is shown.
    void watchDocument(QTextDocument* document);
    void findReplace(const QPushButton* button);
    void saveHistory(const QString& findStr, const QString& replaceStr) const;
    // The buttons work when there is a find text and a document to search.
    void updateButtons() const;
    void showCount(int count);

    Ui::FindReplaceDialogEx* ui;
    DocumentHost* owner;
    QTimer* countTimer;
    MatchCounter* counter;
    QPointer<QTextDocument> watchedDocument;
};
