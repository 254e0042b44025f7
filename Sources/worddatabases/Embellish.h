#pragma once
// The word-database engine: one SQLite connection per instance, pointed at the
// word database a caller asks for, and the word lookups on it. Each instance
// serves one thread: the main window keeps one for the GUI thread, and every
// marking worker makes its own.

#include <QHash>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVector>
#include <random>
#include <vector>

#include "ConfusableWords.h"
#include "PersonalNames.h"
#include "Segment.h"
#include "WordLookupTable.h"

// Atom-template markers ("[形容…]", "[描写…]", "[指代…]", "[…语境]"), filled on
// the GUI thread by the template library; lookups only read it, so it must not
// change while a marking run is going.
extern QStringList atomTemplateMarkers;

// What line segmentation takes from the settings. Read once for a line (or
// once for a whole run) and handed down, so every piece of a line is cut by
// the same rules.
struct SegmentationSettings
{
    bool digitsAsSymbol = true; // "EmbellishDigitsAsSymbol": digits split words
    bool alphaAsSymbol = true;  // "EmbellishAlphaAsSymbol": ASCII letters split words
    bool longestMatch = false;  // "EmbellishTryMaxNewWordLength" non-zero
    int maxWordLength = 4;      // "MaxWordLength", the longest candidate in longest-match mode

    static SegmentationSettings read();
    // Does line[at] end a word for category type? Codes 35, 80, 82 and 96
    // have no delimiters: every character takes part in their lookups.
    bool isDelimiter(const QString& line, int at, uint type) const;
    static bool hasDelimiters(uint type);
    // The longest candidate a line of category type is cut with.
    int longestCandidate(uint type) const;
};

class Embellish : public QObject
{
    Q_OBJECT

public:
    explicit Embellish(QObject* parent = nullptr);
    ~Embellish() override;

    // Points the connection at the database of a code (for 128 at the file
    // databaseName), opens it when needed and returns the connection, open or not.
    QSqlDatabase getDatabase(uint databaseType, const QString& databaseName);
    // "./Dictionary/<table>.db" of a code; empty for 128 and, after an error
    // box on the GUI thread (a log line elsewhere), for codes without a database.
    QString getDatabaseFileName(uint databaseType);
    // Compacts the current database when at least 1 % of its pages are free.
    // Only the GUI thread's read-write connection compacts, with a rollback journal.
    void vacuumDatabase();
    // Appends the first column of every row of 高频字 to highFrequencyCharacters.
    void getHighFrequencyCharacters();
    // The first column of every row of 自定义词, concatenated in row order.
    QString getErrorProneCharacters();

    // Is word a hit in category type? newWord (may be null) receives the word
    // itself for list categories, else a replacement drawn from the sorted
    // candidates; candidates (may be null) receives the candidates drawn from.
    bool getNewWord(const QString& word, QString* newWord, uint type, QSet<QString>* candidates = nullptr);
    // Every replacement candidate of word for the pop-ups and word-list views
    // (types 2, 18, 32 and 64), sorted; for 64 the word itself comes first.
    QStringList getNewWordList(const QString& word, uint newWordType, bool exactly);
    // The atom-template markers that exist for word, in marker order.
    QStringList matchAtomTemplate(const QString& word) const;

    // Makes lookups of a catalogue code read an in-memory copy of its table,
    // shared with every other instance that loads the same file. Same results
    // as the SQL lookups, far faster; meant for marking runs.
    bool loadWordTable(uint type);
    void unloadWordTables();
    bool hasWordTable(uint type) const { return m_tables.contains(type); }

    // Cuts a line against category type, scanning it backward and growing each
    // candidate leftward (Embellish_Segmentation.cpp). The pieces go in front of
    // what the lists hold, in text order: found words marked in the first list,
    // with their replacements in the second; then neighbouring unfound pieces of
    // the whole lists are joined. Segment texts are plain text.
    void embellishString(const QString& str, QList<Segment>* marked, QList<Segment>* embellished, uint type);
    void embellishString(const QString& str, QList<Segment>* marked, QList<Segment>* embellished, uint type,
                         const SegmentationSettings& settings);
    // Puts text in front of the given lists (either may be null); an unfound piece
    // of codes 33 and 36 goes in one character at a time, a high-frequency
    // character counting as found.
    void appendSegment(const QString& text, bool matched, QList<Segment>* marked, QList<Segment>* embellished,
                       const QString& category, uint type);
    // Joins neighbouring unfound segments of the first list, and the same
    // positions of the second, in one pass.
    static void mergeSegments(QList<Segment>* marked, QList<Segment>* embellished);
    // The category text segments of a code carry: the table name, "扩写" for 2.
    static QString categoryName(uint type);

    // Replacements are drawn from this instance's own generator, seeded from
    // the program's random source at the first draw unless seeded here.
    void seedRandom(quint32 seed);

    QString connectionName() const { return m_connectionName; }
    // Worker instances open their databases read-only.
    bool isReadOnly() const { return m_readOnly; }

