#pragma once
// One piece of a line cut against a word category: the text as it stands in
// the document (plain text; whoever shows it escapes it), the category that
// found it (the word table's name, empty for a line end) and whether it was
// found.

#include <QList>
#include <QString>

struct Segment
{
    QString text;
    QString category;
    bool matched = false;

    bool operator==(const Segment& other) const
    {
        return matched == other.matched && text == other.text && category == other.category;
    }
    bool operator!=(const Segment& other) const { return !(*this == other); }
};
Q_DECLARE_TYPEINFO(Segment, Q_MOVABLE_TYPE);

using SegmentList = QList<Segment>;
