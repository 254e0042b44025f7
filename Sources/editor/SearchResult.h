#pragma once
// One hit of a search in files.

#include <QList>
#include <QMetaType>
#include <QString>

class SearchResult
{
public:
    SearchResult() = default;
    SearchResult(const QString& fileName, int lineNumber, qint64 position, const QString& text,
                 const QString& encoding = QString());

    QString fileName;     // the path as the directory walk listed it
    int lineNumber = 0;   // counted from 1
    qint64 position = -1; // byte offset of the line plus the first include word's index; -1 without include words
    QString text;         // the decoded line, trimmed; in a line too long to show, the text around the hit
    QString encoding;     // what the file was decoded as; empty while it showed only ASCII
    qint64 column = 0;    // where the text begins in the decoded line (UTF-16 units): 0 but in a long line

    bool operator==(const SearchResult& other) const;
};

Q_DECLARE_METATYPE(SearchResult)
