#pragma once
// Every modal message box of the program is shown through Prompt::current(),
// so that tests can answer boxes without a person in front of the screen.

#include <QMessageBox>

class QMenu;

class Prompt
{
public:
    virtual ~Prompt();

    // Shows the box modally and returns the standard button pressed (or the
    // result of exec() for custom buttons).
    virtual int exec(QMessageBox& box);
    // Runs a modal dialog and returns its result.
    virtual int execDialog(QDialog& dialog);
    // Pops a menu up at a screen position and returns the action chosen, or null.
    virtual QAction* execMenu(QMenu& menu, const QPoint& position);

    static Prompt& current();
    // Replaces the prompt; null puts the interactive one back. Not owned.
    static void install(Prompt* prompt);
};
