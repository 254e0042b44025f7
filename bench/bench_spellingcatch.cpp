// How well the black-list check catches misspellings and leaves correct text
// alone, through real marking runs on worker threads: the black-list check (32)
// and the combined check (34, its blue marks), as the user runs them.
//
// A misspelled set has one sentence per line: "sentence<TAB>wrong form" or
// "sentence<TAB>wrong form<TAB>correct form" ("#" lines and blank lines are
// left out). A sentence is caught when a black-list mark lies over its wrong
// form and one of the corrections the mark's pop-up list offers, put in for
// the mark, gives the sentence with the correct form (without a correct form:
// when the mark covers the wrong form). Every miss is printed with the marks
// its sentence got.
// A correct set (--correct: one sentence per line, "#" lines left out; --text:
// a whole text file, every line taken) must get no black-list mark; every mark
// is printed with its line.
// Files are UTF-8 (with or without a byte-order mark), otherwise GB18030. The
// word databases are those beside the program: $TQ_PROGRAM_DIR, else ../bin
// from this benchmark.
//
//   build/bench/bench_spellingcatch [--workers N] [--misspelled FILE]... [--correct FILE]... [--text FILE]...

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>

#include "BenchSupport.h"
#include "Embellish.h"
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
const Code kCodes[] = {{32, "black list"}, {34, "black + white list"}};

// A black-list mark: where it stands in its line, and its text.
struct Mark
{
    int start;
    QString text;
};

QStringList readLines(const QString& path, bool dropComments)
{
    bool ok = false;
    QString text = readBenchText(path, &ok);
    if (!ok) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    text.remove(QLatin1Char('\r'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (dropComments) {
        QStringList kept;
        for (const QString& line : lines)
            if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
                kept << line;
        lines = kept;
    }
    return lines;
}

// The black-list marks of every line after a dry run of code over the lines:
// every mark of 32, the blue ones of 34. Pieces of one mark share its link.
QVector<QVector<Mark>> markedLines(const QStringList& lines, uint code, int workers)
{
    QTextEdit editor;
    editor.setPlainText(lines.join(QLatin1Char('\n')));
    EmbellishRun marking;
    marking.options.workerCount = workers;
    marking.options.progressDelay = 1000000;
    if (marking.run(&editor, code, true, nullptr) != EmbellishRun::Completed) {
        std::fprintf(stderr, "the run of %u did not complete\n", code);
        std::exit(1);
    }
    QVector<QVector<Mark>> marks;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        QVector<Mark> line;
        QString lastHref;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const bool black = format.isAnchor()
                && (code != 34 || format.foreground().color() == QColor(Qt::blue));
            if (!black) {
                lastHref.clear();
                continue;
            }
            if (format.anchorHref() == lastHref && !line.isEmpty())
                line.last().text += fragment.text();
            else
                line << Mark{fragment.position() - block.position(), fragment.text()};
            lastHref = format.anchorHref();
        }
        marks << line;
    }
    if (marks.size() != lines.size()) {
        std::fprintf(stderr, "the run of %u gave %d lines for %d\n", code, int(marks.size()), int(lines.size()));
        std::exit(1);
    }
    return marks;
}

QString describe(const QVector<Mark>& marks, Embellish& embellish)
{
    QStringList parts;
    for (const Mark& mark : marks)
        parts << mark.text + QStringLiteral("→")
                + embellish.getNewWordList(mark.text, TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, true).join(QLatin1Char('/'));
    return parts.isEmpty() ? QStringLiteral("(no mark)") : parts.join(QLatin1Char(' '));
}

// Is the misspelling of sentence (its wrong form, and its correct form when
// given) caught by one of the marks?
bool caught(const QString& sentence, const QString& wrong, const QString& right, const QVector<Mark>& marks,
            Embellish& embellish)
{
    for (int at = sentence.indexOf(wrong); at >= 0 && !wrong.isEmpty(); at = sentence.indexOf(wrong, at + 1)) {
        const QString corrected = sentence.left(at) + right + sentence.mid(at + wrong.size());
        for (const Mark& mark : marks) {
            const int end = mark.start + mark.text.size();
            if (end <= at || mark.start >= at + wrong.size())
                continue;
            if (right.isEmpty()) {
                if (mark.start <= at && end >= at + wrong.size())
                    return true;
                continue;
            }
            for (const QString& offered :
                 embellish.getNewWordList(mark.text, TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, true))
                if (sentence.left(mark.start) + offered + sentence.mid(end) == corrected)
                    return true;
        }
    }
    return false;
}

