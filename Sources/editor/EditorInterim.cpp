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
