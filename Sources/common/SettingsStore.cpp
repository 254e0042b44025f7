#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDebug>
#include <QDate>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QPoint>
#include <QRect>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QSize>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QTime>
#include <QVector>

#include <atomic>

// File layout (UTF-8 text, one entry per line):
//
//   [General]            top-level keys
//   LogLevel=0
//   [AutoGen]            first segment of "AutoGen/1/Name"
//   1\Name=...           remaining segments joined by '\' ('/' is read too)
//
// Names escape the characters that would break a line ('%', '=', '\', '/', '[',
// ']', ';', '#', controls, spaces at either end) as %XX or %uXXXX. A value is
// written bare unless bare text would not survive a read (spaces at either end,
// a leading '"', control characters); then it is quoted with C-style escapes.
// Typed values carry a marker (@ByteArray(...), @Point(x y), @Variant(base64)...);
// a string that starts with '@' is written with the '@' doubled.
//
// Nothing here keeps state between calls: QSettings reads and writes files from
// whatever thread created the object.

namespace {

const QString kGeneral = QStringLiteral("general");

// Characters that must not appear raw in the file: line breaks and other
// controls, characters that editors show as line breaks or hide, and halves of
// surrogate pairs that UTF-8 cannot carry.
bool isUnsafe(QChar c)
{
    const ushort u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029 || u == 0xfeff
        || c.isSurrogate();
}

bool isPairAt(const QString& text, int i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[pos]; -1 when they are not all there.
int hexAt(const QString& text, int pos, int digits)
{
    if (pos + digits > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = hexValue(text.at(pos + i));
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

QString hex(uint value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// --- names (groups and keys) -------------------------------------------------

QString escapeName(const QString& name)
{
    static const QString special = QStringLiteral("%=\\/[];#");
    QString out;
    out.reserve(name.size());
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (isPairAt(name, i)) {
            out += c;
            out += name.at(++i);
            continue;
        }
        const bool atEdge = (i == 0 || i == name.size() - 1) && c.isSpace();
        if (atEdge || isUnsafe(c) || special.contains(c)) {
            if (c.unicode() < 0x80)
                out += QLatin1Char('%') + hex(c.unicode(), 2);
            else
                out += QLatin1String("%u") + hex(c.unicode(), 4);
        } else {
            out += c;
        }
    }
    return out;
}

QString unescapeName(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('u')) {
                const int code = hexAt(text, i + 2, 4);
                if (code >= 0) {
                    out += QChar(ushort(code));
                    i += 5;
                    continue;
                }
            }
            const int code = hexAt(text, i + 1, 2);
            if (code >= 0) {
                out += QChar(ushort(code));
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// Splits a written name into path segments; both '/' and '\' separate.
QStringList nameSegments(const QString& text)
{
    QStringList segments;
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text.at(i) == QLatin1Char('/') || text.at(i) == QLatin1Char('\\')) {
            const QString raw = text.mid(start, i - start).trimmed();
            if (!raw.isEmpty())
                segments << unescapeName(raw);
            start = i + 1;
        }
    }
    return segments;
}

// Gives every group and key one spelling, the first one met, so that names
// differing only in letter case become one.
class Speller
{
public:
    QString spell(const QStringList& segments)
    {
        QString spelled;
        QString folded;
        for (int i = 0; i < segments.size(); ++i) {
            if (i > 0) {
                spelled += QLatin1Char('/');
                folded += QLatin1Char('/');
            }
            folded += segments.at(i).toCaseFolded();
            const auto it = m_spelling.constFind(folded);
            if (it != m_spelling.constEnd()) {
                spelled = *it;
            } else {
                spelled += segments.at(i);
                m_spelling.insert(folded, spelled);
            }
        }
        return spelled;
    }

private:
    QHash<QString, QString> m_spelling;
};

// --- quoted text -------------------------------------------------------------

QString escapeQuoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isPairAt(text, i)) {
            out += c;
            out += text.at(++i);
            continue;
        }
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default:
            if (isUnsafe(c))
                out += QLatin1String("\\u") + hex(c.unicode(), 4);
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Parses a quoted string starting at text[pos] == '"'; leaves pos after the
// closing quote. False when the closing quote is missing.
bool parseQuoted(const QString& text, int& pos, QString& out)
{
    out.clear();
    for (int i = pos + 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return true;
        }
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(i + 1);
            switch (next.unicode()) {
            case '\\': out += QLatin1Char('\\'); ++i; continue;
            case '"': out += QLatin1Char('"'); ++i; continue;
            case 'n': out += QLatin1Char('\n'); ++i; continue;
            case 't': out += QLatin1Char('\t'); ++i; continue;
            case 'r': out += QLatin1Char('\r'); ++i; continue;
            case 'u': {
                const int code = hexAt(text, i + 2, 4);
                if (code >= 0) {
                    out += QChar(ushort(code));
                    i += 5;
                    continue;
                }
                break;
            }
            default:
                break;
            }
        }
        out += c;
    }
    return false;
}

