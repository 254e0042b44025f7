#include "MarkTyping.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextEdit>

#include "MarkFormat.h"

bool MarkTyping::isPrintableInput(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isPrint())
            return false;
    return true;
}

bool MarkTyping::writesText(const QKeyEvent* event)
{
    return isPrintableInput(event) || (event->text() == QLatin1String("\t") && event->modifiers() == Qt::NoModifier);
}

void MarkTyping::typeWithoutMark(QTextEdit* editor, const QTextCharFormat& taken, const std::function<void()>& deliver)
{
    if (!MarkFormat::isMark(taken)) {
        deliver();
        return;
    }
    QTextCursor cursor = editor->textCursor();
    const int start = cursor.selectionStart();
    // One step for Undo: the text typed over and what replaced it.
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.setCharFormat(MarkFormat::plain(taken));
    editor->setTextCursor(cursor);
    deliver();
    // Whichever way the input went in (overwrite mode, an input method),
    // nothing it wrote is part of a mark.
    MarkFormat::removeMarks(editor->document(), start, editor->textCursor().position());
    cursor.endEditBlock();
}

void MarkTyping::paste(QTextEdit* editor, const QMimeData* source, const std::function<void()>& deliver)
{
    const bool rich = editor->acceptRichText() && source->hasHtml();
    const int start = editor->textCursor().selectionStart();
    QTextCursor step(editor->document());
    step.beginEditBlock();
    deliver();
    if (rich)
        MarkFormat::recognise(editor->document(), start, editor->textCursor().position());
    else
        MarkFormat::removeMarks(editor->document(), start, editor->textCursor().position());
    step.endEditBlock();
}
