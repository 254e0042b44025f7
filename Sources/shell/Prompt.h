#pragma once
// Every modal message box of the program is shown through Prompt::current(),
// so that tests can answer boxes without a person in front of the screen.

#include <QMessageBox>

class Prompt
{
public:
    virtual ~Prompt();

    // Shows the box modally and returns the standard button pressed (or the
    // result of exec() for custom buttons).
    virtual int exec(QMessageBox& box);

    static Prompt& current();
    // Replaces the prompt; null puts the interactive one back. Not owned.
    static void install(Prompt* prompt);
};
