// Interim bodies of the editor the shell needs before the rest of the editor exists.

// --- Editor document: word pop-ups and the user word-list highlighter -------------
// The pop-up lists come with the word pop-ups, the highlighter with the word
// databases; until then these only log their call.

#include "MdiChild.h"

#include <QDebug>

void MdiChild::itemActivated(QListWidgetItem*, QAction*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MdiChild::magicLamp(const QString& word, const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ": word =" << word << ", pos =" << pos << "(interim)";
}

void MdiChild::newWordList(const QString& word, const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ": word =" << word << ", pos =" << pos << "(interim)";
}

void MdiChild::pasteFromClipboardHistory()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MdiChild::resetHighlighter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MdiChild::toggleHighlighter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// --- Find and replace and find in files -----------------

#include "FindReplaceDialogEx.h"
#include "SearchDialog.h"

FindReplaceDialogEx::FindReplaceDialogEx(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FindReplaceDialogEx"));
    setWindowTitle(tr("查找&替换"));
}

SearchDialog::SearchDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SearchDialog"));
}

void SearchDialog::reject()
{
}
