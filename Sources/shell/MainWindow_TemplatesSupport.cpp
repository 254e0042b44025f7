#include "MainWindow_TemplatesSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTabWidget>

#include "MainWindow.h"
#include "Prompt.h"
#include "TemplateDialog.h"

namespace TemplateTabs {

QString templatePath(const QString& name)
{
    return QDir::cleanPath(QFileInfo(name).absoluteFilePath());
}

void warn(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setFixedSize(box.sizeHint());
    Prompt::current().exec(box);
}

TemplateDialog* templateTab(QWidget* page)
{
    auto* tab = qobject_cast<TemplateDialog*>(page);
    return tab && page->objectName() == QLatin1String("TemplateDialog") ? tab : nullptr;
}

void markTemplate(MainWindow* window, TemplateDialog* tab, bool set)
{
    const int index = window->mainTabWidget->indexOf(tab);
    if (index >= 0)
        window->setTemplateModified(set, index);
}

QStringList paragraphsOf(const QString& selectedText)
{
    return selectedText.split(QChar(QChar::ParagraphSeparator), Qt::SkipEmptyParts);
}

} // namespace TemplateTabs
