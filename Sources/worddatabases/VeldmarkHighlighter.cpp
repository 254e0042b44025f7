#include "VeldmarkHighlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QBrush>
#include <QDebug>
#include <QFont>
#include <QSignalBlocker>
#include <QTextDocument>

#include "Embellish.h"

VeldmarkHighlighter::VeldmarkHighlighter(QTextDocument* document, Embellish* embellish)
    : QSyntaxHighlighter(document)
{
    qDebug() << Q_FUNC_INFO << ", document =" << document << ", embellish =" << embellish;
    buildRules(embellish ? embellish->getErrorProneCharacters() : QString());
    highlightDocument();
}

VeldmarkHighlighter::VeldmarkHighlighter(QTextDocument* document, const QString& characters)
    : QSyntaxHighlighter(document)
{
    qDebug() << Q_FUNC_INFO << ", document =" << document << ", characters =" << characters;
    buildRules(characters);
    highlightDocument();
}

VeldmarkHighlighter::~VeldmarkHighlighter()
{
    qDebug() << Q_FUNC_INFO;
}

QStringList VeldmarkHighlighter::splitCharacters(const QString& characters)
{
    QStringList entries;
    for (int i = 0; i < characters.size();) {
        const int length = (characters.at(i).isHighSurrogate() && i + 1 < characters.size()
                            && characters.at(i + 1).isLowSurrogate())
            ? 2
            : 1;
        entries << characters.mid(i, length);
        i += length;
    }
    return entries;
}

QTextCharFormat VeldmarkHighlighter::highlightFormat()
{
    QTextCharFormat format;
    format.setBackground(QBrush(Qt::red));
    format.setFontWeight(QFont::Bold);
    return format;
}

void VeldmarkHighlighter::buildRules(const QString& characters)
{
    errorProneCharacters = splitCharacters(characters);
    m_format = highlightFormat();
    for (const QString& entry : qAsConst(errorProneCharacters)) {
        formats << m_format;
        // Escaped: "." or "^" in the list stand for themselves.
        rules << HighlightingRule{QRegExp(QRegExp::escape(entry), Qt::CaseInsensitive, QRegExp::RegExp), m_format};
        m_foldedCharacters.insert(QChar::toCaseFolded(entry.toUcs4().value(0)));
    }
    qDebug() << Q_FUNC_INFO << ", rules =" << rules.size();
}

void VeldmarkHighlighter::highlightDocument()
{
    QTextDocument* doc = document();
    if (!doc)
        return;
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const QSizeF pageSize = doc->pageSize();
    {
        // Without a page size the layout only forgets the painted blocks; the
        // old size back lays the whole document out once. Views hear of the
        // finished layout only: one redone in steps would shrink their scroll
        // range on the way and lose their place in the text.
        const QSignalBlocker quiet(layout);
        doc->setPageSize(QSizeF(0, 0));
        rehighlight();
        doc->setPageSize(pageSize);
        layout->documentSize();
    }
    emit layout->documentSizeChanged(layout->documentSize());
    emit layout->pageCountChanged(layout->pageCount());
    emit layout->update();
}

void VeldmarkHighlighter::highlightBlock(const QString& text)
{
    if (m_foldedCharacters.isEmpty())
        return;
    // Neighbouring hits are painted as one range: fewer ranges, faster layout.
    const int size = text.size();
    const QChar* data = text.constData();
    int runStart = -1;
    for (int i = 0; i < size;) {
        uint code = data[i].unicode();
        int length = 1;
        if (QChar::isHighSurrogate(code) && i + 1 < size && data[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(data[i], data[i + 1]);
            length = 2;
        }
        const bool hit = m_foldedCharacters.contains(QChar::toCaseFolded(code));
        if (hit && runStart < 0) {
            runStart = i;
        } else if (!hit && runStart >= 0) {
            setFormat(runStart, i - runStart, m_format);
            runStart = -1;
        }
        i += length;
    }
    if (runStart >= 0)
        setFormat(runStart, size - runStart, m_format);
}
