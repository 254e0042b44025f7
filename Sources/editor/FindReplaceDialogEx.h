#pragma once
// The modeless find-and-replace dialog. Interim: only the signal the main window
// connects exists yet; the form and its buttons come with find and replace.

#include <QDialog>
#include <QTextDocument>

class FindReplaceDialogEx : public QDialog
{
    Q_OBJECT
public:
    explicit FindReplaceDialogEx(QWidget* parent = nullptr);

signals:
    void findReplace(const QString& strFind, const QString& strReplace, const QTextDocument::FindFlag backward,
                     const QTextDocument::FindFlag caseSensitivity, const bool wrapAround = false,
                     const bool replace = false, const bool replaceAll = false, const bool regexp = false);
};
