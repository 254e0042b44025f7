// The find text's regular expression: QRegExp's syntax, matched by
// QRegularExpression. Each construct the two engines write differently keeps
// its meaning, as the count, 查找 and 全部替换 see it; random expressions match
// where QRegExp matched.

#include <QRegExp>
#include <QRegularExpression>

#include "FindExpression.h"
#include "MatchScanner.h"
#include "TestSupport.h"

namespace {

// The matches the one rule finds in `text`, as "start-end" pairs.
QString scannedMatches(const QString& find, Qt::CaseSensitivity cs, const QString& text)
{
    QStringList found;
    MatchScanner(find, cs, true).scan(text, [&found](int start, int end) {
        found << QStringLiteral("%1-%2").arg(start).arg(end);
    });
    return found.join(QLatin1Char(' '));
}

} // namespace

class FindExpressionTest : public QObject
{
    Q_OBJECT

private slots:
    // What the writer types means what it meant to QRegExp; the rows show
    // each construct the two engines write differently, counted as the count,
    // 查找 and 全部替换 see them.
    void expressionsKeepTheirMeaning_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("matches");
        QTest::newRow("four hex digits") << "\\x4E2D" << true << "文中" << "1-2";
        QTest::newRow("range of hex codes") << "[\\x4E00-\\x9FA5]+" << true << "ab中文c" << "2-4";
        QTest::newRow("octal code") << "\\0101" << true << "BA" << "1-2";
        QTest::newRow("vertical tab only") << "\\v" << true << "\u2028\v\n" << "1-2";
        QTest::newRow("escaped letters") << "\\e\\z\\h\\Q" << true << QChar(0x1B) + QString(" ezhQ") << "2-6";
        QTest::newRow("up to two") << "a{,2}" << true << "aaa" << "0-2 2-3 3-3";
        QTest::newRow("any number") << "a{,}b" << true << "aab" << "0-3";
        QTest::newRow("range backwards") << "[z-a]" << true << "m-" << "0-1";
        QTest::newRow("class escape ends a range") << "[a-\\d]" << true << "-5b" << "0-1 1-2";
        QTest::newRow("negated class escape in a class") << "[^\\W1]" << true << "a1 _" << "0-1 3-4";
        QTest::newRow("marks are word characters") << "\\w+" << true << "e\u0301x中_1 y" << "0-6 7-8";
        QTest::newRow("no boundary before a mark") << "\\b\\W" << true << "e\u0301 a" << "2-3";
        QTest::newRow("spaces") << "\\s+" << true << "a" + QString(QChar(0x85)) + "\u2028\u3000\tb" << "1-5";
        QTest::newRow("digits") << "\\d+" << true << "1١x" << "0-2";
        QTest::newRow("end is the end") << "a$" << true << "a\n" << "";
        QTest::newRow("group that matched nothing") << "(a)?\\1b" << true << "b" << "0-1";
        QTest::newRow("no such group") << "b\\2" << true << "ab" << "1-2";
        QTest::newRow("two-digit back-reference") << "(a)\\10" << true << "aa0" << "0-1 1-2";
        QTest::newRow("lookahead, then optional text") << "(?=a)x*a" << true << "ba" << "1-2";
        QTest::newRow("boundary, then optional text") << "\\bx*a" << true << "ba a" << "3-4";
        QTest::newRow("quantified anchor") << "^*a" << true << "aa" << "0-1 1-2";
        QTest::newRow("any character, line ends too") << "." << true << "a\u2028\n" << "0-1 1-2 2-3";
        QTest::newRow("class, any case") << "[a-c]+" << false << "ABd" << "0-2";
        QTest::newRow("back-reference, any case") << "(a)\\1" << false << "aA" << "0-2";
        QTest::newRow("lookbehind is refused") << "(?<=a)b" << true << "ab" << "";
        QTest::newRow("unfinished repetition is refused") << "a{1,2" << true << "a{1,2" << "";
        // Where the engines differ: one character is one, and the first alternative that matches is taken.
        QTest::newRow("one character outside the BMP") << "." << true << "\U0001F600" << "0-2";
        QTest::newRow("first alternative") << "a|ab" << true << "ab" << "0-1";
    }

    void expressionsKeepTheirMeaning()
    {
        QFETCH(QString, find);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, text);
        QFETCH(QString, matches);
        QCOMPARE(scannedMatches(find, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, text), matches);
    }

    // Random expressions of one-character items, classes, escapes, anchors,
    // lookaheads, groups and back-references, repeated or not, over random text:
    // the engine's first match from every offset is QRegExp's. (Alternatives and
    // repeated groups are left out: there QRegExp took the longest match.)
    void expressionsMatchAsQRegExpMatched()
    {
        const QStringList items = {
            "a", "A", "_", "1", "\\d", "\\D", "\\w", "\\W", "\\s", "\\S", ".", "[a-c]", "[^a]", "[\\d_]", "[^\\w ]",
            "[\\W1]", "[]a]", "[z-a]", "[a-\\d]", "[\\x41-\\x5a]", "\\x4E2D", "\\0101", "\\t", "\\v", "\\e", "\\z",
            "\\A", "\\Q", "\\h", "\\K", "\\-", "\\]", "\\[", "-", "中", "é", "\\b", "\\B", "^", "$", "(?=a)", "(?!b)",
            "(a)", "(?:b)", "\\1", "\\12", "[\\s]", "[[:a]", "\\x", "[\\x4E00-\\x9FA5]", "\\0", "#", " ", "\\{"};
        const QStringList repeats = {"", "", "", "*", "+", "?", "{2}", "{1,}", "{,2}", "{0,1}", "{,}", "{}"};
        const QString alphabet = QStringLiteral("aAbB_1 中é\u0301-]\\x\t\v١[\u2028#{}()");
        quint32 state = 2024;
        auto next = [&state](int range) {
            state = state * 1664525u + 1013904223u;
            return int((state >> 8) % quint32(range));
        };
        int compared = 0;
        for (int round = 0; round < 6000; ++round) {
            QString find;
            for (int i = 1 + next(3); i > 0; --i)
                find += items.at(next(items.size())) + repeats.at(next(repeats.size()));
            QString text;
            for (int i = next(12); i > 0; --i)
                text += alphabet.at(next(alphabet.size()));
            const Qt::CaseSensitivity cs = next(2) ? Qt::CaseSensitive : Qt::CaseInsensitive;
            QRegExp reference(find, cs, QRegExp::RegExp2);
            const QRegularExpression expression = FindExpression::compile(find, cs, true);
            QCOMPARE(expression.isValid(), reference.isValid());
            if (!reference.isValid())
                continue;
            for (int offset = 0; offset <= text.size(); ++offset) {
                const int at = reference.indexIn(text, offset);
                const QRegularExpressionMatch match = expression.match(text, offset);
                const QString expected = at < 0 ? "none" : QString("%1+%2").arg(at).arg(reference.matchedLength());
                const QString actual = !match.hasMatch()
                                           ? "none"
                                           : QString("%1+%2").arg(match.capturedStart()).arg(match.capturedLength());
                QVERIFY2(actual == expected, qPrintable(QString("%1 in \"%2\" from %3: %4 / %5")
                                                            .arg(find, text).arg(offset).arg(expected, actual)));
                ++compared;
            }
        }
        QVERIFY(compared > 10000);
    }
};

TQ_TEST_MAIN(FindExpressionTest)
#include "tst_findexpression.moc"
