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
    if (!ui->unlimitedCheckBox->isChecked())
        trimToLineCount(ui->maxHistoryLineCountSpinBox->value());
}

void OutputDialogEx::clearOutput()
{
    ui->outputTextEdit->clear();
}

void OutputDialogEx::trimToLineCount(int maxLines)
{
    QTextDocument* document = ui->outputTextEdit->document();
    // Display lines: a paragraph the view wraps counts once per line it shows.
    auto displayLines = [](const QTextBlock& block) {
        const QTextLayout* layout = block.layout();
        return layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
    };
    int total = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        total += displayLines(block);
    int excess = total - maxLines;
    if (excess <= 0)
        return;
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::Start);
    while (excess > 0) {
        const QTextBlock block = cursor.block();
        const int lines = displayLines(block);
        if (lines <= excess) {
            if (!cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor)) {
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                break;
            }
            excess -= lines;
        } else {
            // Part of a wrapped paragraph: cut up to the start of its first kept line.
            const QTextLine line = block.layout()->lineAt(excess);
            cursor.setPosition(block.position() + line.textStart(), QTextCursor::KeepAnchor);
            excess = 0;
        }
    }
    cursor.removeSelectedText();
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
