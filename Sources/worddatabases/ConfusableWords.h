#pragma once
// The white list's words that a written stretch may have been meant as: the
// same length, one character different, and that character one writers take
// for the one written (the same syllable, typed with the same keys; a nasal
// ending heard the other way, 因/应; a character that looks alike, 栽/裁).
// The black-list check guesses misspellings no row lists with it. Built once
// per white-list table and shared; immutable, so any thread may read it.
//
// Costs are -ln(share of all words) x 10: a word's from its white-list row,
// a single character's from how often it is a word of its own.

#include <QHash>
#include <QSharedPointer>
#include <QString>
#include <QVector>
#include <climits>
#include <vector>

#include "WordLookupTable.h"

class ConfusableWords
{
public:
    using Pointer = QSharedPointer<const ConfusableWords>;

    struct Guess
    {
        QString word;
        int wordCost = 0;      // the word's own cost
        int confusionCost = 0; // what taking the written character for the meant one costs
    };

    // Of the white list given (code 33 loaded into memory); the last one built
    // is kept while its table is the same.
    static Pointer shared(const WordLookupTable::Pointer& whiteList);

    // The words text[0 .. length - 1] may have been meant as, cheapest first,
    // those whose word and confusion cost less than maxCost, the word at most
    // maxWordCost and the confusion at most maxConfusion.
    QVector<Guess> guesses(const QChar* text, int length, int maxCost, int maxWordCost = INT_MAX,
                           int maxConfusion = INT_MAX) const;

    // A number that stands for text[0 .. length - 1] (two to four characters)
    // and for no other text of that length.
    static quint64 textKey(const QChar* text, int length);

    // What writing `written` where `meant` belongs costs; -1 when writers do
    // not take the one for the other.
    static int confusionCost(QChar written, QChar meant);
    // The cost of a character as a word of its own.
    static int characterCost(QChar c);
    // The cost of the white-list word in a row (from 1).
    static int rowCost(int row);
    // Could the character be part of a guessed word?
    static bool isIdeograph(QChar c) { return c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF; }

private:
    explicit ConfusableWords(const WordLookupTable& whiteList);

    struct Entry
    {
        quint64 key;
        ushort meant; // the character the key leaves out
        int row;
    };

    // Numbers to numbers, in one flat array probed in order: a lookup reads
    // one or two neighbouring cache lines (keys are never 0).
    // Before it, a bit set (two bits a key, in one 64-bit word) that says at
    // the cost of one read from the processor's cache that most keys are absent.
    class FlatMap
    {
    public:
        void reserve(int count);
        void insert(quint64 key, int value);
        int value(quint64 key) const; // -1 when absent
    private:
        struct Slot
        {
            quint64 key = 0;
            int value = -1;
        };
        std::vector<Slot> m_slots;
        std::vector<quint64> m_bits;
        quint64 m_mask = 0;
        quint64 m_bitMask = 0;
    };

    QVector<Entry> m_entries; // sorted by key
    FlatMap m_firstEntry;     // key -> its first entry
    // A word with one character left out (its frame), as one bit of a set:
    // most stretches have no word's frame, found with one read.
    std::vector<quint64> m_frames;
    FlatMap m_words;          // the words themselves, as keys without a tag -> their row (0: a known word
                              // the white list leaves out)
};
