#pragma once
// Every modal message box of the program is shown through Prompt::current(),
// so that tests can answer boxes without a person in front of the screen.

#include <QColor>
#include <QMessageBox>
#include <QStringList>

class QMenu;
class QUrl;

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
    // The file open dialog; an empty string when cancelled.
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter);
    // Asks for a whole number in [minimum, maximum]; *ok tells whether it was confirmed.
    virtual int getInt(QWidget* parent, const QString& title, const QString& label, int value, int minimum,
                       int maximum, int step, bool* ok);
    // Asks for a colour; an invalid colour means the user cancelled.
    virtual QColor getColor(const QColor& initial, QWidget* parent);
    // Asks for a file name to write; an empty string means the user cancelled.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter);
    // Hands a URL (web page, folder, file) to the desktop; false when that failed.
    virtual bool openUrl(const QUrl& url);
    // Asks for an existing directory; empty when cancelled.
    virtual QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir);
    // Asks for one of the items (not editable); *ok tells whether one was chosen.
    virtual QString getItem(QWidget* parent, const QString& title, const QString& label, const QStringList& items,
                            int current, bool* ok);

    static Prompt& current();
    // Replaces the prompt; null puts the interactive one back. Not owned.
    static void install(Prompt* prompt);
};
