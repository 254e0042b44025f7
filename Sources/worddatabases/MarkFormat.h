#pragma once
// The format of a mark: what a check or an embellishing run gives a piece it
// found (a coloured, underlined link whose target is the piece's own text, "#"
// and a number). Marks carry a property that only marking sets, which tells
// them apart from links the user made, whatever those point to.
//
// The property does not survive HTML (a saved ".tqd", a paste). A link read
// back from HTML is taken for a mark when it has every feature marking gives
// one: its target is exactly its own text followed by "#" and digits, and it is
// drawn in a mark colour (red or blue). A link of the user's would need all of
// that at once to be mistaken for one.

#include <QString>
#include <QTextFormat>
#include <functional>

class QTextDocument;

class MarkFormat
{
public:
    // The character-format property only marks carry.
    static constexpr int Property = QTextFormat::UserProperty + 0x4D4B;

    // A mark's format: link to href, underlined, in color.
    static QTextCharFormat make(const QString& href, const QString& color);
    static bool isMark(const QTextCharFormat& format);
    // format without what makes it a mark (link, colour, underline, the
    // property); everything else, such as bold, stays.
    static QTextCharFormat plain(const QTextCharFormat& format);

    // Makes the marks between from and to (to -1: the end) plain text, in one
    // edit step when there are any.
    static void removeMarks(QTextDocument* document, int from = 0, int to = -1);
    // Leaves the marks their colour and underline but no link, for output
    // outside the editor, in one edit step.
    static void unlinkMarks(QTextDocument* document);
    // Gives the mark property back to the links between from and to that have
    // a mark's shape (see above), in one edit step when there are any.
    static void recognise(QTextDocument* document, int from = 0, int to = -1);
    // Does a link with this text, target and format have a mark's shape?
    static bool looksLikeMark(const QString& text, const QString& href, const QTextCharFormat& format);

private:
    static void changeMarks(QTextDocument* document, int from, int to,
                            const std::function<QTextCharFormat(const QTextCharFormat&)>& change);
};
