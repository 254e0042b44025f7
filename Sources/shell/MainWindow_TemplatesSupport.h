#pragma once
// Helpers that the main window's template commands share: MainWindow_Templates.cpp,
// MainWindow_TemplateEditing.cpp and MainWindow_AtomLibrary.cpp. Internal to the shell.

#include <QString>
#include <QStringList>

class MainWindow;
class QWidget;
class TemplateDialog;

namespace TemplateTabs {

inline const QString kTemplateSuffix = QStringLiteral(".tqw");

// Paths compare as cleaned absolute paths: "./Templates/x.tqw" and the path
// of the open tab are the same file.
QString templatePath(const QString& name);

void warn(const QString& title, const QString& text);

// The template tab shown on a page of the main tab widget, or null.
TemplateDialog* templateTab(QWidget* page);

// Sets or clears the mark of one tab; a tab not yet in the tab widget has none.
void markTemplate(MainWindow* window, TemplateDialog* tab, bool set);

// The paragraphs of an editor selection, empty ones left out.
QStringList paragraphsOf(const QString& selectedText);

} // namespace TemplateTabs
