#pragma once
// What an editor document asks of the window that holds it. The main window
// implements it; documents and dialogs made without a window fall back to the
// one registered as current (or do without).

#include <QList>
#include <QString>

class Embellish;
class MdiChild;
class QFileSystemWatcher;
class QObject;

class DocumentHost
{
public:
    virtual ~DocumentHost();

    // The object behind the host, so a document can tell when it is gone.
    virtual QObject* hostObject() = 0;
    // The editor the user works in, or null.
    virtual MdiChild* activeDocument() const = 0;
    // Every open editor document, in window order.
    virtual QList<MdiChild*> documents() const = 0;
    // The word-database service of the GUI thread, or null.
    virtual Embellish* wordEngine() const = 0;
    // Insert key: switches insert and overwrite mode of all documents and the status bar.
    virtual void toggleInsertOverwriteMode() = 0;
    // Opens the atom template "Templates/Atom/<name>.tqw" chosen from a document's word list.
    virtual void openAtomTemplate(const QString& name) = 0;
    // The selection of the active document changed.
    virtual void documentSelectionChanged() = 0;

    // The host documents fall back to; set by the main window while it exists.
    static DocumentHost* current();
    static void setCurrent(DocumentHost* host);
};

// Paths of the open documents and templates; the program's own writes take their path out first.
extern QFileSystemWatcher* fileSystemWatcher;
