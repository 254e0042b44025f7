#include "FileSearch.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>
#include <QTextDecoder>
#include <QVector>

#include <cstring>

#include "TextEncoding.h"

namespace {

const int BlockSize = 4 * 1024 * 1024;
const int DetectionWindow = 4 * 1024;
const int LinePiece = 256 * 1024;

const char* findBytes(const char* data, qint64 size, const QByteArray& needle)
{
    return static_cast<const char*>(memmem(data, size_t(size), needle.constData(), size_t(needle.size())));
}

const char* findByte(const char* data, qint64 size, char c)
{
    return size > 0 ? static_cast<const char*>(memchr(data, c, size_t(size))) : nullptr;
}

const char* findLastByte(const char* data, qint64 size, char c)
{
    return size > 0 ? static_cast<const char*>(memrchr(data, c, size_t(size))) : nullptr;
}

const char* findNonAscii(const char* data, qint64 size)
{
    for (qint64 i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return data + i;
    return nullptr;
}

// The encoding of the start of a line that a read cut, so that it may end
// inside a character: guessed on each end up to three bytes back, the guess
// that reads its sample best winning (valid ones first, the latest end on a tie).
QString guessCutSample(const char* data, int size, const QString& fallbackEncoding)
{
    QString best;
    TextEncoding::Plausibility bestScore;
    bool bestValid = false;
    for (int cut = 0; cut <= 3 && cut < size; ++cut) {
        const QByteArray sample = QByteArray::fromRawData(data, size - cut);
        const QString encoding = FileSearch::detectEncoding(sample, fallbackEncoding);
        const bool valid = TextEncoding::isValid(sample, encoding);
        const TextEncoding::Plausibility score =
            TextEncoding::plausibility(TextEncoding::decode(sample, encoding), encoding);
        if (best.isEmpty() || (valid && !bestValid) || (valid == bestValid && score.betterThan(bestScore))) {
            best = encoding;
            bestScore = score;
            bestValid = valid;
        }
    }
    return best;
}

// The longest of the words less one: what a slice must share with the next.
int sliceOverlap(const QStringList& words)
{
    int longest = 0;
    for (const QString& word : words)
        longest = qMax(longest, word.size());
    return qMax(0, longest - 1);
}

} // namespace

FileSearch::FileSearch(const QStringList& includeWords, const QStringList& excludeWords,
                       const QString& fallbackEncoding)
    : m_include(includeWords)
    , m_exclude(excludeWords)
    , m_fallback(fallbackEncoding)
    , m_overlap(sliceOverlap(includeWords + excludeWords))
    , m_line(LineCap, m_overlap)
{
    qDebug() << Q_FUNC_INFO << ", includeWords =" << includeWords << ", excludeWords =" << excludeWords
             << ", fallbackEncoding =" << fallbackEncoding;
}

QStringList FileSearch::splitWords(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    words.removeDuplicates();
    return words;
}

QString FileSearch::detectEncoding(const QByteArray& line, const QString& fallbackEncoding)
{
    qDebug() << Q_FUNC_INFO << ", line.size() =" << line.size() << ", fallbackEncoding =" << fallbackEncoding;
    if (TextEncoding::hasUtf8Bom(line)) {
        qDebug() << "hasBOM.";
        return QStringLiteral("UTF-8");
    }
    // The most plausible decoding wins; the box's encoding (UTF-16 needs its mark,
    // so it cannot be guessed) wins a tie, then the usual order, then the locale's.
    QStringList candidates;
    auto add = [&candidates](const QString& name) {
        QTextCodec* codec = TextEncoding::codec(name);
        if (!codec || TextEncoding::isUtf16(name))
            return;
        for (const QString& known : qAsConst(candidates))
            if (TextEncoding::codec(known) == codec)
                return;
        candidates << name;
    };
    add(fallbackEncoding);
    for (const QString& name : TextEncoding::candidateEncodings())
        add(name);
    add(QString::fromLatin1(QTextCodec::codecForLocale()->name()));
    const QString encoding = TextEncoding::guess(line, candidates);
    qDebug() << encoding;
    return encoding;
}

QStringList FileSearch::listFiles(const QString& dir, const QStringList& patterns,
                                  const std::function<bool(int)>& progress, bool* cancelled)
{
    qDebug() << Q_FUNC_INFO << ", dir =" << dir << ", patterns =" << patterns;
    if (cancelled)
        *cancelled = false;
    QVector<QRegularExpression> matchers;
    bool matchAll = patterns.isEmpty();
    for (const QString& pattern : patterns) {
        if (pattern == QLatin1String("*"))
            matchAll = true;
        matchers << QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                       QRegularExpression::CaseInsensitiveOption);
    }
    QStringList files;
    // No name filter on the iterator: it would walk the unmatched entries
    // without giving us a chance to report progress or cancel.
    QDirIterator it(dir, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    int visited = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        if (progress && ++visited % 256 == 0 && !progress(files.size())) {
            if (cancelled)
                *cancelled = true;
            break;
        }
        bool match = matchAll;
        const QString name = it.fileName();
        for (int i = 0; !match && i < matchers.size(); ++i)
            match = matchers.at(i).match(name).hasMatch();
        if (match)
            files << path;
    }
    return files;
}