bool needsQuotes(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (text.front().isSpace() || text.back().isSpace() || text.front() == QLatin1Char('"'))
        return true;
    for (int i = 0; i < text.size(); ++i) {
        if (isPairAt(text, i))
            ++i;
        else if (isUnsafe(text.at(i)))
            return true;
    }
    return false;
}

QString valueToLine(const QString& text)
{
    return needsQuotes(text) ? escapeQuoted(text) : text;
}

QString lineToValue(const QString& raw)
{
    if (raw.startsWith(QLatin1Char('"'))) {
        int pos = 0;
        QString out;
        if (parseQuoted(raw, pos, out) && pos == raw.size())
            return out;
    }
    return raw;
}

// --- typed values ------------------------------------------------------------

// Byte arrays keep readable UTF-8 as text and write everything else as \xHH.
QString escapeBytes(const QByteArray& bytes)
{
    QString out;
    const int size = bytes.size();
    for (int i = 0; i < size; ++i) {
        const uchar b = uchar(bytes.at(i));
        if (b == '\\') {
            out += QLatin1String("\\\\");
            continue;
        }
        if (b >= 0x20 && b < 0x7f) {
            out += QLatin1Char(char(b));
            continue;
        }
        const int length = b >= 0xf0 && b <= 0xf4 ? 4 : b >= 0xe0 && b <= 0xef ? 3 : b >= 0xc2 && b <= 0xdf ? 2 : 0;
        if (length > 0 && i + length <= size) {
            const QByteArray sequence = QByteArray::fromRawData(bytes.constData() + i, length);
            const QString decoded = QString::fromUtf8(sequence.constData(), length);
            // Re-encoding rejects overlong forms, surrogates and broken sequences.
            const bool readable = decoded.size() == 1 ? !isUnsafe(decoded.at(0))
                                                      : decoded.size() == 2 && isPairAt(decoded, 0);
            if (readable && decoded.toUtf8() == sequence) {
                out += decoded;
                i += length - 1;
                continue;
            }
        }
        out += QLatin1String("\\x") + hex(b, 2);
    }
    return out;
}

QByteArray unescapeBytes(const QString& text)
{
    QByteArray out;
    int runStart = 0;
    auto flush = [&](int end) {
        if (end > runStart)
            out += text.midRef(runStart, end - runStart).toUtf8();
    };
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\\') || i + 1 >= text.size())
            continue;
        const QChar next = text.at(i + 1);
        char single = 0;
        int skip = 0;
        switch (next.unicode()) {
        case '\\': single = '\\'; skip = 1; break;
        case 'n': single = '\n'; skip = 1; break;
        case 't': single = '\t'; skip = 1; break;
        case 'r': single = '\r'; skip = 1; break;
        case '0': single = '\0'; skip = 1; break;
        case 'x': {
            const int code = hexAt(text, i + 2, 2);
            if (code >= 0) {
                single = char(code);
                skip = 3;
            }
            break;
        }
        default:
            break;
        }
        if (skip == 0)
            continue;
        flush(i);
        out += single;
        i += skip;
        runStart = i + 1;
    }
    flush(text.size());
    return out;
}

// Elements of a list are quoted and separated by ", ". A hand-written list may
// leave elements bare.
QString joinList(const QStringList& items)
{
    QString out;
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += QLatin1String(", ");
        out += escapeQuoted(items.at(i));
    }
    return out;
}

