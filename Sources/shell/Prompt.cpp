#include "Prompt.h"

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

Prompt& Prompt::current()
{
    return installedPrompt ? *installedPrompt : interactivePrompt;
}

void Prompt::install(Prompt* prompt)
{
    installedPrompt = prompt;
}