QString FileSearch::highlight(const QString& text, const QStringList& words)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size() << ", words =" << words;
    static const QString open = QStringLiteral("<font style=\"background-color:#3399FF\">");
    static const QString close = QStringLiteral("</font>");
    QVector<int> next(words.size(), -2); // -2: not looked up yet, -1: no further occurrence
    QString html;
    int pos = 0;
    while (pos < text.size()) {
        int best = -1;
        int bestIndex = -1;
        for (int i = 0; i < words.size(); ++i) {
            if (words.at(i).isEmpty())
                continue;
            if (next[i] == -2 || (next[i] >= 0 && next[i] < pos))
                next[i] = text.indexOf(words.at(i), pos);
            if (next[i] >= 0 && (bestIndex < 0 || next[i] < bestIndex)) {
                best = i;
                bestIndex = next[i];
            }
        }
        if (best < 0)
            break;
        html += text.mid(pos, bestIndex - pos).toHtmlEscaped();
        html += open + words.at(best).toHtmlEscaped() + close;
        pos = bestIndex + words.at(best).size();
    }
    html += text.mid(pos).toHtmlEscaped();
    return html;
}

void FileSearch::chooseCodec(const QString& encoding)
{
    qDebug() << Q_FUNC_INFO << ", encoding =" << encoding;
    if (!m_codecCache.contains(encoding)) {
        QTextCodec* codec = TextEncoding::codec(encoding);
        if (!codec)
            codec = QTextCodec::codecForName("UTF-8");
        m_codecCache.insert(encoding, codec);
        m_anchorCache.insert(encoding, anchorBytes(codec));
    }
    m_line.setCodec(m_codecCache.value(encoding));
    m_anchor = m_anchorCache.value(encoding);
}

// The longest include word in the codec's bytes, looked for first. Only when
// every word can be written in the encoding (else empty): a decoded line holds
// a word exactly when its bytes hold the word's bytes (and then must still pass
// the decoded test).
QByteArray FileSearch::anchorBytes(QTextCodec* codec) const
{
    const QString key = QString::fromLatin1(codec->name());
    QByteArray anchor;
    for (const QString& word : m_include) {
        if (word.contains(QChar::ReplacementCharacter) || !TextEncoding::canEncode(word, key))
            return QByteArray();
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        const QByteArray bytes = codec->fromUnicode(word.constData(), word.size(), &state);
        if (bytes.size() > anchor.size())
            anchor = bytes;
    }
    return anchor;
}

