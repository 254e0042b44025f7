#pragma once
// The words of a text and how often each occurs, for the word cloud.
//
// Runs of Chinese ideographs are cut into words by the most probable path
// through a word list ordered by frequency (a word's cost grows with the log
// of its rank; a character that starts no listed word is a word of its own).
// Runs of Latin letters and digits are words as they stand. Single Chinese
// characters, frequent function words and bare numbers are left out.

#include <QString>
#include <QVector>

#include <string_view>
#include <unordered_map>

class CloudWords
{
public:
    struct Word
    {
        QString text;
        int count;
    };

    // Reads the word list: one word per line in the first tab-separated
    // column, most frequent first; "#" lines and the heading "Word" skipped.
    bool loadWordList(const QString& fileName);

    // The counted words of the text, most frequent first (ties in order of
    // first appearance).
    QVector<Word> count(const QString& text) const;

    // The words of one run of Chinese ideographs, in order.
    QVector<QString> cut(const QString& run) const;

private:
    double wordCost(std::u16string_view word) const;

    QString m_storage; // every listed word, one after another
    std::unordered_map<std::u16string_view, int> m_ranks;
    int m_longest = 1;
};

bool isChineseIdeograph(uint c);
