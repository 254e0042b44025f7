// Interim bodies of the editor the shell needs before the rest of the editor exists.

// --- Editor document: the user word-list highlighter -------------
// The highlighter comes with the word databases; until then these only log their call.

#include "MdiChild.h"

#include <QDebug>

void MdiChild::resetHighlighter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MdiChild::toggleHighlighter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