FileSearch::Status FileSearch::searchFile(const QString& path, const QString& fileName,
                                          QList<SearchResult>* results)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path << ", fileName =" << fileName;
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        qWarning() << Q_FUNC_INFO << "cannot open" << path << file.errorString();
        return OpenFailed;
    }
    const QByteArray head = file.peek(64);
    if (head.isEmpty())
        return EmptyFile;
    const bool tqw = path.endsWith(QLatin1String(".tqw"));
    if (tqw && !head.startsWith("<?xml")) {
        // A template stored as Base64 of its XML: decode it, then search the decoded bytes.
        const QByteArray decoded = QByteArray::fromBase64(file.readAll());
        file.close();
        qDebug() << Q_FUNC_INFO << "searching the decoded template of" << path << "in memory";
        return searchData(decoded, fileName, true, results);
    }
    int bomLength = 0;
    const QString bom = TextEncoding::bomEncoding(head, &bomLength);
    if (TextEncoding::isUtf16(bom)) {
        file.read(bomLength);
        return searchUtf16(file, bom, fileName, results);
    }
    if (head.contains('\0')) {
        qDebug() << Q_FUNC_INFO << "skipping binary file" << path;
        return BinaryFile;
    }
    return searchDevice(file, fileName, tqw, results);
}

FileSearch::Status FileSearch::searchData(const QByteArray& data, const QString& fileName, bool forceUtf8,
                                          QList<SearchResult>* results)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size() << ", fileName =" << fileName;
    if (data.isEmpty())
        return EmptyFile;
    QByteArray copy(data);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return searchDevice(buffer, fileName, forceUtf8, results);
}

FileSearch::Status FileSearch::searchDevice(QIODevice& device, const QString& fileName, bool forceUtf8,
                                            QList<SearchResult>* results)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", forceUtf8 =" << forceUtf8;
    // Until a line with non-ASCII bytes shows the encoding, the lines are ASCII,
    // which every candidate encoding reads alike.
    chooseCodec(QStringLiteral("UTF-8"));
    m_encoding = forceUtf8 ? QStringLiteral("UTF-8") : QString();
    FileScan scan;
    scan.fileName = fileName;
    scan.results = results;
    scan.decided = forceUtf8;
    while (!scan.atEnd) {
        if (!keepGoing())
            return Cancelled;
        const int end = readBlock(device, scan);
        if (end < 0)
            break;
        if (!scan.decided)
            decideEncoding(scan, end);
        if (!scanBlock(scan, end))
            return ResultLimitReached;
        scan.buffer.remove(0, end);
        scan.base += end;
    }
    return Searched;
}

int FileSearch::readBlock(QIODevice& device, FileScan& scan)
{
    const int keep = scan.buffer.size();
    // Small files get a small buffer: allocating a whole block per file costs
    // more than reading it.
    const qint64 want = device.isSequential() ? BlockSize
                                              : qBound<qint64>(1, device.size() - device.pos(), BlockSize);
    scan.buffer.resize(keep + int(want));
    const qint64 got = device.read(scan.buffer.data() + keep, want);
    scan.buffer.resize(keep + int(qMax<qint64>(got, 0)));
    scan.atEnd = got < want || device.atEnd();
    const int size = scan.buffer.size();
    if (size == 0)
        return -1;
    const char* lastEnd = scan.atEnd ? nullptr : findLastByte(scan.buffer.constData(), size, '\n');
    return lastEnd ? int(lastEnd - scan.buffer.constData()) + 1 : size;
}

void FileSearch::decideEncoding(FileScan& scan, int end)
{
    const char* d = scan.buffer.constData();
    const char* high = findNonAscii(d, end);
    if (!high)
        return;
    const char* nl = findLastByte(d, high - d, '\n');
    const int from = nl ? int(nl - d) + 1 : 0;
    // A single short line is often valid in both GB18030 and UTF-8 (一 is D2 BB
    // in GB18030), so the guess looks at the lines that follow it as well, up
    // to DetectionWindow bytes.
    const char* lineEnd = findByte(high, end - (high - d), '\n');
    int to = lineEnd ? int(lineEnd - d) + 1 : end;
    const int window = qMin(end, from + DetectionWindow);
    if (const char* last = findLastByte(d + to, window - to, '\n'))
        to = int(last - d) + 1;
    if (!lineEnd && !scan.atEnd) // a line longer than the read: judged on its start
        m_encoding = guessCutSample(d + from, qMin(to, int(high - d) + DetectionWindow) - from, m_fallback);
    else
        m_encoding = detectEncoding(QByteArray::fromRawData(d + from, to - from), m_fallback);
    chooseCodec(m_encoding);
    scan.decided = true;
}

