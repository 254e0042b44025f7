#include "Prompt.h"

#include <QColorDialog>
#include <QUrl>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>

namespace {
Prompt interactivePrompt;
Prompt* installedPrompt = nullptr;
}

Prompt::~Prompt() = default;

int Prompt::exec(QMessageBox& box)
{
    return box.exec();
}

int Prompt::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

QAction* Prompt::execMenu(QMenu& menu, const QPoint& position)
{
    return menu.exec(position);
}

int Prompt::getInt(QWidget* parent, const QString& title, const QString& label, int value, int minimum,
                   int maximum, int step, bool* ok)
{
    return QInputDialog::getInt(parent, title, label, value, minimum, maximum, step, ok);
}

QColor Prompt::getColor(const QColor& initial, QWidget* parent)
{
    return QColorDialog::getColor(initial, parent);
}

QString Prompt::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString Prompt::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

bool Prompt::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

QString Prompt::getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir, QFileDialog::ShowDirsOnly);
}

QString Prompt::getItem(QWidget* parent, const QString& title, const QString& label, const QStringList& items,
                        int current, bool* ok)
{
    return QInputDialog::getItem(parent, title, label, items, current, false, ok);
}

Prompt& Prompt::current()
{
    return installedPrompt ? *installedPrompt : interactivePrompt;
}

void Prompt::install(Prompt* prompt)
{
    installedPrompt = prompt;
}
