#pragma once
// Paints paragraphs of an editor's document with text layouts of its own, placed
// the way the document's layout places them:
// - around a place the document's layout has not reached yet: after a new width
//   or a wrapping switch a tall document takes seconds to be laid out down to
//   the place the view shows, and meanwhile the view shows that place at once,
//   at the new width, with its lines where the document's layout will put them;
// - the selections of the editor's painting, for paragraphs the editor's own
//   painting leaves out.

#include <QList>
#include <QRect>
#include <QTextEdit>
#include <QTextLayout>
#include <QVector>

class QTextBlock;
class QTextDocument;

class LayoutPreview
{
public:
    // Whether the document's paragraphs all lie in its root frame: tables and
    // other frames are laid out otherwise, and are not previewed.
    static bool canPaint(const QTextDocument* document);
    // Paints the area of the editor's viewport with the line holding the text
    // position at the viewport's height top, and the paragraphs around it.
    static void paint(QTextEdit* editor, int position, qreal top, const QRect& area);

    // The selections of the editor's painting: the extra selections first, then
    // the user's selection.
    static QList<QTextEdit::ExtraSelection> paintedSelections(const QTextEdit* editor);
    // The selections that touch block, as format ranges of layout, which holds
    // the block's lines.
    static QVector<QTextLayout::FormatRange> selectionsInBlock(const QList<QTextEdit::ExtraSelection>& selections,
                                                               const QTextBlock& block, const QTextLayout* layout);
};