bool FileSearch::scanBlock(FileScan& scan, int end)
{
    const char* d = scan.buffer.constData();
    int pos = 0;
    // A line that goes on from the last block, or fills this one, is decoded
    // whole: its slices are counted from its start.
    const char* firstEnd = findByte(d, end, '\n');
    if (scan.lineOpen || (!firstEnd && !scan.atEnd)) {
        pos = firstEnd ? int(firstEnd - d) + 1 : end;
        if (!searchLine(scan, 0, pos, firstEnd || scan.atEnd))
            return false;
    }
    while (pos < end) {
        const char* hit = m_anchor.isEmpty() ? d + pos : findBytes(d + pos, end - pos, m_anchor);
        if (!hit)
            break;
        skipLines(scan, pos, int(hit - d));
        // Every line here is complete: the block ends after a line end, or at the file's end.
        const char* nl = findByte(hit, end - (hit - d), '\n');
        const int lineEnd = nl ? int(nl - d) + 1 : end;
        if (!searchLine(scan, pos, lineEnd, true))
            return false;
        pos = lineEnd;
    }
    skipLines(scan, pos, end);
    return true;
}

void FileSearch::skipLines(FileScan& scan, int& pos, int to) const
{
    const char* d = scan.buffer.constData();
    while (const char* nl = findByte(d + pos, to - pos, '\n')) {
        ++scan.lineNumber;
        pos = int(nl - d) + 1;
    }
}

bool FileSearch::searchLine(FileScan& scan, int from, int to, bool complete)
{
    if (!scan.lineOpen) {
        startLine(scan, scan.base + from);
        if (scan.base + from == 0 && TextEncoding::hasUtf8Bom(scan.buffer))
            from = qMin(to, 3); // the byte-order mark is not text
    }
    if (complete)
        to = decodingEnd(scan, from, to);
    // A long line is decoded a piece at a time, its slices checked while fresh.
    for (int piece = qMin(to - from, LinePiece); piece > 0; piece = qMin(to - from, LinePiece)) {
        m_line.addBytes(scan.buffer.constData() + from, piece);
        from += piece;
        if (!takeSlices(scan, complete && from == to))
            return false;
    }
    return !complete || !scan.lineOpen || takeSlices(scan, true);
}

int FileSearch::decodingEnd(const FileScan& scan, int from, int to) const
{
    // No character takes more than four bytes, nor a slice and its overlap more than this.
    const int reach = 4 * (LineCap + m_overlap + 2);
    if (m_anchor.isEmpty() || to - from <= reach)
        return to;
    const char* d = scan.buffer.constData();
    int last = from;
    for (const char* p = d + from; (p = findBytes(p, to - (p - d), m_anchor)); ++p)
        last = int(p - d);
    return qMin(to, last + reach);
}

void FileSearch::startLine(FileScan& scan, qint64 offset)
{
    m_line.startLine(offset);
    scan.lineOpen = true;
}

bool FileSearch::takeSlices(FileScan& scan, bool complete)
{
    if (complete)
        m_line.endLine();
    LineSlicer::Slice slice;
    while (m_line.nextSlice(&slice))
        if (!checkSlice(scan, slice))
            return false;
    if (complete) {
        scan.lineOpen = false;
        ++scan.lineNumber;
    }
    return true;
}