bool splitList(const QString& text, QStringList& items)
{
    items.clear();
    int i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
    };
    skipSpaces();
    if (i == text.size())
        return true;
    for (;;) {
        skipSpaces();
        QString item;
        if (i < text.size() && text.at(i) == QLatin1Char('"')) {
            if (!parseQuoted(text, i, item))
                return false;
        } else {
            const int comma = text.indexOf(QLatin1Char(','), i);
            const int end = comma < 0 ? text.size() : comma;
            item = text.mid(i, end - i).trimmed();
            i = end;
        }
        items << item;
        skipSpaces();
        if (i == text.size())
            return true;
        if (text.at(i) != QLatin1Char(','))
            return false;
        ++i;
    }
}

bool parseInts(const QString& text, int count, QVector<int>& values)
{
    values.clear();
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != count)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        values << part.toInt(&ok);
        if (!ok)
            return false;
    }
    return true;
}

QString marked(const char* type, const QString& payload)
{
    return QLatin1Char('@') + QLatin1String(type) + QLatin1Char('(') + payload + QLatin1Char(')');
}

QString variantToText(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QString: {
        const QString text = value.toString();
        return text.startsWith(QLatin1Char('@')) ? QString(QLatin1Char('@') + text) : text;
    }
    // Numbers and booleans are written bare and read back as strings, which
    // QVariant converts on demand; a person can edit them without markers.
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toString();
    case QMetaType::QByteArray:
        return marked("ByteArray", escapeBytes(value.toByteArray()));
    case QMetaType::QStringList:
        return marked("StringList", joinList(value.toStringList()));
    case QMetaType::QVariantList: {
        QStringList texts;
        for (const QVariant& item : value.toList())
            texts << variantToText(item);
        return marked("List", joinList(texts));
    }
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return marked("Point", QStringLiteral("%1 %2").arg(p.x()).arg(p.y()));
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return marked("Size", QStringLiteral("%1 %2").arg(s.width()).arg(s.height()));
    }
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return marked("Rect", QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
    }
    case QMetaType::QDateTime:
        return marked("DateTime", value.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QDate:
        return marked("Date", value.toDate().toString(Qt::ISODate));
    case QMetaType::QTime:
        return marked("Time", value.toTime().toString(Qt::ISODateWithMs));
    default: {
        QByteArray data;
        QDataStream stream(&data, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_5_15);
        stream << value;
        return marked("Variant", QString::fromLatin1(data.toBase64()));
    }
    }
}

QVariant textToVariant(const QString& text)
{
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    const int open = text.indexOf(QLatin1Char('('));
    if (open < 0 || !text.endsWith(QLatin1Char(')')))
        return text;
    const QString type = text.mid(1, open - 1).toCaseFolded();
    const QString payload = text.mid(open + 1, text.size() - open - 2);
    QVector<int> n;

    if (type == QLatin1String("invalid") && payload.trimmed().isEmpty())
        return QVariant();
    if (type == QLatin1String("bytearray"))
        return unescapeBytes(payload);
    if (type == QLatin1String("stringlist")) {
        QStringList items;
        if (splitList(payload, items))
            return items;
    } else if (type == QLatin1String("list")) {
        QStringList items;
        if (splitList(payload, items)) {
            QVariantList list;
            for (const QString& item : qAsConst(items))
                list << textToVariant(item);
            return list;
        }
    } else if (type == QLatin1String("point")) {
        if (parseInts(payload, 2, n))
            return QPoint(n[0], n[1]);
    } else if (type == QLatin1String("size")) {
        if (parseInts(payload, 2, n))
            return QSize(n[0], n[1]);
    } else if (type == QLatin1String("rect")) {
        if (parseInts(payload, 4, n))
            return QRect(n[0], n[1], n[2], n[3]);
    } else if (type == QLatin1String("datetime")) {
        const QString iso = payload.trimmed();
        const QDateTime dateTime = QDateTime::fromString(iso, Qt::ISODateWithMs);
        if (dateTime.isValid() || iso.isEmpty())
            return dateTime;
    } else if (type == QLatin1String("date")) {
        const QString iso = payload.trimmed();
        const QDate date = QDate::fromString(iso, Qt::ISODate);
        if (date.isValid() || iso.isEmpty())
            return date;
    } else if (type == QLatin1String("time")) {
        const QString iso = payload.trimmed();
        const QTime time = QTime::fromString(iso, Qt::ISODateWithMs);
        if (time.isValid() || iso.isEmpty())
            return time;
    } else if (type == QLatin1String("variant")) {
        QByteArray data = QByteArray::fromBase64(payload.trimmed().toLatin1());
        QDataStream stream(&data, QIODevice::ReadOnly);
        stream.setVersion(QDataStream::Qt_5_15);
        QVariant value;
        stream >> value;
        if (stream.status() == QDataStream::Ok && value.isValid())
            return value;
    }
    // Unknown or damaged markers stay text: nothing a person wrote is lost.
    return text;
}