    QSqlDatabase database;
    QString highFrequencyCharacters;
    int maxWordLength = 4;
    int minWordLength = 2;

private:
    struct ScanRules;
    struct ScanOutput;
    // Scans line[first .. last]; nested calls scan a part of the same line.
    void scanLine(const QString& line, int first, int last, const ScanRules& rules, ScanOutput& out);
    // Does the black-list hit line[start .. start + length - 1] read as a wrong
    // form in its context (taken whole, or with its correction put in), or as
    // the meeting of correct words (这家|俱乐部)?
    bool readsAsWrongForm(const QString& line, int start, int length, const ScanRules& rules);
    // Does a listed word run from before into the phrase at [start, start + length)
    // of a stretch (a black-list hit of three characters or more, no idiom's)?
    // rows are the white-list rows of the stretch's pieces, as readsAsWrongForm reads them.
    bool runsIntoPhrase(int start, int length, const QVector<int>& rows, const QVector<WordRow>& corrections);
    // Does stretch[start .. start + length - 1] hold a character that stands
    // alone in the text as written and is seldom a word of its own?
    bool leavesStray(const QString& stretch, int start, int length);
    // Does a white-list word standing in line cover line[at]?
    bool inListedWord(const QString& line, int at);
    // Loads what readsAsWrongForm reads by: the white list and people's names.
    void prepareReading();
    // Is stretch[start .. start + length - 1], no word and listed by no row, a
    // white-list word with one character taken for another (Embellish_Guesses.cpp)?
    // The likeliest such word goes to *correction.
    bool guessMisspelling(const QString& stretch, int start, int length, QString* correction);
    // The cost of each piece of text (white-list word, name, single
    // character) that may be read, by start and length (INT_MAX where none);
    // only those over text[from .. to - 1] when from is not negative.
    void pieceCosts(const QString& text, int from, int to, QVector<int>& costs);
    // The cost of the cheapest reading of a text of size characters, by the
    // costs of its pieces, where no piece may end inside text[from .. to - 1].
    static int cheapestReading(const QVector<int>& costs, int size, int from, int to);
    // Does a person's title follow stretch[start .. start + length - 1], and a
    // surname start it or stand just before it (于广辉先生)?
    bool beforeTitle(const QString& stretch, int start, int length) const;
    // The words text[0 .. length - 1] may have been meant as that could read
    // better than it in some context: cheaper than the characters written,
    // each a word of its own, with the slip's cost added.
    QVector<ConfusableWords::Guess> slipGuesses(const QChar* text, int length);
    // Does stretch[start .. start + length - 1] read as a phrase of words, or
    // belong to a black-list row's wrong form, rather than as a slip?
    bool readsAsPhrase(const QString& stretch, int start, int length);
    // The words a stretch that is no word may have been meant as, likeliest first.
    QStringList guessedCorrections(const QString& word);
    // Is line[start .. start + length - 1], ending in 的, one whose place
    // needs 得 (跑的很快) or 地 (慢慢的走了) (Embellish_Grammar.cpp)? The
    // stretch with the right particle goes to *correction.
    bool particleSlip(const QString& line, int start, int length, QString* correction);
    // Is line[start .. start + 1] a number or a pointing word and a measure
    // word of the same sound as the one its noun takes (一颗老槐树)? The right
    // pair goes to *correction.
    bool measureSlip(const QString& line, int start, int length, QString* correction);
    // Does a white-list word end at line[at], starting no earlier than line[from]?
    bool endsListedWord(const QString& line, int from, int at);
    // The same number with the measure words of its sound, as its pop-up offers them.
    static QStringList measureCorrections(const QString& word);
    // The same stretch with 得 or 地 for its 的, as its pop-up offers them.
    static QStringList particleCorrections(const QString& word);
    // The stretch around line[start .. start + length - 1] that a hit is judged
    // in: up to a few characters on each side, never across a delimiter.
    // Could text[0 .. length - 1] be a slip at all, whatever its context? The
    // stretches that cannot are remembered.
    bool mayBeGuessed(const QChar* text, int length);
    // guessMisspelling on the stretch around line[start .. start + length - 1].
    bool guessAt(const QString& line, int start, int length, const ScanRules& rules, QString* correction);
    static QString contextOf(const QString& line, int start, int length, const ScanRules& rules, int* hitStart);
    // Is line[start .. start + length - 1] near Latin letters or the signs of
    // code and markup (%s, <tag>, a_b, $HOME): technical text, whose terms no
    // word list knows?
    static bool inTechnicalText(const QString& line, int start, int length);
    // Does a place or a language end the piece of line that line[end - 1]
    // belongs to within a few characters (坤西育府, 僧加罗语)?
    static bool beforeNameEnding(const QString& line, int end, const ScanRules& rules);

    // Points the connection at a file and opens it when needed; the shared
    // body of getDatabase, quiet unless lookup logging is on.
    void selectFile(const QString& fileName);
    void openDatabase();
    // Lookups: the bound, prepared query of a code on the current connection.
    QSqlQuery* statement(uint type, bool prefix);
    // Rows of a pair or correction code that match word (SQL or in-memory).
    QVector<WordRow> matchingRows(uint type, const QString& word, bool prefix);
    bool containsWord(uint type, const QString& word);
    void releaseStatements();
    void showError(const QString& text) const;

    QString m_connectionName;
    bool m_readOnly = false;
    QHash<quint64, QSqlQuery*> m_statements;
    QHash<uint, WordLookupTable::Pointer> m_tables;
    std::mt19937 m_random;
    bool m_randomSeeded = false;
    bool m_readingPrepared = false; // the black list's judge has tried to load what it reads by
    PersonalNames m_names;
    ConfusableWords::Pointer m_confusable;
    std::vector<quint64> m_unguessed; // stretches without a guess, by their key (0: none)
    WordLookupTable::Pointer m_places; // guesses are no place names
    WordLookupTable::Pointer m_idioms; // a row correcting to an idiom stands on its own
    WordLookupTable::Pointer m_measureWords;
};