bool FileSearch::checkSlice(FileScan& scan, const LineSlicer::Slice& slice)
{
    int first = -1;
    if (!m_include.isEmpty()) {
        // The first word must begin in the slice's own part: one that begins
        // in the overlap belongs to the next slice.
        first = slice.text.indexOf(m_include.first());
        if (first < 0 || first >= slice.ownLength)
            return true;
        for (int i = 1; i < m_include.size(); ++i)
            if (!slice.text.contains(m_include.at(i)))
                return true;
    }
    for (const QString& word : qAsConst(m_exclude))
        if (slice.text.contains(word))
            return true;
    if (first < 0)
        return addHit(scan, slice.text.trimmed(), slice.column, -1);
    if (slice.wholeLine)
        return addHit(scan, slice.text.trimmed(), slice.column, m_line.lineOffset() + first);
    return addWordHits(scan, slice);
}

bool FileSearch::addWordHits(FileScan& scan, const LineSlicer::Slice& slice)
{
    const QString& word = m_include.first();
    const QString& text = slice.text;
    int previous = -1;
    for (int at = text.indexOf(word); at >= 0 && at < slice.ownLength; at = text.indexOf(word, at + 1)) {
        // The hit is opened at the first occurrence from where its text begins,
        // so its text begins after the occurrence before.
        int from = qMax(previous + 1, at - SnippetContext);
        int to = qMin(text.size(), at + word.size() + SnippetContext);
        if (text.at(from).isLowSurrogate())
            ++from;
        if (to < text.size() && text.at(to - 1).isHighSurrogate())
            ++to;
        while (from < at && text.at(from).isSpace())
            ++from;
        while (to > at + word.size() && text.at(to - 1).isSpace())
            --to;
        if (!addHit(scan, text.mid(from, to - from), slice.column + from, m_line.lineOffset() + slice.column + at))
            return false;
        previous = at;
    }
    return true;
}

bool FileSearch::addHit(FileScan& scan, const QString& text, qint64 column, qint64 position)
{
    SearchResult result(scan.fileName, scan.lineNumber, position, text, m_encoding);
    result.column = column;
    scan.results->append(result);
    return m_maxResults <= 0 || scan.results->size() < m_maxResults;
}

FileSearch::Status FileSearch::searchUtf16(QIODevice& device, const QString& encoding, const QString& fileName,
                                           QList<SearchResult>* results)
{
    qDebug() << Q_FUNC_INFO << ", encoding =" << encoding << ", fileName =" << fileName;
    QTextCodec* codec = TextEncoding::codec(encoding);
    if (!codec)
        return OpenFailed;
    m_encoding = encoding;
    FileScan scan;
    scan.fileName = fileName;
    scan.results = results;
    // Lines are split at U+000A after decoding: the byte 0A also occurs inside
    // characters (上 is 0A 4E in UTF-16LE).
    QTextDecoder decoder(codec, QTextCodec::IgnoreHeader);
    const qint64 markBytes = device.pos();
    qint64 decoded = 0; // characters decoded before this block
    while (!scan.atEnd) {
        if (!keepGoing())
            return Cancelled;
        const QByteArray bytes = device.read(BlockSize);
        scan.atEnd = bytes.isEmpty() || device.atEnd();
        const QString text = decoder.toUnicode(bytes);
        if (!searchText(scan, text, markBytes + 2 * decoded))
            return ResultLimitReached;
        decoded += text.size();
    }
    return Searched;
}

bool FileSearch::searchText(FileScan& scan, const QString& text, qint64 offset)
{
    int from = 0;
    while (from < text.size()) {
        const int nl = text.indexOf(QLatin1Char('\n'), from);
        const int to = nl < 0 ? text.size() : nl + 1;
        // The first line begins at the file's start, its byte-order mark part of
        // it, as in every other encoding.
        if (!scan.lineOpen)
            startLine(scan, scan.lineNumber == 1 ? 0 : offset + 2 * from);
        m_line.addText(text.mid(from, to - from));
        from = to;
        if (!takeSlices(scan, nl >= 0))
            return false;
    }
    // The file's last line, without a line end.
    return !scan.atEnd || !scan.lineOpen || takeSlices(scan, true);
}
