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
#include <optional>

#include "TextEncoding.h"

namespace {

const int BlockSize = 4 * 1024 * 1024;
const int DetectionWindow = 4 * 1024;

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

} // namespace

FileSearch::FileSearch(const QStringList& includeWords, const QStringList& excludeWords,
                       const QString& fallbackEncoding)
    : m_include(includeWords), m_exclude(excludeWords), m_fallback(fallbackEncoding)
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
    auto cached = m_anchorCache.constFind(encoding);
    if (cached != m_anchorCache.constEnd()) {
        m_codec = m_codecCache.value(encoding);
        m_anchor = cached.value();
        return;
    }
    m_codec = TextEncoding::codec(encoding);
    if (!m_codec)
        m_codec = QTextCodec::codecForName("UTF-8");
    const QString key = QString::fromLatin1(m_codec->name());
    // The longest include word in the file's bytes is looked for first. Only
    // when every word can be written in the encoding: a decoded line holds a
    // word exactly when its bytes hold the word's bytes (and then must still
    // pass the decoded test).
    QByteArray anchor;
    for (const QString& word : qAsConst(m_include)) {
        if (word.contains(QChar::ReplacementCharacter) || !TextEncoding::canEncode(word, key)) {
            anchor.clear();
            break;
        }
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        const QByteArray bytes = m_codec->fromUnicode(word.constData(), word.size(), &state);
        if (bytes.size() > anchor.size())
            anchor = bytes;
    }
    m_anchorCache.insert(encoding, anchor);
    m_codecCache.insert(encoding, m_codec);
    m_anchor = anchor;
}

bool FileSearch::checkLine(const QString& line, const QString& fileName, int lineNumber, qint64 offset,
                           qint64 lineColumn, QList<SearchResult>* results)
{
    for (const QString& word : qAsConst(m_include))
        if (!line.contains(word))
            return true;
    for (const QString& word : qAsConst(m_exclude))
        if (line.contains(word))
            return true;
    const qint64 position = m_include.isEmpty() ? -1 : offset + line.indexOf(m_include.first());
    SearchResult result(fileName, lineNumber, position, line.trimmed(), m_encoding);
    result.column = lineColumn;
    results->append(result);
    return m_maxResults <= 0 || results->size() < m_maxResults;
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
    bool decided = forceUtf8;
    m_encoding = forceUtf8 ? QStringLiteral("UTF-8") : QString();
    QByteArray buf;
    qint64 base = 0;          // file offset of buf[0]
    qint64 lineStart = 0;     // file offset where the current line begins
    int lineNumber = 1;
    bool eof = false;

    // The current line is decoded from its start by one conversion, whose state
    // keeps a character that a slice's end cuts for the next slice: every slice
    // then begins where a character begins, and the characters before it are
    // counted. Slices that hold no hit are decoded as well, but only on lines
    // longer than a slice.
    qint64 decodedLine = -1;  // lineStart of the line the conversion belongs to
    qint64 decodedTo = 0;     // file offset the conversion has read up to
    qint64 decodedChars = 0;  // characters it gave for that line so far
    QTextCodec* decodedCodec = nullptr;
    std::optional<QTextCodec::ConverterState> state;
    // The current line's text from where the conversion stopped to file offset `to` (in buf).
    auto decodeTo = [&](qint64 to) -> QString {
        if (decodedLine != lineStart) {
            decodedLine = lineStart;
            decodedTo = lineStart;
            decodedChars = 0;
            decodedCodec = nullptr;
            if (lineStart == 0 && base == 0 && buf.size() >= 3 && TextEncoding::hasUtf8Bom(buf))
                decodedTo = 3; // the byte-order mark is not text
        }
        if (decodedCodec != m_codec) {
            // A new line, or the encoding was just decided: the bytes before were ASCII, none is pending.
            state.emplace(QTextCodec::IgnoreHeader);
            decodedCodec = m_codec;
        }
        if (to <= decodedTo)
            return QString();
        const QString text = m_codec->toUnicode(buf.constData() + (decodedTo - base), int(to - decodedTo), &*state);
        decodedTo = to;
        decodedChars += text.size();
        return text;
    };
    // Decodes and checks the slice [from, to) of buf; false stops the file.
    auto slice = [&](int from, int to) -> bool {
        decodeTo(base + from);
        const qint64 before = decodedChars;
        const QString line = decodeTo(base + to);
        return checkLine(line, fileName, lineNumber, base + from, before, results);
    };
    // End of the slice of the current line that holds offset `at` (relative to buf).
    auto sliceEnd = [&](int at, int lineEnd) -> int {
        const qint64 boundary = lineStart + ((base + at - lineStart) / LineCap + 1) * LineCap;
        return int(qMin<qint64>(lineEnd, boundary - base));
    };

    while (!eof) {
        if (!keepGoing())
            return Cancelled;
        const int keep = buf.size();
        // Small files get a small buffer: allocating a whole block per file costs
        // more than reading it.
        const qint64 want = device.isSequential() ? BlockSize
                                                  : qBound<qint64>(1, device.size() - device.pos(), BlockSize);
        buf.resize(keep + int(want));
        const qint64 got = device.read(buf.data() + keep, want);
        buf.resize(keep + int(qMax<qint64>(got, 0)));
        eof = got < want || device.atEnd();
        const char* d = buf.constData();
        const int size = buf.size();
        if (size == 0)
            break;
        int end = size;
        if (!eof) {
            if (const char* nl = findLastByte(d, size, '\n')) {
                end = int(nl - d) + 1;
            } else {
                // No line end in a whole block: cut at a slice boundary of the long line.
                end = size - int((base + size - lineStart) % LineCap);
                if (end <= 0)
                    continue;
            }
        }

        if (!decided) {
            if (const char* high = findNonAscii(d, end)) {
                const char* nl = findLastByte(d, high - d, '\n');
                const int from = nl ? int(nl - d) + 1 : 0;
                // A single short line is often valid in both GB18030 and UTF-8
                // (一 is D2 BB in GB18030), so the guess looks at the lines that
                // follow it as well, up to DetectionWindow bytes.
                const char* lineEnd = findByte(high, end - (high - d), '\n');
                int to = lineEnd ? int(lineEnd - d) + 1 : end;
                const int window = qMin(end, from + DetectionWindow);
                if (const char* last = findLastByte(d + to, window - to, '\n'))
                    to = int(last - d) + 1;
                m_encoding = detectEncoding(QByteArray::fromRawData(d + from, to - from), m_fallback);
                chooseCodec(m_encoding);
                decided = true;
            }
        }

        int pos = 0;
        bool more = true;
        if (!m_anchor.isEmpty()) {
            while (more && pos < end) {
                const char* hit = findBytes(d + pos, end - pos, m_anchor);
                if (!hit)
                    break;
                const int h = int(hit - d);
                while (const char* nl = findByte(d + pos, h - pos, '\n')) {
                    ++lineNumber;
                    pos = int(nl - d) + 1;
                    lineStart = base + pos;
                }
                const char* nl = findByte(hit, end - h, '\n');
                const int lineEnd = nl ? int(nl - d) + 1 : end;
                const qint64 sliceStart = lineStart + (base + h - lineStart) / LineCap * LineCap;
                const int from = int(sliceStart - base);
                const int to = sliceEnd(h, lineEnd);
                more = slice(from, to);
                pos = to;
                if (nl && to == lineEnd) {
                    ++lineNumber;
                    lineStart = base + to;
                }
            }
            while (const char* nl = findByte(d + pos, end - pos, '\n')) {
                ++lineNumber;
                pos = int(nl - d) + 1;
                lineStart = base + pos;
            }
        } else {
            while (more && pos < end) {
                const char* nl = findByte(d + pos, end - pos, '\n');
                const int lineEnd = nl ? int(nl - d) + 1 : end;
                while (more && pos < lineEnd) {
                    const int to = sliceEnd(pos, lineEnd);
                    more = slice(pos, to);
                    pos = to;
                }
                if (nl) {
                    ++lineNumber;
                    lineStart = base + lineEnd;
                }
            }
        }
        if (!more)
            return ResultLimitReached;
        // A line going on past this block: its conversion goes on from here.
        if (!eof && lineStart < base + end)
            decodeTo(base + end);
        buf.remove(0, end);
        base += end;
    }
    return Searched;
}

