#pragma once
// The engine of find in files, without widgets: lists the files of a tree,
// guesses each file's encoding and collects the lines that hold every include
// word and no exclude word.
//
// Files are read in blocks, never whole (except Base64 templates, which must
// be decoded first). Where the include words can be encoded in the file's
// encoding the blocks are scanned for their bytes and only candidate lines
// are decoded; that finds exactly the lines a line-by-line decode would.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "SearchResult.h"

class QIODevice;
class QTextCodec;

class FileSearch
{
public:
    enum Status { Searched, EmptyFile, BinaryFile, OpenFailed, Cancelled, ResultLimitReached };

    // Lines longer than this many bytes (characters for UTF-16) are searched in
    // slices of this size, all with the line's number, so that a file without
    // line ends cannot exhaust memory. A slice's text begins and ends where
    // characters do, and its hit knows where in the line the slice begins.
    static const int LineCap = 64 * 1024;

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
    Status searchDevice(QIODevice& device, const QString& fileName, bool forceUtf8, QList<SearchResult>* results);
    Status searchUtf16(QIODevice& device, const QString& encoding, const QString& fileName,
                       QList<SearchResult>* results);
    // Checks one decoded line (or slice of a line, `lineColumn` characters into
    // it) and records it when it matches; false when the hit limit is reached.
    bool checkLine(const QString& line, const QString& fileName, int lineNumber, qint64 offset, qint64 lineColumn,
                   QList<SearchResult>* results);
    void chooseCodec(const QString& encoding);
    bool keepGoing() const { return !m_keepGoing || m_keepGoing(); }

    QStringList m_include;
    QStringList m_exclude;
    QString m_fallback;
    std::function<bool()> m_keepGoing;
    int m_maxResults = 0;

    // The decoder of the current file and the include words in its bytes (empty
    // when they cannot be used to pre-scan).
    QTextCodec* m_codec = nullptr;
    QString m_encoding; // the current file's encoding as the hits record it
    QByteArray m_anchor;
    QHash<QString, QByteArray> m_anchorCache;  // by encoding name as asked
    QHash<QString, QTextCodec*> m_codecCache;
};
