#pragma once
// What the writer types over a mark, right after one or at the start of a line
// a mark begins is the writer's own text: it keeps the format the editor would
// give it (bold stays bold) without the mark's link, colour and underline. Marks
// pasted as HTML have lost what tells them from the writer's own links and are
// recognised again; plain text pasted after a mark is not part of it.

#include <functional>

class QKeyEvent;
class QMimeData;
class QTextCharFormat;
class QTextEdit;

class MarkTyping
{
public:
    // Printable input: what would change a writable document's text. Shortcuts
    // (Ctrl, Meta) and control characters (Enter, Tab, Ctrl+C's \x03) are not.
    static bool isPrintableInput(const QKeyEvent* event);
    // Keys that write characters into the text: printable input and Tab.
    static bool writesText(const QKeyEvent* event);

    // Runs deliver, the editor's own handling of the input, so that nothing it
    // writes is part of a mark when `taken` (the format the editor would give
    // the text) is one. Text typed over is replaced in the same Undo step.
    static void typeWithoutMark(QTextEdit* editor, const QTextCharFormat& taken, const std::function<void()>& deliver);
    // Runs deliver, the editor's own paste of source, in one Undo step, and
    // sorts out the marks in what it pasted.
    static void paste(QTextEdit* editor, const QMimeData* source, const std::function<void()>& deliver);
};
