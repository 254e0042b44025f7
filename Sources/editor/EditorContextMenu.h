#pragma once
// The context menu of a document: the editor's standard commands, then the
// spelling, marking and template commands of the window and, over a bracketed
// atom-template name, the commands that open that template, named after it.

#include <QPoint>

class DocumentHost;
class MdiChild;

class EditorContextMenu
{
public:
    // Builds and runs the menu for a click at pos (viewport coordinates;
    // globalPos on the screen). The host, when there is one, updates its
    // selection commands first.
    static void exec(MdiChild* editor, const QPoint& pos, const QPoint& globalPos, DocumentHost* host);
};
