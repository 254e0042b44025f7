#pragma once
// The main window's commands as data. Every action of the main window is one row
// (text, status tip, icon, slot, flags, object name, data value, group), listed in
// creation order; a small builder turns the rows into QAction objects. The thirty
// stored keyboard shortcuts are rows of a second table.
//
// Texts and status tips are kept untranslated in the rows and translated in the
// context "MainWindow" when the actions are built.

#include <QCoreApplication>
#include <QKeySequence>
#include <QVector>

#include "SettingsStore.h"

class MainWindow;
class QAction;

class ActionTable
{
    // The texts belong to the main window's translation context.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    enum Flag : unsigned {
        Checkable = 0x1,
        Checked = 0x2,                   // checked once built (after joining its group)
        TipIsText = 0x4,                 // the status tip is the action's text
        ProcessWide = 0x8,               // kept in a process-wide pointer
        SuperUserOnly = 0x10,            // built only in super-user mode
        AtomTemplateEmbellishOnly = 0x20, // built only when "EnableAtomTemplateEmbellish" != 0
        Hidden = 0x40,                   // built invisible (recent-item actions)
        ToMdiArea = 0x80,                // the slot is the document area's
        ToApplication = 0x100,           // the slot is the application object's
        OnChanged = 0x200,               // connected through changed() instead of triggered()
        TitleFromTool = 0x400,           // text is analysisToolTitles[argument]
        ProgramNameAppended = 0x800,     // the untranslated program name follows the text
        ApplicationSpecificMenuRole = 0x1000, // menu role QAction::ApplicationSpecificRole
        TextAsData = 0x2000,             // data is the untranslated text (advertisement templates)
    };

    enum Kind {
        PlainAction,    // connected to `slot` (or to nothing)
        SeparatorAction,
        SkinAction,     // calls setCustomStyleSheet(argument)
        GenreAction,    // calls autoGenGeneric(argument)
        NameAction,     // calls autoGenNameGeneric(argument)
        WindowShortcut, // an application-wide QShortcut of key `text` to `slot`
        ClipboardHook,  // the clipboard's dataChanged() to `slot`
    };

    enum Group { NoGroup, ZoomGroup, IconSizeGroup, SkinGroup, GroupCount };

    struct Row
    {
        Kind kind = PlainAction;
        QAction** store = nullptr;       // where the action's pointer goes
        const char* text = nullptr;      // untranslated; null for none
        const char* statusTip = nullptr; // untranslated; null for none
        const char* icon = nullptr;      // ":/..." as is; "/Name.png" inside imageFolder
        const char* slot = nullptr;      // SLOT(...) of the receiver; null for no connection
        unsigned flags = 0;
        int data = -1; // data value; -1 for none
        Group group = NoGroup;
        int argument = 0;                 // skin id, generation type or tool id
        const char* objectName = nullptr;
        const char* checkedKey = nullptr; // boolean setting giving the initial check state
        QKeySequence::StandardKey standardKey = QKeySequence::UnknownKey;
    };

    struct ShortcutRow
    {
        const char* key;       // in the settings group "Shortcuts"
        QAction* action;
        QKeySequence fallback; // used when the stored text is empty or invalid
        bool hasFallback;      // without one an empty key leaves the shortcut as it is
    };

    // The actions of the window, in creation order.
    static QVector<Row> rows(MainWindow* window);

    // Builds the rows on the window. Rows gated off by superUser or
    // atomTemplateEmbellish are skipped and their pointers set to null.
    static void build(MainWindow* window, const QVector<Row>& rows, bool superUser, bool atomTemplateEmbellish);

    // The stored shortcuts of the window's actions.
    static QVector<ShortcutRow> shortcutRows(MainWindow* window);

    // Gives each row's action the sequence stored under its key, else its fallback.
    static void applyShortcuts(const QVector<ShortcutRow>& rows, const Settings& settings);

    // The sequence a stored text stands for: empty when the text is empty or names no key.
    static QKeySequence storedSequence(const QString& text);
};
