// The writer's word tools, against baselines measured in the same run:
//
//   dictionary  one keystroke in the dictionary box (prefix query, word list,
//               dock) on a 100,000-entry dictionary table, against the bare
//               bound prefix query on the same file; goal under 20 ms.
//   highlight   switching the user word-list highlighter on for a laid-out 5 MB
//               document with 200 custom characters until the document is laid
//               out again, against the plain layout of the same text in a
//               QTextDocument; goal within 2x. Also the time until an editor
//               showing the document has painted it again.
//
// Usage: bench_wordtools [samples, default 5]

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "MainWindow.h"
#include "VeldmarkHighlighter.h"

#include "BenchSupport.h"

namespace {

const int kAlphabet = 3000;

// The ideograph of frequency rank `rank`: ranks spread over the CJK block.
QChar ideograph(int rank)
{
    return QChar(0x4E00 + (rank * 7919) % 20902);
}

// Ranks drawn with Zipf-like frequencies (rank r has weight 1 / (r + 1)), as
// the characters of real text are.
class ZipfRanks
{
public:
    explicit ZipfRanks(quint32 seed) : m_random(seed)
    {
        double sum = 0;
        for (int r = 0; r < kAlphabet; ++r)
            m_cumulative.push_back(sum += 1.0 / (r + 1));
    }
    int next()
    {
        const double u = (double(m_random.next()) * 32768.0 + m_random.next()) / (32768.0 * 32768.0);
        return int(std::lower_bound(m_cumulative.begin(), m_cumulative.end(), u * m_cumulative.back())
                   - m_cumulative.begin());
    }

private:
    BenchRandom m_random;
    std::vector<double> m_cumulative;
};

// Paragraphs of 20 to 100 characters with commas and a full stop.
QString documentText(int charactersWanted)
{
    ZipfRanks ranks(4242);
    BenchRandom lengths(77);
    QString text;
    text.reserve(charactersWanted + 256);
    while (text.size() < charactersWanted) {
        const int length = 20 + int(lengths.next() % 81);
        for (int i = 0; i < length; ++i)
            text += (lengths.next() % 13 == 0) ? QChar(0xFF0C) : ideograph(ranks.next());
        text += QChar(0x3002);
        text += QLatin1Char('\n');
    }
    return text;
}

// ---- Dictionary ------------------------------------------------------------------

void buildDictionary(const QString& path, int entries)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        // As tools/dictbuild makes the shipped tables.
        query.exec(QStringLiteral("CREATE TABLE \"词典\" (\"Word\" TEXT, \"Explanation\" TEXT)"));
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO \"词典\" VALUES (?, ?)"));
        ZipfRanks ranks(99);
        BenchRandom random(5);
        for (int i = 0; i < entries; ++i) {
            QString word;
            const int length = 2 + int(random.next() % 3);
            for (int j = 0; j < length; ++j)
                word += ideograph(j == 0 ? int(random.next() % kAlphabet) : ranks.next());
            query.bindValue(0, word);
            query.bindValue(1, QString(QStringLiteral("释义：") + word + QStringLiteral("的解释。\n例：这里有～。")));
            query.exec();
        }
        db.commit();
        query.exec(QStringLiteral("CREATE INDEX \"词典_Word_nocase\" ON \"词典\" (\"Word\" COLLATE NOCASE)"));
    }
    QSqlDatabase::removeDatabase(name);
}

