#include "TextToTemplateDialog.h"

#include <QDebug>
#include <QMessageBox>
#include <QRegularExpression>

#include "AtomTemplateLibrary.h"
#include "ListWidget.h"
#include "Prompt.h"
#include "TemplateContents.h"
#include "TemplateDialog.h"
#include "TreeWidget.h"
#include "ui_TextToTemplateDialog.h"

TextToTemplateDialog::TextToTemplateDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::TextToTemplateDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    // Made anew for every use: it goes when it closes.
    setAttribute(Qt::WA_DeleteOnClose);
}

TextToTemplateDialog::~TextToTemplateDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

void TextToTemplateDialog::setText(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text.left(200);
    ui->textPlainTextEdit->setPlainText(text);
}

QString TextToTemplateDialog::getRegExpString() const
{
    const bool full = ui->fullWidthCheckBox->isChecked();
    const bool half = ui->halfWidthCheckBox->isChecked();
    const struct
    {
        const QCheckBox* box;
        QChar fullWidth;
        QChar halfWidth;
    } marks[] = {
        {ui->periodCheckBox, QChar(0x3002), QLatin1Char('.')},
        {ui->semicolonCheckBox, QChar(0xFF1B), QLatin1Char(';')},
        {ui->commaCheckBox, QChar(0xFF0C), QLatin1Char(',')},
        {ui->exclamationMarkCheckBox, QChar(0xFF01), QLatin1Char('!')},
        {ui->questionMarkCheckBox, QChar(0xFF1F), QLatin1Char('?')},
    };
    QString characters;
    for (const auto& mark : marks) {
        if (!mark.box->isChecked())
            continue;
        if (full)
            characters += mark.fullWidth;
        if (half)
            characters += mark.halfWidth;
    }
    if (ui->newLineCheckBox->isChecked())
        characters += QLatin1Char('\n');
    if (ui->tabCheckBox->isChecked())
        characters += QLatin1Char('\t');
    if (ui->spaceCheckBox->isChecked())
        characters += QLatin1Char(' ');
    for (const QLineEdit* edit : {ui->other1LineEdit, ui->other2LineEdit, ui->other3LineEdit, ui->other4LineEdit})
        characters += edit->text();
    qDebug() << "regExp =" << characters;
    if (characters.isEmpty())
        return QString();

    // Each character stands for itself inside the class, whatever it is.
    QString pattern = QStringLiteral("[");
    for (const QChar c : qAsConst(characters))
        pattern += QRegularExpression::escape(QString(c));
    pattern += QLatin1Char(']');
    qDebug() << "regExp =" << pattern;
    return pattern;
}

QStringList TextToTemplateDialog::split(const QString& text, const QString& pattern, bool caseInsensitive,
                                        bool skipEmpty, bool includeSeparator)
{
    QStringList pieces;
    auto add = [&](int from, int contentEnd, int end) {
        if (skipEmpty && contentEnd == from)
            return;
        pieces << text.mid(from, end - from);
    };
    int start = 0;
    if (!pattern.isEmpty()) {
        const QRegularExpression expression(pattern, caseInsensitive ? QRegularExpression::CaseInsensitiveOption
                                                                     : QRegularExpression::NoPatternOption);
        if (!expression.isValid()) {
            qWarning() << "Invalid separator pattern:" << pattern << expression.errorString();
        } else {
            QRegularExpressionMatchIterator it = expression.globalMatch(text);
            while (it.hasNext()) {
                const QRegularExpressionMatch match = it.next();
                const bool keep = includeSeparator && !match.captured().trimmed().isEmpty();
                add(start, match.capturedStart(), keep ? match.capturedEnd() : match.capturedStart());
                start = match.capturedEnd();
            }
        }
    }
    add(start, text.size(), text.size());
    return pieces;
}

bool TextToTemplateDialog::isAtomReference(const QString& piece)
{
    return piece.size() >= 3 && piece.startsWith(QLatin1Char('[')) && piece.endsWith(QLatin1Char(']'))
        && !piece.contains(QLatin1Char('\n'));
}

void TextToTemplateDialog::splitText()
{
    qDebug() << Q_FUNC_INFO;
    const QStringList pieces =
        split(ui->textPlainTextEdit->toPlainText(), getRegExpString(), ui->caseInsensitiveCheckBox->isChecked(),
              ui->skipEmptyPartsCheckBox->isChecked(), ui->includeSeparatorCheckBox->isChecked());
    QListWidget* list = ui->resultListWidget;
    list->clear();
    list->addItems(pieces);
    for (int row = 0; row < list->count(); ++row)
        if (isAtomReference(list->item(row)->text()))
            list->item(row)->setForeground(QBrush(Qt::red));
}

QStringList TextToTemplateDialog::pieces() const
{
    QStringList texts;
    for (int row = 0; row < ui->resultListWidget->count(); ++row)
        texts << ui->resultListWidget->item(row)->text();
    return texts;
}

void TextToTemplateDialog::warn(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, tr("错误"), text, QMessageBox::Ok, this);
    Prompt::current().exec(box);
}

void TextToTemplateDialog::on_okPushButton_clicked()
{
    const QStringList rows = pieces();
    qDebug() << Q_FUNC_INFO << ", rows =" << rows;
    const bool respective = ui->respectiveTemplateRadioButton->isChecked();
    TemplateDialog* target = nullptr;
    if (!respective) {
        target = m_targets.currentTab ? m_targets.currentTab() : nullptr;
        if (!target) {
            warn(tr("请手动选择要加入的模板， 然后重试！"));
            return;
        }
    }
    for (const QString& text : rows) {
        if (respective && isAtomReference(text)) {
            QString name = text;
            name.remove(QLatin1Char('['));
            name.remove(QLatin1Char(']'));
            target = nullptr;
            if (!AtomTemplateLibrary::isSafeName(name))
                warn(tr("原子模板名不能含有 \"/\"、\"\\\" 或 \"..\": ") + name);
            else if (m_targets.openAtomTemplate)
                target = m_targets.openAtomTemplate(name);
            continue;
        }
        if (!target)
            continue;
        TreeWidget* tree = target->getTreeWidget();
        ListWidget* list = target->getListWidget();
        if (!tree->currentItem())
            continue;
        if (list->currentRow() < 0 && list->count() > 0)
            list->setCurrentRow(list->count() - 1);
        TemplateContents::insert(target, tree->currentItem(), list->currentRow() + 1, {text});
        if (m_targets.edited)
            m_targets.edited(target);
    }
    accept();
}

void TextToTemplateDialog::on_cancelPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    reject();
}

void TextToTemplateDialog::on_textPlainTextEdit_textChanged() { splitText(); }
void TextToTemplateDialog::on_periodCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_semicolonCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_commaCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_exclamationMarkCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_questionMarkCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_newLineCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_tabCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_spaceCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_fullWidthCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_halfWidthCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_includeSeparatorCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_skipEmptyPartsCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_caseInsensitiveCheckBox_stateChanged(int) { splitText(); }
void TextToTemplateDialog::on_other1LineEdit_textChanged(const QString&) { splitText(); }
void TextToTemplateDialog::on_other2LineEdit_textChanged(const QString&) { splitText(); }
void TextToTemplateDialog::on_other3LineEdit_textChanged(const QString&) { splitText(); }
void TextToTemplateDialog::on_other4LineEdit_textChanged(const QString&) { splitText(); }
