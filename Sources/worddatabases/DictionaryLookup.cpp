#include "DictionaryLookup.h"

#include <QDebug>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include "Embellish.h"
#include "SharedCodes.h"

namespace {

const QString highlightOpen = QStringLiteral("<font color=\"DarkOrange\">");
const QString highlightClose = QStringLiteral("</font>");
const QString headWordMark = QStringLiteral("～");

// Escaped plain text with its line breaks kept.
QString escapedLines(const QString& text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    escaped.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("<br>"));
    escaped.replace(QChar(QChar::LineSeparator), QStringLiteral("<br>"));
    return escaped;
}

// Plain text as rich text with every "～" marked.
QString markHeadWordSigns(const QString& text)
{
    QString html;
    const QStringList pieces = text.split(headWordMark);
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            html += highlightOpen + headWordMark + highlightClose;
        html += escapedLines(pieces.at(i));
    }
    return html;
}

// Plain text as rich text with every occurrence of the searched text, and
// then every "～" in the rest, marked.
QString markedHtml(const QString& text, const QString& searched)
{
    if (searched.isEmpty())
        return markHeadWordSigns(text);
    QString html;
    int from = 0;
    for (int at = text.indexOf(searched, 0, Qt::CaseSensitive); at >= 0;
         at = text.indexOf(searched, from, Qt::CaseSensitive)) {
        html += markHeadWordSigns(text.mid(from, at - from));
        html += highlightOpen + escapedLines(searched) + highlightClose;
        from = at + searched.size();
    }
    return html + markHeadWordSigns(text.mid(from));
}

} // namespace

QVector<DictionaryEntry> DictionaryLookup::search(Embellish& embellish, const QString& text, bool exactly)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text << ", exactly =" << exactly;
    QVector<DictionaryEntry> entries;
    QSqlDatabase database = embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_DICTIONARY, QString());
    if (!database.isOpen())
        return entries;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    // Row order, whichever index SQLite takes for the LIKE.
    if (!query.prepare(QStringLiteral("SELECT * FROM 词典 WHERE Word LIKE ? ORDER BY rowid"))) {
        qWarning().noquote() << "SELECT * FROM 词典:" << query.lastError().text();
        return entries;
    }
    query.addBindValue(exactly ? text : text + QLatin1Char('%'));
    if (!query.exec()) {
        qWarning().noquote() << "SELECT * FROM 词典:" << query.lastError().text();
        return entries;
    }
    while (query.next())
        entries.append(DictionaryEntry{query.value(0).toString(), query.value(1).toString()});
    return entries;
}

QStringList DictionaryLookup::distinctWords(const QVector<DictionaryEntry>& entries)
{
    QStringList words;
    QSet<QString> seen;
    for (const DictionaryEntry& entry : entries) {
        if (seen.contains(entry.word))
            continue;
        seen.insert(entry.word);
        words << entry.word;
    }
    return words;
}

QString DictionaryLookup::explanationHtml(const QVector<DictionaryEntry>& entries, const QString& searched)
{
    QString html;
    for (const DictionaryEntry& entry : entries)
        html += markedHtml(entry.word + QStringLiteral(": ") + entry.explanation, searched)
            + QStringLiteral("<br><br>");
    return html;
}