// --- whole files -------------------------------------------------------------

struct Entry
{
    QStringList segments;
    QString text; // the value's text form, before markers are decoded
};

QVector<Entry> parseText(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes.constData(), bytes.size());
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);

    QVector<Entry> entries;
    QStringList section;
    int start = 0;
    const int size = text.size();
    while (start < size) {
        int end = start;
        while (end < size && text.at(end) != QLatin1Char('\n') && text.at(end) != QLatin1Char('\r'))
            ++end;
        const QString line = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            if (close < 0)
                continue;
            const QString name = line.mid(1, close - 1).trimmed();
            if (name.isEmpty() || name.toCaseFolded() == kGeneral)
                section.clear();
            else if (name.startsWith(QLatin1Char('%')) && name.mid(1).toCaseFolded() == kGeneral)
                section = QStringList{name.mid(1)}; // how Qt's own INI files name a group "General"
            else
                section = nameSegments(name);
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QStringList key = nameSegments(line.left(equals));
        if (key.isEmpty())
            continue;
        entries.append(Entry{section + key, lineToValue(line.mid(equals + 1).trimmed())});
    }
    return entries;
}

// Folded key -> value text of what a file holds, later lines winning.
QHash<QString, QString> foldedTexts(const QVector<Entry>& entries)
{
    QHash<QString, QString> texts;
    for (const Entry& entry : entries)
        texts.insert(entry.segments.join(QLatin1Char('/')).toCaseFolded(), entry.text);
    return texts;
}

QString sectionLine(const QString& name)
{
    QString escaped = escapeName(name);
    // A group named "General" must not be mistaken for the top-level section.
    if (name.toCaseFolded() == kGeneral)
        escaped = QLatin1Char('%') + hex(name.at(0).unicode(), 2) + escaped.mid(1);
    return QLatin1Char('[') + escaped + QLatin1Char(']');
}

} // namespace

namespace SettingsStore {

bool readFile(QIODevice& device, QSettings::SettingsMap& map)
{
    if (!device.isReadable())
        return false;
    Speller speller;
    for (const Entry& entry : parseText(device.readAll()))
        map.insert(speller.spell(entry.segments), textToVariant(entry.text));
    return true;
}

bool writeFile(QIODevice& device, const QSettings::SettingsMap& map)
{
    // One spelling per key; QSettings hands over keys spelled every way the
    // program used them.
    Speller speller;
    QMap<QString, QStringList> candidates; // folded key -> texts, in map order
    QHash<QString, QString> spellings;     // folded key -> spelled key
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QString spelled = speller.spell(it.key().split(QLatin1Char('/'), Qt::SkipEmptyParts));
        if (spelled.isEmpty())
            continue;
        const QString folded = spelled.toCaseFolded();
        spellings.insert(folded, spelled);
        candidates[folded] << variantToText(it.value());
    }

    // When a key was set under two spellings, the value that differs from the
    // file on disk is the one the program just changed.
    QHash<QString, QString> onDisk;
    if (auto* save = qobject_cast<QSaveFile*>(&device)) {
        bool anyConflict = false;
        for (const QStringList& texts : qAsConst(candidates))
            anyConflict = anyConflict || texts.size() > 1;
        QFile current(save->fileName());
        if (anyConflict && current.open(QIODevice::ReadOnly))
            onDisk = foldedTexts(parseText(current.readAll()));
    }

