// Character frequency companion of Tarnquill.
//
//     CharFreqCounter <includeNonChinese:true|false> <file-or-directory>
//
// Prints, in UTF-8, two title lines, one heading line and then one line
// "<character> -><percent>%" per character, most frequent first. With "false"
// only Chinese ideographs count; with "true" every character that is not
// white space or a control character. A directory means every *.txt file
// below it, each announced by a "正在处理文件: <path>" line before the listing.
// Files are UTF-8 (a byte-order mark is skipped), UTF-16 with a byte-order
// mark, or else GB18030.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextCodec>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void write(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void writeLine(const QString& line)
{
    write(line.toUtf8() + '\n');
}

bool isChineseIdeograph(uint c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x323AF) || (c >= 0x2F800 && c <= 0x2FA1F) || c == 0x3007;
}

bool isCountedOther(uint c)
{
    switch (QChar::category(c)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return false;
    default:
        return !QChar::isSpace(c);
    }
}

QString decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QTextCodec::codecForName("UTF-16")->toUnicode(bytes);
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return text;
    return QTextCodec::codecForName("GB18030")->toUnicode(bytes);
}

class Counter
{
public:
    explicit Counter(bool includeNonChinese) : m_includeNonChinese(includeNonChinese), m_basic(0x10000, 0) {}

    void add(const QString& text)
    {
        const ushort* p = reinterpret_cast<const ushort*>(text.constData());
        const ushort* end = p + text.size();
        while (p < end) {
            uint c = *p++;
            if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p))
                c = QChar::surrogateToUcs4(ushort(c), *p++);
            if (!(isChineseIdeograph(c) || (m_includeNonChinese && isCountedOther(c))))
                continue;
            if (c < 0x10000)
                ++m_basic[c];
            else
                ++m_supplementary[c];
        }
    }

    struct Entry
    {
        uint character;
        quint64 count;
    };

    std::vector<Entry> entries() const
    {
        std::vector<Entry> result;
        for (uint c = 0; c < 0x10000; ++c)
            if (m_basic[c])
                result.push_back({c, m_basic[c]});
        for (auto it = m_supplementary.cbegin(); it != m_supplementary.cend(); ++it)
            result.push_back({it.key(), it.value()});
        std::sort(result.begin(), result.end(), [](const Entry& a, const Entry& b) {
            return a.count != b.count ? a.count > b.count : a.character < b.character;
        });
        return result;
    }

private:
    bool m_includeNonChinese;
    std::vector<quint64> m_basic;
    QHash<uint, quint64> m_supplementary;
};

bool readFile(const QString& path, QString* text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = decode(file.readAll());
    return true;
}

QStringList textFiles(const QString& directory)
{
    QStringList files;
    QDirIterator it(directory, QStringList() << QStringLiteral("*.txt") << QStringLiteral("*.TXT"),
                    QDir::Files | QDir::Readable | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.removeDuplicates();
    std::sort(files.begin(), files.end());
    return files;
}

void usage()
{
    std::fputs("用法: CharFreqCounter <包括非中文:true|false> <文件或目录>\n", stderr);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        usage();
        return 2;
    }
    const QString flag = QString::fromLocal8Bit(argv[1]);
    if (flag != QLatin1String("true") && flag != QLatin1String("false")) {
        usage();
        return 2;
    }
    const bool includeNonChinese = flag == QLatin1String("true");
    const QString target = QString::fromLocal8Bit(argv[2]);
    const QFileInfo info(target);

    Counter counter(includeNonChinese);
    QString where;
    if (info.isDir()) {
        const QStringList files = textFiles(target);
        for (const QString& path : files) {
            QString text;
            if (readFile(path, &text)) {
                writeLine(QStringLiteral("正在处理文件: ") + QDir::toNativeSeparators(path));
                counter.add(text);
            } else {
                writeLine(QStringLiteral("正在处理文件: ") + QDir::toNativeSeparators(path)
                          + QStringLiteral(" (无法读取，已跳过)"));
            }
            std::fflush(stdout);
        }
        where = QStringLiteral("目录 %1 (%2 个文件)").arg(QDir::toNativeSeparators(target)).arg(files.size());
    } else {
        QString text;
        if (!readFile(target, &text)) {
            std::fprintf(stderr, "无法读取文件: %s\n", argv[2]);
            return 1;
        }
        counter.add(text);
        where = QStringLiteral("当前文本");
    }

    const std::vector<Counter::Entry> entries = counter.entries();
    quint64 total = 0;
    for (const Counter::Entry& entry : entries)
        total += entry.count;

    QByteArray out;
    out.reserve(int(entries.size()) * 16 + 256);
    out += QStringLiteral("字频统计 (%1): %2\n")
               .arg(includeNonChinese ? QStringLiteral("包括非中文字符") : QStringLiteral("仅汉字"), where)
               .toUtf8();
    out += QStringLiteral("字符总数: %1, 不同字符: %2\n").arg(total).arg(entries.size()).toUtf8();
    out += QStringLiteral("字符 ->百分比\n").toUtf8();
    char number[32];
    for (const Counter::Entry& entry : entries) {
        out += QString::fromUcs4(&entry.character, 1).toUtf8();
        std::snprintf(number, sizeof number, " ->%.2f%%\n", 100.0 * double(entry.count) / double(total));
        out += number;
    }
    write(out);
    return 0;
}