void dictionaryBenchmark(const QTemporaryDir& home, int samples)
{
    const QString folder = home.filePath(QStringLiteral("program"));
    QDir().mkpath(folder + QStringLiteral("/Dictionary"));
    const int entries = 100000;
    buildDictionary(folder + QStringLiteral("/Dictionary/词典.db"), entries);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);

    // Prefixes a user types: first characters of frequent and rare words,
    // and two-character starts.
    QStringList prefixes;
    BenchRandom random(11);
    for (int i = 0; i < 40; ++i)
        prefixes << QString(ideograph(int(random.next() % kAlphabet)));
    for (int i = 0; i < 20; ++i)
        prefixes << QString(ideograph(int(random.next() % 50))) + ideograph(int(random.next() % 50));

    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    window.resize(1200, 900);
    window.show();
    QApplication::processEvents();

    std::vector<double> keystroke, bare;
    int listed = 0;
    const QString connection = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral("./Dictionary/词典.db"));
        db.open();
        QSqlQuery plan(db);
        plan.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM 词典 WHERE Word LIKE '天%' ORDER BY rowid"));
        while (plan.next())
            std::printf("query plan: %s\n", qPrintable(plan.value(3).toString()));

        for (int round = 0; round < samples; ++round) {
            for (const QString& prefix : prefixes) {
                window.dictLineEdit->clear();
                QElapsedTimer timer;
                timer.start();
                window.dictLineEdit->setText(prefix);
                keystroke.push_back(seconds(timer) * 1000);
                listed += window.dictListWidget->count();

                timer.restart();
                QSqlQuery query(db);
                query.setForwardOnly(true);
                query.prepare(QStringLiteral("SELECT * FROM 词典 WHERE Word LIKE ?"));
                query.addBindValue(QString(prefix + QLatin1Char('%')));
                query.exec();
                int rows = 0;
                while (query.next())
                    rows += query.value(0).toString().size() > 0;
                bare.push_back(seconds(timer) * 1000);
            }
        }
    }
    QSqlDatabase::removeDatabase(connection);
    QDir::setCurrent(previous);

    const double keystrokeMs = median(keystroke);
    const double bareMs = median(bare);
    std::sort(keystroke.begin(), keystroke.end());
    std::printf("dictionary keystroke, %d entries, %zu keystrokes (%.1f words listed on average):\n"
                "  keystroke median %.2f ms, 95th %.2f ms, worst %.2f ms (goal < 20 ms)\n"
                "  bare prefix query median %.3f ms; ratio %.1fx\n",
                entries, keystroke.size(), double(listed) / keystroke.size(), keystrokeMs,
                keystroke.at(keystroke.size() * 95 / 100), keystroke.back(), bareMs, keystrokeMs / bareMs);
}

// ---- Highlighter -------------------------------------------------------------------

void prepare(QTextDocument& document, const QString& text)
{
    document.setDefaultFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 12));
    document.setTextWidth(800);
    document.setPlainText(text);
}

void highlightBenchmark(int samples)
{
    const QString text = documentText((5 << 20) / 3); // 5 MB as UTF-8
    QString custom;
    BenchRandom random(31);
    while (custom.size() < 200) {
        const QChar c = ideograph(int(random.next() % 1000));
        if (!custom.contains(c))
            custom += c;
    }
    int painted = 0;
    for (const QChar c : text)
        painted += custom.contains(c);

    std::vector<double> plain, highlighted, repainted;
    for (int round = 0; round < samples; ++round) {
        {
            QTextDocument document;
            prepare(document, text);
            QElapsedTimer timer;
            timer.start();
            document.documentLayout()->documentSize();
            plain.push_back(seconds(timer));
        }
        {
            QTextDocument document;
            prepare(document, text);
            document.documentLayout()->documentSize();
            QElapsedTimer timer;
            timer.start();
            VeldmarkHighlighter highlighter(&document, custom);
            // The highlighter's own pass scheduled for the event loop must find nothing left to do.
            QCoreApplication::processEvents();
            document.documentLayout()->documentSize();
            highlighted.push_back(seconds(timer));
        }
        {
            QTextEdit editor;
            editor.resize(900, 700);
            editor.document()->setDefaultFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 12));
            editor.setPlainText(text);
            editor.show();
            editor.document()->documentLayout()->documentSize();
            editor.viewport()->repaint();
            QElapsedTimer timer;
            timer.start();
            VeldmarkHighlighter highlighter(editor.document(), custom);
            editor.viewport()->repaint();
            repainted.push_back(seconds(timer));
        }
    }
    const double plainS = median(plain);
    const double highlightedS = median(highlighted);
    std::printf("highlighting a %.1f MB document (%d characters, %.1f%% of them among the 200 custom ones), "
                "%d samples:\n"
                "  plain layout median %.3f s\n"
                "  highlighter on until laid out again median %.3f s; ratio %.2fx (goal within 2x)\n"
                "  highlighter on in a shown editor until repainted median %.3f s; ratio %.2fx\n",
                text.toUtf8().size() / 1048576.0, text.size(), 100.0 * painted / text.size(), samples, plainS,
                highlightedS, highlightedS / plainS, median(repainted),
                median(repainted) / plainS);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    const int samples = program.count(1, 5);

    dictionaryBenchmark(home, samples);
    highlightBenchmark(samples);
    return 0;
}