void measureMisspelled(const QString& path, int workers, Embellish& embellish)
{
    QStringList sentences, wrongs, rights;
    for (const QString& line : readLines(path, true)) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        sentences << cells.value(0);
        wrongs << cells.value(1).trimmed();
        rights << cells.value(2).trimmed();
    }
    const QString name = QFileInfo(path).fileName();
    for (const Code& code : kCodes) {
        const QVector<QVector<Mark>> marks = markedLines(sentences, code.code, workers);
        int count = 0;
        QStringList misses;
        for (int i = 0; i < sentences.size(); ++i) {
            if (caught(sentences[i], wrongs[i], rights[i], marks[i], embellish))
                ++count;
            else
                misses << QStringLiteral("  miss %1\t%2→%3\t%4")
                              .arg(sentences[i], wrongs[i], rights[i], describe(marks[i], embellish));
        }
        for (const QString& miss : misses)
            std::printf("%s\n", qPrintable(miss));
        std::printf("misspelled %s, %u %s: caught %d of %d (%.1f%%)\n", qPrintable(name), code.code, code.name,
                    count, int(sentences.size()), sentences.isEmpty() ? 0.0 : 100.0 * count / sentences.size());
        std::fflush(stdout);
    }
}

void measureCorrect(const QString& path, bool wholeText, int workers, Embellish& embellish)
{
    const QStringList lines = readLines(path, !wholeText);
    const QString name = QFileInfo(path).fileName();
    for (const Code& code : kCodes) {
        const QVector<QVector<Mark>> marks = markedLines(lines, code.code, workers);
        int count = 0, markedLines = 0;
        for (int i = 0; i < lines.size(); ++i) {
            if (marks[i].isEmpty())
                continue;
            count += marks[i].size();
            ++markedLines;
            std::printf("  mark %s:%d\t%s\t%s\n", qPrintable(name), i + 1, qPrintable(describe(marks[i], embellish)),
                        qPrintable(lines[i].trimmed().left(80)));
        }
        std::printf("correct %s, %u %s: %d marks in %d of %d lines\n", qPrintable(name), code.code, code.name, count,
                    markedLines, int(lines.size()));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QList<QPair<QString, QString>> sets; // option, absolute path
    int workers = 4;
    bool understood = arguments.size() % 2 == 0;
    for (int i = 0; understood && i + 1 < arguments.size(); i += 2) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--workers"))
            workers = arguments[i + 1].toInt();
        else if (option == QLatin1String("--misspelled") || option == QLatin1String("--correct")
                 || option == QLatin1String("--text"))
            sets << qMakePair(option, QFileInfo(arguments[i + 1]).absoluteFilePath()); // before the folder changes
        else
            understood = false;
    }
    if (!understood || sets.isEmpty() || workers < 1) {
        std::fprintf(stderr, "usage: bench_spellingcatch [--workers N] [--misspelled FILE]... [--correct FILE]... "
                             "[--text FILE]...\n");
        return 2;
    }

    // The word databases lie in ./Dictionary of the program folder.
    const QString programDir = qEnvironmentVariableIsSet("TQ_PROGRAM_DIR")
        ? qEnvironmentVariable("TQ_PROGRAM_DIR")
        : QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    if (!QDir::setCurrent(programDir)
        || !QFile::exists(WordDatabaseCatalogue::fileName(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST))) {
        std::fprintf(stderr, "word databases not found in %s/Dictionary\n", qPrintable(programDir));
        return 1;
    }
    Embellish embellish(nullptr);
    for (const auto& set : sets) {
        if (set.first == QLatin1String("--misspelled"))
            measureMisspelled(set.second, workers, embellish);
        else
            measureCorrect(set.second, set.first == QLatin1String("--text"), workers, embellish);
    }
    return 0;
}
