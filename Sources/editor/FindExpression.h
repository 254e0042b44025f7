#pragma once
// The regular expression of a find text. Find texts are written in QRegExp's
// syntax (RegExp2, greedy); they are matched by QRegularExpression, whose engine
// counts ".*c" over a paragraph of 40,000 characters in a millisecond where
// QRegExp takes twenty seconds that nothing can interrupt. The text is rewritten
// so that what the writer types keeps its meaning: \xhhhh and \0ooo codes, \v,
// \w, \d, \s and \b over Unicode letters, marks and digits, "$" at the very end
// only, {,n}, ranges written backwards, escaped letters that stand for
// themselves, and back-references to a group that matched nothing, which match
// the empty text.
//
// Two things follow the new engine: of several ways to match at a place the
// first one is taken, as in Perl ("a|ab" finds "a"), where QRegExp took the
// longest; and a character outside the Basic Multilingual Plane is one character
// (an emoji is never split in two).

#include <QRegularExpression>
#include <QString>

class FindExpression
{
public:
    // The expression that finds `find`: the text itself, or, with `regexp`, the
    // expression it writes. Invalid when QRegExp would refuse the text.
    static QRegularExpression compile(const QString& find, Qt::CaseSensitivity cs, bool regexp);

    // The pattern for QRegularExpression that means what `pattern` means to
    // QRegExp; a null string when QRegExp refuses it.
    static QString translate(const QString& pattern);
};
