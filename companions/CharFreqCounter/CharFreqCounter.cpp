// Character frequency companion of Tarnquill.
//
//     CharFreqCounter <includeNonChinese:true|false> <file-or-directory>
//
// Prints, in UTF-8, two title lines, one heading line and then one line
// "<character> -><percent>%" per character, most frequent first. With "false"
// only Chinese ideographs count; with "true" every character that is not
// white space or a control character. A directory means every *.txt file
// below it, each announced by a "正在处理文件: <path>" line before the listing.
// Every file is decoded as the editor decodes it when it opens the file (the
// same detection: a byte-order mark, else the most plausible of GB18030,
// UTF-8 and Big5). A file that does not decode without loss, or that cannot
// be read whole (too large for its text to be held at once), is left out of
// the counts and named: its progress line ends in the reason, such as
// " (无法无损解码，未计入)", and a single file gets a line with the reason and
// its path after the listing.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "QuietMessages.h"
#include "TextFileReader.h"

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

// Counts every text file below the folder, one progress line each; says what
// was counted.
QString countFolder(const QString& folder, Counter* counter)
{
    int leftOut = 0;
    const QStringList files = textFiles(folder);
    for (const QString& path : files) {
        // One file's text at a time.
        const TextFileReader::Result read = TextFileReader::read(path);
        QString progress = QStringLiteral("正在处理文件: ") + QDir::toNativeSeparators(path);
        if (read.outcome == TextFileReader::Text) {
            counter->add(read.text);
        } else {
            progress += TextFileReader::leftOutSuffix(read.outcome);
            ++leftOut;
        }
        writeLine(progress);
        std::fflush(stdout);
    }
    return QStringLiteral("目录 %1 (%2 个文件").arg(QDir::toNativeSeparators(folder)).arg(files.size())
        + (leftOut ? QStringLiteral(", 其中 %1 个未计入)").arg(leftOut) : QStringLiteral(")"));
}

void usage()
{
    std::fputs("用法: CharFreqCounter <包括非中文:true|false> <文件或目录>\n", stderr);
}

} // namespace

int main(int argc, char** argv)
{
    installQuietMessageHandler();
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
    QString leftOutFile;
    if (info.isDir()) {
        where = countFolder(target, &counter);
    } else {
        const TextFileReader::Result read = TextFileReader::read(target);
        if (read.outcome == TextFileReader::Unreadable) {
            std::fprintf(stderr, "无法读取文件: %s\n", argv[2]);
            return 1;
        }
        if (read.outcome == TextFileReader::Text)
            counter.add(read.text);
        else
            leftOutFile = TextFileReader::leftOutLine(read.outcome, target) + QLatin1Char('\n');
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
    out += leftOutFile.toUtf8();
    write(out);
    return 0;
}