FileSearch::Status FileSearch::searchUtf16(QIODevice& device, const QString& encoding, const QString& fileName,
                                           QList<SearchResult>* results)
{
    qDebug() << Q_FUNC_INFO << ", encoding =" << encoding << ", fileName =" << fileName;
    QTextCodec* codec = TextEncoding::codec(encoding);
    if (!codec)
        return OpenFailed;
    m_encoding = encoding;
    // Lines are split at U+000A after decoding: the byte 0A also occurs inside
    // characters (上 is 0A 4E in UTF-16LE).
    QTextDecoder decoder(codec, QTextCodec::IgnoreHeader);
    const qint64 bomBytes = device.pos();
    QString pending;
    qint64 pendingStart = 0; // index in the decoded text of pending[0]
    qint64 lineStart = 0;    // index in the decoded text where the current line begins
    int lineNumber = 1;
    bool eof = false;
    bool more = true;
    auto sliceOf = [&](int from, int length) {
        more = checkLine(pending.mid(from, length), fileName, lineNumber, bomBytes + 2 * (pendingStart + from),
                         pendingStart + from - lineStart, results);
    };
    // A slice ends before a surrogate pair rather than within it.
    auto sliceLength = [&](int from) {
        return pending.at(from + LineCap - 1).isHighSurrogate() ? LineCap - 1 : LineCap;
    };
    while (!eof && more) {
        if (!keepGoing())
            return Cancelled;
        const QByteArray bytes = device.read(BlockSize);
        eof = bytes.isEmpty() || device.atEnd();
        pending += decoder.toUnicode(bytes);
        int from = 0;
        while (more) {
            const int nl = pending.indexOf(QLatin1Char('\n'), from);
            if (nl < 0)
                break;
            while (more && nl + 1 - from > LineCap) {
                const int length = sliceLength(from);
                sliceOf(from, length);
                from += length;
            }
            if (more)
                sliceOf(from, nl + 1 - from);
            ++lineNumber;
            from = nl + 1;
            lineStart = pendingStart + from;
        }
        while (more && pending.size() - from > LineCap) {
            const int length = sliceLength(from);
            sliceOf(from, length);
            from += length;
        }
        if (more && eof && from < pending.size()) {
            sliceOf(from, pending.size() - from);
            from = pending.size();
        }
        pending.remove(0, from);
        pendingStart += from;
    }
    return more ? Searched : ResultLimitReached;
}
