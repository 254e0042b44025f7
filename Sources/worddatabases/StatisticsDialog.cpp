#include "StatisticsDialog.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextLayout>

int TextStatistics::codePointCount(const QString& text)
{
    int count = 0;
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

int TextStatistics::codePointCountWithoutSpace(const QString& text)
{
    int count = 0;
    const QVector<uint> codePoints = text.toUcs4();
    for (const uint code : codePoints)
        if (!QChar::isSpace(code))
            ++count;
    return count;
}

TextStatistics TextStatistics::of(QTextEdit* editor)
{
    TextStatistics counts;
    if (!editor)
        return counts;
    const QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection()) {
        // Plain text of the selection: a paragraph break is one "\n".
        const QString selected = cursor.selection().toPlainText();
        counts.selectionCharacters = codePointCount(selected);
        counts.selectionCharactersWithoutSpace = codePointCountWithoutSpace(selected);
    }

    QTextDocument* document = editor->document();
    // The raw text keeps no-break spaces as they are; toPlainText would turn
    // them into blanks first. The last paragraph's end is not part of the text.
    QString text = document->toRawText();
    if (text.endsWith(QChar(QChar::ParagraphSeparator)))
        text.chop(1);
    counts.documentCharacters = codePointCount(text);
    counts.documentCharactersWithoutSpace = codePointCountWithoutSpace(text);

    // Lines exist only once laid out; a large document is laid out in the
    // background, so finish the layout before counting.
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    layout->documentSize();
    if (!document->isEmpty()) {
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            if (block.isVisible() && block.layout())
                counts.documentLines += block.layout()->lineCount();
    }
    counts.documentPages = document->pageCount();
    return counts;
}

StatisticsDialog::StatisticsDialog(QWidget* parent)
    : QDialog(parent)
{
    qDebug() << Q_FUNC_INFO << ", parent =" << parent;
    m_statistics = TextStatistics::of(qobject_cast<QTextEdit*>(parent));

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(18);
    // Headings on the left, figures right-aligned under their column heading.
    auto cell = [this, grid](const QString& text, int row, int column) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        grid->addWidget(label, row, column, column > 0 ? Qt::AlignRight : Qt::Alignment());
    };
    const QString none = QStringLiteral("-");
    cell(tr("选中"), 0, 1);
    cell(tr("总共"), 0, 2);
    cell(tr("行数"), 1, 0);
    cell(none, 1, 1);
    cell(QString::number(m_statistics.documentLines), 1, 2);
    cell(tr("字数(包含空格)"), 2, 0);
    cell(QString::number(m_statistics.selectionCharacters), 2, 1);
    cell(QString::number(m_statistics.documentCharacters), 2, 2);
    cell(tr("字数(不含空格)"), 3, 0);
    cell(QString::number(m_statistics.selectionCharactersWithoutSpace), 3, 1);
    cell(QString::number(m_statistics.documentCharactersWithoutSpace), 3, 2);
    cell(tr("页数"), 4, 0);
    cell(none, 4, 1);
    cell(QString::number(m_statistics.documentPages), 4, 2);

    auto* closeButton = new QPushButton(tr("关闭"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    grid->addWidget(closeButton, 5, 2);
    connect(closeButton, SIGNAL(clicked()), this, SLOT(close()));

    setWindowTitle(tr("统计信息"));
    setFixedSize(sizeHint());
}

StatisticsDialog::~StatisticsDialog()
{
    qDebug() << Q_FUNC_INFO;
}
