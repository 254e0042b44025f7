#pragma once
// Names of the platform's standard key bindings, written as in C++:
// "QKeySequence::" followed by the enumerator's name.

#include <QKeySequence>
#include <QString>

// The platform's first binding of the named standard key ("QKeySequence::Save",
// say): empty where the platform binds nothing, and for any other text (names
// compare case-sensitively).
QKeySequence standardKeyFromName(const QString& name);
