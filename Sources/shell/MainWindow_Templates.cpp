// Main window: template commands.
// Interim: the template library is not built yet; these slots log their call.

#include "MainWindow.h"

#include <QDebug>

#include "SharedCodes.h"

int MainWindow::openTemplate(const QString& templateFileName, const QString& searchStr, int index,
                             bool autoClose, uint type, bool create)
{
    qDebug() << Q_FUNC_INFO << "(interim)" << ", templateFileName =" << templateFileName
             << ", searchStr =" << searchStr << ", index =" << index << ", autoClose =" << autoClose
             << ", type =" << templateType2String(type) << ", create =" << create;
    return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
}
