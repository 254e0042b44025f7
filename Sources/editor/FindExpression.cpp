#include "FindExpression.h"

#include <QPair>
#include <QRegExp>
#include <QVector>

namespace {

// The sets of QRegExp's class escapes: word characters are letters, marks,
// digits and '_' (QChar::isLetterOrNumber, QChar::isMark), spaces those of
// QChar::isSpace, digits the decimal ones.
const QLatin1String wordSet("\\p{L}\\p{M}\\p{N}_");
const QLatin1String spaceSet("\\t-\\r\\x{85}\\p{Z}");
const QLatin1String digitSet("\\p{Nd}");

// The set of \d, \s or \w (negated for \D, \S, \W); false for any other letter.
bool classEscape(uint c, QString* set, bool* negated)
{
    switch (c) {
    case 'd':
    case 'D':
        *set = digitSet;
        break;
    case 's':
    case 'S':
        *set = spaceSet;
        break;
    case 'w':
    case 'W':
        *set = wordSet;
        break;
    default:
        return false;
    }
    *negated = c < 'a';
    return true;
}

// One character that stands for itself, inside a class or out.
QString literal(uint code)
{
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z'))
        return QString(QChar(code));
    return QStringLiteral("\\x{%1}").arg(code, 0, 16);
}

int digitValue(uint c, int base)
{
    int value = 99;
    if (c >= '0' && c <= '9')
        value = int(c - '0');
    else if (c >= 'a' && c <= 'f')
        value = int(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        value = int(c - 'A' + 10);
    return value < base ? value : -1;
}

// One pass over a pattern QRegExp accepts, writing the same expression for
// QRegularExpression.
class Translation
{
public:
    Translation(const QString& pattern, int groups) : m_in(pattern.toUcs4()), m_groups(groups) {}

    QString run();

private:
    static const uint none = 0xFFFFFFFF;

    bool atEnd() const { return m_at >= m_in.size(); }
    uint peek(int ahead = 0) const { return m_at + ahead < m_in.size() ? m_in.at(m_at + ahead) : none; }
    uint take() { return m_in.at(m_at++); }
    uint number(int base, int digits);
    uint code(uint c);

    bool step(uint c);
    void openGroup();
    bool closeGroup();
    void atom(const QString& text, bool assertion = false);
    bool quantifier(const QString& text);
    bool escape();
    bool interval();
    bool characterClass();
    bool classMember(QString* members, QStringList* excluded);

    QVector<uint> m_in;
    int m_at = 0;
    int m_groups;
    QString m_out;
    int m_atomStart = -1;        // where the last atom starts in m_out, -1 after "|" or "("
    bool m_atomAssertion = false; // it matches no text (^, $, \b, a lookahead)
    QVector<QPair<int, bool>> m_open; // the groups open: their start in m_out, and lookaheads
    bool m_lookaround = false;        // a lookahead or lookbehind was written
};

QString Translation::run()
{
    while (!atEnd()) {
        if (!step(take()))
            return QString();
    }
    if (!m_open.isEmpty())
        return QString();
    // The engine's quick look for where a match may start (PCRE2 10.42) goes
    // wrong after a lookahead ("(?=a)x*a" finds nothing in "ba"): none is taken then.
    return m_lookaround ? QLatin1String("(*NO_START_OPT)") + m_out : m_out;
}

// One character of the pattern, with what follows it where it needs that.
bool Translation::step(uint c)
{
    switch (c) {
    case '\\':
        return escape();
    case '[':
        return characterClass();
    case '(':
        openGroup();
        return true;
    case ')':
        return closeGroup();
    case '|':
        m_out += QLatin1Char('|');
        m_atomStart = -1;
        return true;
    case '^':
        atom(QStringLiteral("^"), true);
        return true;
    case '$': // the end itself, never before a final line feed
        atom(QStringLiteral("\\z"), true);
        return true;
    case '.': // any character: the expression is compiled with DotMatchesEverythingOption
        atom(QStringLiteral("."));
        return true;
    case '*':
    case '+':
    case '?':
        return quantifier(QString(QChar(c)));
    case '{':
        return interval();
    default:
        atom(literal(c));
        return true;
    }
}

// "(", "(?:", "(?=" or "(?!" (QRegExp knows no other kind).
void Translation::openGroup()
{
    const bool lookahead = peek() == '?' && (peek(1) == '=' || peek(1) == '!');
    m_lookaround = m_lookaround || lookahead;
    m_open.append({m_out.size(), lookahead});
    m_out += QLatin1Char('(');
    if (peek() == '?') {
        m_out += QLatin1Char(char(take()));
        m_out += QLatin1Char(char(take()));
    }
    m_atomStart = -1;
}

bool Translation::closeGroup()
{
    if (m_open.isEmpty())
        return false;
    m_out += QLatin1Char(')');
    m_atomStart = m_open.last().first;
    m_atomAssertion = m_open.takeLast().second;
    return true;
}

// Up to `digits` digits in `base`.
uint Translation::number(int base, int digits)
{
    uint value = 0;
    for (int i = 0; i < digits && digitValue(peek(), base) >= 0; ++i)
        value = value * uint(base) + uint(digitValue(take(), base));
    return value;
}

// The character an escape other than a class or an assertion stands for:
// \a \f \n \r \t \v, \x with up to four hex digits, \0 with up to three octal
// ones; any other character stands for itself.
uint Translation::code(uint c)
{
    switch (c) {
    case 'a': return 7;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case 'x': return number(16, 4);
    case '0': return number(8, 3);
    default: return c;
    }
}

void Translation::atom(const QString& text, bool assertion)
{
    m_atomStart = m_out.size();
    m_atomAssertion = assertion;
    m_out += text;
}

// A quantifier needs an atom; one on an assertion goes onto a group holding it.
bool Translation::quantifier(const QString& text)
{
    if (m_atomStart < 0)
        return false;
    if (m_atomAssertion) {
        m_out.insert(m_atomStart, QLatin1String("(?:"));
        m_out += QLatin1Char(')');
        m_atomAssertion = false;
    }
    m_out += text;
    return true;
}

bool Translation::escape()
{
    if (atEnd())
        return false;
    const uint c = take();
    QString set;
    bool negated = false;
    if (classEscape(c, &set, &negated)) {
        atom(QLatin1String(negated ? "[^" : "[") + set + QLatin1Char(']'));
    } else if (c == 'b' || c == 'B') {
        const QString word = QLatin1Char('[') + wordSet + QLatin1Char(']');
        const QString edge = QStringLiteral("(?:(?<=%1)(?!%1)|(?<!%1)(?=%1))").arg(word);
        const QString inside = QStringLiteral("(?:(?<=%1)(?=%1)|(?<!%1)(?!%1))").arg(word);
        atom(c == 'b' ? edge : inside, true);
        m_lookaround = true;
    } else if (c >= '1' && c <= '9') {
        // A back-reference; one to a group that took part in no match (or to
        // none at all) matches the empty text.
        uint group = c - '0';
        while (digitValue(peek(), 10) >= 0 && group < 100000)
            group = group * 10 + uint(digitValue(take(), 10));
        atom(group <= uint(m_groups) ? QStringLiteral("(?(%1)\\g{%1})").arg(group) : QStringLiteral("(?:)"));
    } else {
        atom(literal(code(c)));
    }
    return true;
}

// {n}, {n,}, {,m}, {n,m}, {,} and {} (no repetition).
bool Translation::interval()
{
    const int digitsBefore = m_at;
    const uint low = number(10, 9);
    const bool lowGiven = m_at > digitsBefore;
    if (peek() == '}') {
        take();
        return quantifier(QStringLiteral("{%1}").arg(low));
    }
    if (peek() != ',')
        return false;
    take();
    const int digitsAfter = m_at;
    const uint high = number(10, 9);
    const bool highGiven = m_at > digitsAfter;
    if (peek() != '}')
        return false;
    take();
    const QString from = QString::number(lowGiven ? low : 0);
    return quantifier(highGiven ? QStringLiteral("{%1,%2}").arg(from).arg(high) : QStringLiteral("{%1,}").arg(from));
}

// [...] and [^...]: a "]" first is a member; "-" between two members makes a
// range, a reversed one too, and stands for itself elsewhere. \D, \S and \W
// inside a class are written as alternatives beside it.
bool Translation::characterClass()
{
    const bool negated = peek() == '^';
    if (negated)
        take();
    QString members;
    QStringList excluded; // sets of \D, \S, \W: their complements belong to the class
    bool first = true;
    while (!atEnd() && (first || peek() != ']')) {
        first = false;
        if (!classMember(&members, &excluded))
            return false;
    }
    if (atEnd())
        return false;
    take(); // "]"
    QStringList alternatives;
    if (!members.isEmpty())
        alternatives << QLatin1Char('[') + members + QLatin1Char(']');
    for (const QString& set : excluded)
        alternatives << QLatin1String("[^") + set + QLatin1Char(']');
    if (excluded.isEmpty())
        atom(QLatin1String(negated ? "[^" : "[") + members + QLatin1Char(']'));
    else if (negated)
        atom(QStringLiteral("(?:(?!%1).)").arg(alternatives.join(QLatin1Char('|'))));
    else
        atom(QStringLiteral("(?:%1)").arg(alternatives.join(QLatin1Char('|'))));
    return true;
}

// One member of a class: a character, a range, or a class escape.
bool Translation::classMember(QString* members, QStringList* excluded)
{
    QString set;
    bool negated = false;
    auto single = [&](uint* out) {
        const uint c = take();
        if (c != '\\')
            *out = c;
        else if (atEnd())
            return false;
        else if (classEscape(peek(), &set, &negated))
            take();
        else
            *out = code(take());
        return true;
    };
    auto addSet = [&] {
        if (negated)
            *excluded << set;
        else
            *members += set;
        set.clear();
    };
    uint from = none;
    if (!single(&from))
        return false;
    if (!set.isEmpty()) {
        addSet();
        return true;
    }
    if (peek() != '-' || peek(1) == ']' || peek(1) == none) {
        *members += literal(from);
        return true;
    }
    take(); // "-"
    uint to = none;
    if (!single(&to))
        return false;
    if (!set.isEmpty()) { // "a-\d": a, "-" and the digits
        *members += literal(from) + literal('-');
        addSet();
        return true;
    }
    *members += literal(qMin(from, to)) + QLatin1Char('-') + literal(qMax(from, to));
    return true;
}

} // namespace

QString FindExpression::translate(const QString& pattern)
{
    const QRegExp reference(pattern, Qt::CaseSensitive, QRegExp::RegExp2);
    if (!reference.isValid())
        return QString();
    return Translation(pattern, reference.captureCount()).run();
}

QRegularExpression FindExpression::compile(const QString& find, Qt::CaseSensitivity cs, bool regexp)
{
    QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption;
    if (cs == Qt::CaseInsensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    if (!regexp)
        return QRegularExpression(QRegularExpression::escape(find), options);
    // QRegExp's "." matches any character; with this option ".*" at the start
    // also lets the engine try a paragraph from its start only.
    options |= QRegularExpression::DotMatchesEverythingOption;
    const QString pattern = translate(find);
    // A text QRegExp refuses gets an expression that is just as invalid.
    return QRegularExpression(pattern.isNull() ? QStringLiteral("(") : pattern, options);
}
