// Interim bodies of the editor document the shell needs before the editor exists.

#include "MdiChild.h"

#include <QDebug>
#include <QFileInfo>

MdiChild::MdiChild(QWidget* parent)
    : QTextEdit(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("SubWindowType", 1);
}

void MdiChild::newFile()
{
    static int sequenceNumber = 1;
    qDebug() << Q_FUNC_INFO;
    isUntitled = true;
    curFile = tr("文档%1").arg(sequenceNumber++);
    setWindowTitle(curFile + QStringLiteral("[*]"));
}

bool MdiChild::loadFile(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    curFile = QFileInfo(fileName).absoluteFilePath();
    isUntitled = false;
    setWindowTitle(userFriendlyCurrentFile() + QStringLiteral("[*]"));
    return true;
}

QString MdiChild::userFriendlyCurrentFile() const
{
    return QFileInfo(curFile).fileName();
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
