// Word cloud companion of Tarnquill.
//
//     WordCloud <mask> <background #rrggbb> <maxFontSize> <maxWordCount> <file>
//
// Reads the text of <file> (decoded as the editor decodes it), counts its
// words and draws the most frequent ones inside the dark part of the mask
// picture, on a picture of the mask's size filled with the background
// colour. The picture is written as "WordCloud.png" into the temporary
// folder ($TMPDIR, else /tmp); a line on standard output says what was done.
// Runs on the offscreen platform: it needs no display.

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageReader>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>

#include "CloudLayout.h"
#include "CloudWords.h"
#include "QuietMessages.h"
#include "TextFileReader.h"

namespace {

const char* const fontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

int fail(const QString& message, int code = 1)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    return code;
}

QFont cloudFont()
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(fontFile));
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    QFont font(families.isEmpty() ? QStringLiteral("WenQuanYi Micro Hei") : families.first());
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

bool readNumber(const char* text, int* value)
{
    bool ok = false;
    *value = QString::fromLocal8Bit(text).toInt(&ok);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    installQuietMessageHandler();
    QGuiApplication application(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    const QString usage = QStringLiteral("用法: WordCloud <背景图片> <背景颜色 #rrggbb> <最大字号> <最多单词数> <文件>");
    int maxFontSize = 0;
    int maxWordCount = 0;
    if (arguments.size() != 6 || !readNumber(argv[3], &maxFontSize) || !readNumber(argv[4], &maxWordCount))
        return fail(usage, 2);
    const QColor background(arguments.at(2));
    if (!background.isValid())
        return fail(QStringLiteral("无效的背景颜色: ") + arguments.at(2), 2);

    QImageReader maskReader(arguments.at(1));
    maskReader.setAutoTransform(true);
    const QImage mask = maskReader.read();
    if (mask.isNull())
        return fail(QStringLiteral("无法读取背景图片: ") + arguments.at(1));

    // The text as the editor decodes it; a file that cannot be read whole or
    // decoded without loss is refused, named.
    const TextFileReader::Result read = TextFileReader::read(arguments.at(5));
    if (read.outcome == TextFileReader::Unreadable)
        return fail(QStringLiteral("无法读取文件: ") + arguments.at(5));
    if (read.outcome != TextFileReader::Text)
        return fail(TextFileReader::leftOutLine(read.outcome, arguments.at(5)));
    const QString& text = read.text;

    CloudWords words;
    if (!words.loadWordList(QStringLiteral(":/WordCloud/words.tsv")))
        return fail(QStringLiteral("无法读取词表"));
    const QVector<CloudWords::Word> counted = words.count(text);
    if (counted.isEmpty())
        return fail(QStringLiteral("文本中没有可以放进词云的词"));

    CloudLayout layout;
    if (!layout.setMask(mask))
        return fail(QStringLiteral("背景图片中没有放置文字的深色区域: ") + arguments.at(1));
    layout.setFont(cloudFont());
    layout.setBackground(background);
    layout.setMaxFontSize(maxFontSize);
    layout.setMaxWordCount(maxWordCount);
    const QImage picture = layout.render(counted);

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString output = QDir(folder).filePath(QStringLiteral("WordCloud.png"));
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        return fail(QStringLiteral("无法写入图片: ") + output);

    const QString done = QStringLiteral("词云图片: %1 (%2 x %3), 放置 %4 个词, 文中不同的词 %5 个")
                             .arg(QDir::toNativeSeparators(output))
                             .arg(picture.width())
                             .arg(picture.height())
                             .arg(layout.placedCount())
                             .arg(counted.size());
    std::printf("%s\n", done.toUtf8().constData());
    return 0;
}
