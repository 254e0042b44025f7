#include "SearchResult.h"

SearchResult::SearchResult(const QString& fileName, int lineNumber, qint64 position, const QString& text,
                           const QString& encoding)
    : fileName(fileName), lineNumber(lineNumber), position(position), text(text), encoding(encoding)
{
}

bool SearchResult::operator==(const SearchResult& other) const
{
    return fileName == other.fileName && lineNumber == other.lineNumber && position == other.position
        && text == other.text && encoding == other.encoding && column == other.column;
}
