#pragma once
// The built-in keyboard shortcuts of the main window's configurable actions, one
// per key of the settings group "Shortcuts". The main window binds them where the
// group holds nothing usable, and the shortcut page shows them as its defaults,
// so the page always shows the bindings that are really in force.

#include <QKeySequence>
#include <QString>
#include <QStringList>

class DefaultShortcuts
{
public:
    // The keys (without the group), in the order the main window binds them.
    static QStringList keys();

    // False for a key without a built-in binding (SelectAll) and for unknown keys.
    static bool hasDefault(const QString& key);

    // The built-in binding: a fixed sequence or the platform's standard key,
    // which may be empty where the platform binds nothing.
    static QKeySequence sequence(const QString& key);

    // The binding in portable text; empty where there is none.
    static QString text(const QString& key);
};
