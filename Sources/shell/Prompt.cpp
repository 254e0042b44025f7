#include "Prompt.h"

namespace {
Prompt interactivePrompt;
Prompt* installedPrompt = nullptr;
}

Prompt::~Prompt() = default;

int Prompt::exec(QMessageBox& box)
{
    return box.exec();
}

Prompt& Prompt::current()
{
    return installedPrompt ? *installedPrompt : interactivePrompt;
}

void Prompt::install(Prompt* prompt)
{
    installedPrompt = prompt;
}