    struct Section
    {
        QString name;
        QStringList lines;
    };
    QStringList general;
    QMap<QString, Section> sections; // by folded name, so their order ignores case
    for (auto it = candidates.constBegin(); it != candidates.constEnd(); ++it) {
        const QStringList& texts = it.value();
        QString text = texts.constFirst();
        if (texts.size() > 1) {
            const auto disk = onDisk.constFind(it.key());
            for (const QString& candidate : texts) {
                if (disk == onDisk.constEnd() || candidate != *disk) {
                    text = candidate;
                    break;
                }
            }
        }
        const QStringList segments = spellings.value(it.key()).split(QLatin1Char('/'));
        QStringList names;
        for (int i = segments.size() == 1 ? 0 : 1; i < segments.size(); ++i)
            names << escapeName(segments.at(i));
        const QString line = names.join(QLatin1Char('\\')) + QLatin1Char('=') + valueToLine(text);
        if (segments.size() == 1) {
            general << line;
        } else {
            Section& section = sections[segments.constFirst().toCaseFolded()];
            section.name = segments.constFirst();
            section.lines << line;
        }
    }

    QString out;
    if (!general.isEmpty())
        out += QLatin1String("[General]\n") + general.join(QLatin1Char('\n')) + QLatin1Char('\n');
    for (const Section& section : qAsConst(sections)) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += sectionLine(section.name) + QLatin1Char('\n') + section.lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    const QByteArray bytes = out.toUtf8();
    return device.write(bytes) == bytes.size();
}

QSettings::Format format()
{
    // Qt 5 ignores Qt::CaseInsensitive for registered formats (and its debug
    // builds assert on it), so case folding is done by the file and Settings.
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("conf"), &readFile, &writeFile, Qt::CaseSensitive);
    return registered;
}

void install()
{
    QSettings::setDefaultFormat(format());
}

namespace {

QMutex writeFailureMutex;
WriteFailureHandler writeFailureHandler;
// A failure is reported once, until a write succeeds again.
std::atomic<bool> writeFailureReported{false};

// Why the settings file could not be written, as far as a probe of its folder tells.
QString writeFailureCause(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    QTemporaryFile probe(folder + QStringLiteral("/probe-XXXXXX"));
    if (!probe.open())
        return QCoreApplication::translate("Settings", "文件夹 %1 不能写入: %2").arg(folder, probe.errorString());
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024)
        return QCoreApplication::translate("Settings", "磁盘空间不足");
    return QCoreApplication::translate("Settings", "文件不能写入");
}

} // namespace

void setWriteFailureHandler(const WriteFailureHandler& handler)
{
    QMutexLocker lock(&writeFailureMutex);
    writeFailureHandler = handler;
}

QString fileName()
{
    return QSettings(format(), QSettings::UserScope, QCoreApplication::organizationName(),
                     QCoreApplication::applicationName())
        .fileName();
}

// --- Settings ----------------------------------------------------------------

