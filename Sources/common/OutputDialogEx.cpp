#include "OutputDialogEx.h"

#include <QDebug>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "Logging.h"
#include "ui_OutputDialogEx.h"

OutputDialogEx::OutputDialogEx(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::OutputDialogEx)
{
    ui->setupUi(this);
    ui->outputTextEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui->outputTextEdit->viewport()->installEventFilter(this);
    // A read-only console: trimmed lines need no undo history.
    ui->outputTextEdit->document()->setUndoRedoEnabled(false);

    // The slots are connected already, so each restored value also runs its slot.
    const QString wrapKey = QStringLiteral("LogOutputDialogWrapMode");
    if (settings.contains(wrapKey)) {
        const int mode = settings.value(wrapKey).toInt();
        ui->wrapLineCheckBox->setChecked(mode == 1);
        ui->outputTextEdit->setLineWrapMode(mode == 1 ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    }
    const QString lastOnlyKey = QStringLiteral("LogOutputDialogLastOutputOnly");
    if (settings.contains(lastOnlyKey))
        ui->lastOutputOnlyCheckBox->setChecked(settings.value(lastOnlyKey).toInt() != 0);
    const QString unlimitedKey = QStringLiteral("LogOutputDialogLineCountUnlimited");
    if (settings.contains(unlimitedKey))
        ui->unlimitedCheckBox->setChecked(settings.value(unlimitedKey).toInt() != 0);
    const QString maxKey = QStringLiteral("LogOutputDialogLineCountMax");
    if (settings.contains(maxKey))
        ui->maxHistoryLineCountSpinBox->setValue(settings.value(maxKey).toInt());
}

OutputDialogEx::~OutputDialogEx()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

QTextEdit* OutputDialogEx::textEdit() const
{
    return ui->outputTextEdit;
}

void OutputDialogEx::appendLog(const QString& html)
{
    if (ui->lastOutputOnlyCheckBox->isChecked())
        ui->outputTextEdit->clear();
    if (ui->autoScrollCheckBox->isChecked())
        scrollToLastLine();
    ui->outputTextEdit->append(html);
    if (!ui->unlimitedCheckBox->isChecked()) {
        // Cutting the first lines makes the view lay out every line after them, so a
        // cut per append would cost the whole text each time; cut in batches instead.
        const int maxLines = ui->maxHistoryLineCountSpinBox->value();
        trimToLineCount(maxLines, maxLines / 10);
    }
}

void OutputDialogEx::clearOutput()
{
    ui->outputTextEdit->clear();
}

namespace {
// Display lines of a block: a paragraph the view wraps counts once per line it shows.
int displayLines(const QTextBlock& block)
{
    const QTextLayout* layout = block.layout();
    return layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
}
} // namespace

void OutputDialogEx::trimToLineCount(int maxLines, int slack)
{
    QTextDocument* document = ui->outputTextEdit->document();
    // Blocks not yet counted (user state -1) are the ones appended since the last call,
    // all at the end. Walking back over them, and over the block they were added to,
    // keeps an append proportional to what it added instead of to the whole text.
    QTextBlock block = document->lastBlock();
    if (displayLineCount < 0) {
        displayLineCount = 0;
        for (QTextBlock each = document->begin(); each.isValid(); each = each.next())
            each.setUserState(-1);
    }
    int added = 0;
    while (block.isValid() && block.userState() < 0) {
        const int lines = displayLines(block);
        block.setUserState(lines);
        added += lines;
        block = block.previous();
    }
    if (!block.isValid()) {
        // Everything was new: the text was cleared or replaced since the last count.
        displayLineCount = added;
    } else {
        // The previous last block may have taken text of the append.
        const int lines = displayLines(block);
        displayLineCount += added + lines - block.userState();
        block.setUserState(lines);
    }

    int excess = displayLineCount - maxLines;
    if (excess <= qMax(0, slack))
        return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::Start);
    QTextBlock partial;
    int partialLines = 0;
    while (excess > 0) {
        const QTextBlock current = cursor.block();
        const int lines = qMax(1, current.userState());
        if (lines <= excess) {
            if (!cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor)) {
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                break;
            }
            excess -= lines;
            displayLineCount -= lines;
        } else {
            // Part of a wrapped paragraph: cut up to the start of its first kept line.
            const QTextLine line = current.layout()->lineAt(excess);
            cursor.setPosition(current.position() + line.textStart(), QTextCursor::KeepAnchor);
            partial = current;
            partialLines = lines - excess;
            displayLineCount -= excess;
            excess = 0;
        }
    }
    cursor.removeSelectedText();
    if (partial.isValid()) {
        // The cut paragraph is now the first block; it keeps the lines left of it.
        document->firstBlock().setUserState(partialLines);
    }
    if (document->isEmpty())
        displayLineCount = -1;
}

void OutputDialogEx::scrollToLastLine()
{
    QTextCursor cursor = ui->outputTextEdit->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfLine);
    ui->outputTextEdit->setTextCursor(cursor);
}

void OutputDialogEx::reject()
{
}

bool OutputDialogEx::eventFilter(QObject* watched, QEvent* event)
{
    // Another width wraps the paragraphs into other line counts.
    if (event->type() == QEvent::Resize && watched == ui->outputTextEdit->viewport())
        displayLineCount = -1;
    return QDialog::eventFilter(watched, event);
}

void OutputDialogEx::on_clearPushButton_clicked()
{
    clearOutput();
}

void OutputDialogEx::on_pauseContinuePushButton_toggled(bool checked)
{
    if (checked) {
        logTargets &= ~LOG_TARGET_OUTPUT_WINDOW;
        ui->pauseContinuePushButton->setText(tr("继续"));
    } else {
        logTargets |= LOG_TARGET_OUTPUT_WINDOW;
        ui->pauseContinuePushButton->setText(tr("暂停"));
    }
}

void OutputDialogEx::on_autoScrollCheckBox_stateChanged(int arg1)
{
    if (arg1 == Qt::Checked)
        scrollToLastLine();
}

void OutputDialogEx::on_wrapLineCheckBox_stateChanged(int arg1)
{
    const bool wrap = arg1 == Qt::Checked;
    ui->outputTextEdit->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    displayLineCount = -1;
    settings.setValue(QStringLiteral("LogOutputDialogWrapMode"), wrap ? 1 : 0);
}

void OutputDialogEx::on_lastOutputOnlyCheckBox_stateChanged(int arg1)
{
    settings.setValue(QStringLiteral("LogOutputDialogLastOutputOnly"), arg1);
}

void OutputDialogEx::on_unlimitedCheckBox_stateChanged(int arg1)
{
    ui->maxHistoryLineCountSpinBox->setEnabled(arg1 != Qt::Checked);
    settings.setValue(QStringLiteral("LogOutputDialogLineCountUnlimited"), arg1);
}

void OutputDialogEx::on_maxHistoryLineCountSpinBox_valueChanged(int arg1)
{
    trimToLineCount(arg1);
    settings.setValue(QStringLiteral("LogOutputDialogLineCountMax"), arg1);
}
