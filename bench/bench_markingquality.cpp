// Marking quality on real text: the white-list check (33), the black-list
// check (32) and both together (34), as dry runs over each text file given, the
// marks counted per 1,000 Chinese (han) characters: per file, then in total.
// Files are UTF-8 (with or without a byte-order mark), otherwise GB18030. The
// word databases are those beside the program: $TQ_PROGRAM_DIR, else ../bin
// from this benchmark. With --spans every mark is printed as
// "mark<TAB>code<TAB>file<TAB>line<TAB>column<TAB>text" (line and column from
// 1; blanks and other invisible characters as "<U+XXXX>").
//
//   build/bench/bench_markingquality [--spans] FILE...

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <cstdio>

#include "BenchSupport.h"
#include "EmbellishRun.h"
#include "SharedCodes.h"
#include "TextEncoding.h"
#include "WordDatabaseCatalogue.h"

namespace {

struct Code
{
    uint code;
    const char* name;
};
const Code kCodes[] = {{33, "white list"}, {32, "black list"}, {34, "black + white list"}};
constexpr int kCodeCount = int(sizeof kCodes / sizeof kCodes[0]);

bool isHan(uint c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x323AF);
}

qint64 hanCount(const QString& text)
{
    qint64 count = 0;
    for (uint c : text.toUcs4())
        count += isHan(c) ? 1 : 0;
    return count;
}

// A mark's text with blanks and other invisible characters spelled out
// ("<U+3000>"), so a marked blank shows in the listing.
QString visible(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            out += QStringLiteral("<U+%1>").arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        else
            out += c;
    }
    return out;
}

// Every marked stretch of the document (line ends left out), blanks included.
void printSpans(const QTextDocument* document, uint code, const QString& name)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor() && !fragment.text().isEmpty())
                std::printf("mark\t%u\t%s\t%d\t%d\t%s\n", code, qPrintable(name), block.blockNumber() + 1,
                            fragment.position() - block.position() + 1, qPrintable(visible(fragment.text())));
        }
}

double perThousand(qint64 marks, qint64 han)
{
    return han > 0 ? 1000.0 * double(marks) / double(han) : 0.0;
}

void printLine(const QString& what, const Code& code, qint64 marks, qint64 han)
{
    std::printf("%-28s %2u %-18s marks %7lld  han %9lld  per 1000 han %7.2f\n", qPrintable(what), code.code,
                code.name, marks, han, perThousand(marks, han));
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    QStringList files = QCoreApplication::arguments().mid(1);
    const bool spans = files.removeAll(QStringLiteral("--spans")) > 0;
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: bench_markingquality [--spans] FILE...\n");
        return 2;
    }
    for (QString& file : files)
        file = QFileInfo(file).absoluteFilePath(); // before the current folder changes

    // The word databases lie in ./Dictionary of the program folder.
    const QString programDir = qEnvironmentVariableIsSet("TQ_PROGRAM_DIR")
        ? qEnvironmentVariable("TQ_PROGRAM_DIR")
        : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    if (!QDir::setCurrent(programDir)
        || !QFile::exists(WordDatabaseCatalogue::fileName(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST))) {
        std::fprintf(stderr, "word databases not found in %s/Dictionary\n", qPrintable(programDir));
        return 1;
    }

    QTextEdit editor;
    EmbellishRun marking;
    marking.options.progressDelay = 1000000;
    qint64 totalMarks[kCodeCount] = {};
    qint64 totalHan = 0;
    for (const QString& file : files) {
        bool ok = false;
        const QString text = readBenchText(file, &ok);
        if (!ok) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
            return 1;
        }
        const qint64 han = hanCount(text);
        totalHan += han;
        const QString name = QFileInfo(file).fileName();
        for (int i = 0; i < kCodeCount; ++i) {
            editor.setPlainText(text);
            const int result = marking.run(&editor, kCodes[i].code, true, nullptr);
            if (result != EmbellishRun::Completed) {
                std::fprintf(stderr, "run %u over %s ended with %d\n", kCodes[i].code, qPrintable(file), result);
                return 1;
            }
            if (spans)
                printSpans(editor.document(), kCodes[i].code, name);
            const int marks = marking.counts().marks;
            totalMarks[i] += marks;
            printLine(name, kCodes[i], marks, han);
        }
        std::fflush(stdout);
    }
    for (int i = 0; i < kCodeCount; ++i)
        printLine(QStringLiteral("total (%1 files)").arg(files.size()), kCodes[i], totalMarks[i], totalHan);
    std::printf("marks per 1000 han: 32=%.2f 33=%.2f 34=%.2f\n", perThousand(totalMarks[1], totalHan),
                perThousand(totalMarks[0], totalHan), perThousand(totalMarks[2], totalHan));
    return 0;
}