namespace {

QStringList keySegments(const QString& key)
{
    return key.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QStringList uniqueIgnoringCase(const QStringList& names)
{
    QSet<QString> seen;
    QStringList out;
    for (const QString& name : names) {
        const QString folded = name.toCaseFolded();
        if (!seen.contains(folded)) {
            seen.insert(folded);
            out << name;
        }
    }
    return out;
}

} // namespace

Settings::Settings(QObject* parent)
    : QSettings(parent)
    , m_startedClean(status() == QSettings::NoError)
{
}

Settings::Settings(const QString& fileName, QObject* parent)
    : QSettings(fileName, SettingsStore::format(), parent)
    , m_startedClean(status() == QSettings::NoError)
{
}

Settings::~Settings()
{
    if (!m_wrote)
        return;
    sync();
    checkWritten();
}

bool Settings::event(QEvent* event)
{
    // QSettings writes its pending changes on this event.
    const bool update = event->type() == QEvent::UpdateRequest;
    const bool result = QSettings::event(event);
    if (update && m_wrote)
        checkWritten();
    return result;
}

void Settings::checkWritten()
{
    if (!m_startedClean)
        return;
    if (status() != QSettings::AccessError) {
        if (status() == QSettings::NoError)
            writeFailureReported = false;
        return;
    }
    if (writeFailureReported.exchange(true))
        return;
    const QString path = QSettings::fileName();
    const QString message = QCoreApplication::translate("Settings", "无法保存设置到 %1 (%2), 修改过的设置在退出后会丢失.")
                                .arg(path, writeFailureCause(path));
    qCritical().noquote() << "Settings not written:" << message;
    QMutexLocker lock(&writeFailureMutex);
    if (writeFailureHandler)
        writeFailureHandler(message);
}

const QVector<QStringList>& Settings::storedKeys() const
{
    // Comparing the key list costs far less than splitting it again, and another
    // settings object of the same file (which shares this one's data) may have
    // written a key since.
    const QStringList raw = QSettings::allKeys();
    if (!m_storedKeysValid || m_storedKeysGroup != group() || raw != m_storedKeysRaw) {
        m_storedKeys.clear();
        for (const QString& stored : raw)
            m_storedKeys << stored.split(QLatin1Char('/'));
        m_storedKeysRaw = raw;
        m_storedKeysGroup = group();
        m_storedKeysValid = true;
    }
    return m_storedKeys;
}

QString Settings::storedSpelling(const QString& key, bool asGroup) const
{
    const QStringList wanted = keySegments(key);
    if (wanted.isEmpty())
        return key;
    const QString joined = wanted.join(QLatin1Char('/'));
    if (!asGroup && QSettings::contains(joined))
        return joined;

    const QVector<QStringList>& existing = storedKeys();

    // Resolve one segment at a time: each level may have been spelled differently.
    QStringList resolved;
    for (int level = 0; level < wanted.size(); ++level) {
        const bool leaf = !asGroup && level == wanted.size() - 1;
        const QString folded = wanted.at(level).toCaseFolded();
        QString found;
        for (const QStringList& parts : qAsConst(existing)) {
            if (leaf ? parts.size() != level + 1 : parts.size() <= level + 1)
                continue;
            bool samePrefix = true;
            for (int i = 0; i < level && samePrefix; ++i)
                samePrefix = parts.at(i) == resolved.at(i);
            if (!samePrefix || parts.at(level).toCaseFolded() != folded)
                continue;
            found = parts.at(level);
            if (found == wanted.at(level))
                break;
        }
        if (found.isEmpty()) {
            resolved += wanted.mid(level);
            break;
        }
        resolved << found;
    }
    return resolved.join(QLatin1Char('/'));
}

void Settings::beginGroup(const QString& prefix)
{
    QSettings::beginGroup(storedSpelling(prefix, true));
}

int Settings::beginReadArray(const QString& prefix)
{
    const int size = QSettings::beginReadArray(storedSpelling(prefix, true));
    // QSettings looks for "size" spelled exactly; a hand-edited file may not.
    return size > 0 ? size : value(QStringLiteral("size")).toInt();
}

void Settings::beginWriteArray(const QString& prefix, int size)
{
    QSettings::beginWriteArray(storedSpelling(prefix, true), size);
}

void Settings::setValue(const QString& key, const QVariant& value)
{
    QSettings::setValue(storedSpelling(key), value);
    m_storedKeysValid = false;
    m_wrote = true;
}

QVariant Settings::value(const QString& key, const QVariant& defaultValue) const
{
    return QSettings::value(storedSpelling(key), defaultValue);
}

bool Settings::contains(const QString& key) const
{
    return QSettings::contains(storedSpelling(key));
}

void Settings::remove(const QString& key)
{
    m_storedKeysValid = false;
    m_wrote = true;
    const QStringList wanted = keySegments(key);
    if (wanted.isEmpty()) {
        QSettings::remove(key); // the whole current group
        return;
    }
    // Every spelling goes, including ones a plain QSettings may have added.
    const QString folded = wanted.join(QLatin1Char('/')).toCaseFolded();
    const QString below = folded + QLatin1Char('/');
    for (const QString& stored : QSettings::allKeys()) {
        const QString storedFolded = stored.toCaseFolded();
        if (storedFolded == folded || storedFolded.startsWith(below))
            QSettings::remove(stored);
    }
}

QStringList Settings::allKeys() const
{
    return uniqueIgnoringCase(QSettings::allKeys());
}

QStringList Settings::childKeys() const
{
    return uniqueIgnoringCase(QSettings::childKeys());
}

QStringList Settings::childGroups() const
{
    return uniqueIgnoringCase(QSettings::childGroups());
}

} // namespace SettingsStore
