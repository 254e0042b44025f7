#pragma once
// The engine of find in files, without widgets: lists the files of a tree,
// guesses each file's encoding and collects the lines that hold every include
// word and no exclude word.
//
// Files are read in blocks, never whole (except Base64 templates, which must
// be decoded first). Where the include words can be encoded in the file's
// encoding the blocks are scanned for their bytes and only candidate lines
// are decoded; that finds exactly the lines a line-by-line decode would.
// Lines longer than a block are decoded whole, as they are read.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "LineDecoder.h"
#include "SearchResult.h"

class QIODevice;
class QTextCodec;

class FileSearch
{
public:
    enum Status { Searched, EmptyFile, BinaryFile, OpenFailed, Cancelled, ResultLimitReached };

    // Lines longer than this many characters (UTF-16 units) are searched in
    // slices of this size, all with the line's number, so that a file without
    // line ends cannot exhaust memory. Each slice also holds the first
    // characters of the next one, as many as the longest word less one: a word
    // across the end of a slice is whole in it. A slice that holds every
    // include word and no exclude word gives a hit for each occurrence of the
    // first include word that begins in it (not in the part it shares with the
    // next), so every occurrence is one hit. Such a hit's text is the
    // occurrence with up to SnippetContext characters on either side, after
    // the occurrence before; it begins and ends on whole characters, and its
    // column tells where it begins in the line. Without include words each
    // slice is one hit, its text the slice.
    static const int LineCap = 64 * 1024;
    static const int SnippetContext = 60;

    FileSearch(const QStringList& includeWords, const QStringList& excludeWords, const QString& fallbackEncoding);

    // Called between blocks and files; returning false cancels the search.
    void setKeepGoing(const std::function<bool()>& keepGoing) { m_keepGoing = keepGoing; }
    // At most this many hits are collected (0: no limit).
    void setMaxResults(int maxResults) { m_maxResults = maxResults; }

    // Searches one file; hits are appended to results with fileName as their file name.
    Status searchFile(const QString& path, const QString& fileName, QList<SearchResult>* results);
    // Searches data already in memory (e.g. a decoded template).
    Status searchData(const QByteArray& data, const QString& fileName, bool forceUtf8, QList<SearchResult>* results);

    // Words of a box's text: split on spaces, empty parts dropped, duplicates dropped (first kept).
    static QStringList splitWords(const QString& text);
    // The encoding of a file from its first line holding non-ASCII bytes (and the
    // complete lines after it within 4 KiB): the byte-order mark, else the most
    // plausible decoding among the fallback, GB18030, UTF-8, Big5, Big5-HKSCS and
    // the locale's encoding, a tie going to the earlier one.
    static QString detectEncoding(const QByteArray& line, const QString& fallbackEncoding);
    // Every file (never a folder) below dir whose name matches one of the patterns
    // (letter case ignored), skipping hidden entries and not entering symbolic links
    // to folders. progress gets the count so far every few hundred entries and
    // returns false to cancel (*cancelled is then set).
    static QStringList listFiles(const QString& dir, const QStringList& patterns,
                                 const std::function<bool(int)>& progress = {}, bool* cancelled = nullptr);
    // The text HTML-escaped, with every occurrence of the words wrapped in a
    // highlight; one pass over the text, earliest match first, list order on ties.
    static QString highlight(const QString& text, const QStringList& words);

private:
    // The pass over one file. The steps below that return bool give false when
    // the hit limit is reached.
    struct FileScan
    {
        QString fileName;
        QList<SearchResult>* results = nullptr;
        QByteArray buffer;     // bytes read and not searched yet, from a line's start
        qint64 base = 0;       // file offset of buffer[0]
        int lineNumber = 1;    // of the line at the search's place
        bool atEnd = false;    // nothing more to read
        bool decided = false;  // the encoding is known (until then the bytes were ASCII)
        bool lineOpen = false; // a line is being decoded and goes on in the next bytes
    };

    Status searchDevice(QIODevice& device, const QString& fileName, bool forceUtf8, QList<SearchResult>* results);
    Status searchUtf16(QIODevice& device, const QString& encoding, const QString& fileName,
                       QList<SearchResult>* results);
    // Appends the device's next block to the buffer and returns how much of it
    // can be searched now (complete lines, or everything at the end or when no
    // line ends in it), -1 when nothing is left.
    int readBlock(QIODevice& device, FileScan& scan);
    // Guesses the encoding from the first bytes before `end` that are not ASCII, if any.
    void decideEncoding(FileScan& scan, int end);
    // Searches buffer[0, end): the lines holding the anchor's bytes, or every
    // line without an anchor, and a line longer than a block whole.
    bool scanBlock(FileScan& scan, int end);
    // Counts the lines that end in buffer[pos, to); pos moves to the start of the last one.
    void skipLines(FileScan& scan, int& pos, int to) const;
    // Decodes buffer[from, to), the current line or (when not `complete`) its part so far.
    bool searchLine(FileScan& scan, int from, int to, bool complete);
    // Where decoding the end of a line in buffer[from, to) may stop: after the
    // slice (and overlap) that holds the last anchor, no slice can give a hit.
    int decodingEnd(const FileScan& scan, int from, int to) const;
    // Searches the lines of a block of decoded UTF-16 text that begins at byte `offset`.
    bool searchText(FileScan& scan, const QString& text, qint64 offset);
    void startLine(FileScan& scan, qint64 offset);
    // Checks the slices of the current line that are ready, after ending the line when `complete`.
    bool takeSlices(FileScan& scan, bool complete);
    // Records the slice's hits when it matches.
    bool checkSlice(FileScan& scan, const LineSlicer::Slice& slice);
    // One hit for each occurrence of the first include word in the slice's own part.
    bool addWordHits(FileScan& scan, const LineSlicer::Slice& slice);
    bool addHit(FileScan& scan, const QString& text, qint64 column, qint64 position);
    // Decodes with the encoding from here on and pre-scans for its anchor.
    void chooseCodec(const QString& encoding);
    QByteArray anchorBytes(QTextCodec* codec) const;
    bool keepGoing() const { return !m_keepGoing || m_keepGoing(); }

    QStringList m_include;
    QStringList m_exclude;
    QString m_fallback;
    std::function<bool()> m_keepGoing;
    int m_maxResults = 0;

    int m_overlap; // what a slice shares with the next: the longest word less one

    // The current file's encoding as the hits record it, and the include words
    // in its bytes (empty when they cannot be used to pre-scan).
    QString m_encoding;
    QByteArray m_anchor;
    QHash<QString, QByteArray> m_anchorCache;  // by encoding name as asked
    QHash<QString, QTextCodec*> m_codecCache;
    LineDecoder m_line; // the current line's decoder, in the current file's encoding
};
