#include "ExportSupport.h"

#include "MainWindow.h"
#include "MdiChild.h"

const QString exportMarker = QStringLiteral("Tarnquill export marker");
const QString exportChineseText = QStringLiteral("长城万里，春风又绿江南岸");

MdiChild* newExportDocument(MainWindow& window, int paragraphs)
{
    window.newFile();
    MdiChild* child = window.activeMdiChild();
    QString html = QStringLiteral("<h1>%1</h1><p><b>%2</b> <i>%3</i></p>").arg(exportChineseText, exportMarker, "italic");
    for (int i = 1; i < paragraphs; ++i)
        html += QStringLiteral("<p>%1 %2</p>").arg(exportChineseText).arg(i);
    child->setHtml(html);
    return child;
}

int pdfPageCount(const QByteArray& pdf)
{
    return pdf.count("/Type /Page") - pdf.count("/Type /Pages");
}
