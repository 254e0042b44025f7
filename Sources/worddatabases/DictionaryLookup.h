#pragma once
// The dictionary pane's look-ups in the dictionary database (table 词典: the
// word, then its explanation, in which "～" stands for the word) and the
// explanation text it shows.

#include <QString>
#include <QStringList>
#include <QVector>

class Embellish;

struct DictionaryEntry
{
    QString word;
    QString explanation;
};

class DictionaryLookup
{
public:
    // Rows of 词典 in row order whose word is LIKE the text (exactly) or LIKE the
    // text followed by "%" (words beginning with it). The text is bound, never
    // spliced into the statement; "%" and "_" typed by the user act as wildcards.
    // A missing or unreadable database gives no rows.
    static QVector<DictionaryEntry> search(Embellish& embellish, const QString& text, bool exactly);

    // The words of the rows, each once, in row order.
    static QStringList distinctWords(const QVector<DictionaryEntry>& entries);

    // Rich text of the rows: per row the word, ": " and the explanation, then an
    // empty line; every occurrence of `searched` (case-sensitive) and of "～" in
    // the texts is set in dark orange. All texts are escaped; line breaks in
    // an explanation stay line breaks.
    static QString explanationHtml(const QVector<DictionaryEntry>& entries, const QString& searched);
};
