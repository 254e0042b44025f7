#include "ShortcutsConfigForm.h"

#include <QDebug>
#include <iterator>
#include <QKeySequence>
#include <QPushButton>
#include <QTableWidgetItem>

#include "DefaultShortcuts.h"
#include "SettingsStore.h"
#include "ShortCutRecordLineEdit.h"
#include "ui_ShortcutsConfigForm.h"

namespace {

const char countProperty[] = "KeySequenceCount";
const char group[] = "Shortcuts/";

struct PageRow
{
    const char* label;
    const char* key; // without the group; null on a header row
};

// The rows of the table, header rows carrying the group name.
const PageRow pageRows[] = {
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "模板操作"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "打开模板"), "OpenTemplate"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "保存模板"), "SaveTemplate"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "打开光标下原子模板"), "OpenAtomTemplateUnderCursor"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "加入为内容条目"), "NewTemplateContentFromSelection"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "加入为大纲条目"), "NewTemplateParagraphFromSelection"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "加入为大纲子条目"), "NewTemplateChildParagraphFromSelection"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "标识为模板"), "AddTemplateMarker"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "文档操作"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "新建文档"), "NewFile"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "打开文档"), "OpenFile"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "保存"), "SaveFile"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "另存为"), "SaveFileAs"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "文件属性"), "FileProperty"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "导出为DOC文档"), "ExportDoc"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "打印预览"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "打印"), "Print"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "系统"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "退出"), "Quit"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "编辑"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "撤销"), "Undo"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "重做"), "Redo"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "剪切"), "Cut"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "拷贝"), "Copy"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "粘贴"), "Paste"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "粘贴为纯文本"), "PasteAsPlainText"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "窗口"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "关闭"), "CloseWindow"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "下一个文档窗口"), "NextWindow"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "上一个文档窗口"), "PreviousWindow"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "查找和替换"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "查找"), "Find"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "替换"), "Replace"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "到第...行"), "GoToLine"},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "视图"), nullptr},
    {QT_TRANSLATE_NOOP("ShortcutsConfigForm", "全屏"), "FullScreen"},
};

// What a row shows without edits: the stored text, or the default where nothing is stored.
QString unchangedText(const Settings& settings, const QString& key, const QString& defaultText)
{
    const QString stored = settings.value(key).toString();
    return stored.isEmpty() ? defaultText : stored;
}

bool acceptedText(const QString& text)
{
    return text.isEmpty() || !QKeySequence(text, QKeySequence::NativeText).toString(QKeySequence::PortableText).isEmpty();
}

} // namespace

ShortcutsConfigForm::ShortcutsConfigForm(QWidget* parent)
    : PreferencesPage(parent)
    , ui(new Ui::ShortcutsConfigForm)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    ui->shortCutErrorWarningLabel->hide();
    // The group box below overlaps the button: keep the button on top, and let it
    // grow to the left where the font needs more room than the form gives.
    QPushButton* restoreAll = ui->restoreAllPushButton;
    restoreAll->raise();
    const QRect place = restoreAll->geometry();
    const int width = qMax(place.width(), restoreAll->sizeHint().width());
    restoreAll->setGeometry(place.right() + 1 - width, place.y(), width, place.height());

    m_lineEdit = new ShortCutRecordLineEdit(this);
    ui->currentShortcutHorizontalLayout->addWidget(m_lineEdit);
    connect(m_lineEdit, SIGNAL(textChanged(QString)), this, SLOT(onCurrentShortcutLineEditTextChanged(QString)));
    // Moving through the table with the keys selects rows as clicks do.
    connect(ui->shortcutsTableWidget, &QTableWidget::currentCellChanged, this,
            [this](int row) { showRow(row); });

    const int rowCount = int(std::size(pageRows));
    ui->shortcutsTableWidget->setRowCount(rowCount);
    for (int row = 0; row < rowCount; ++row) {
        const PageRow& pageRow = pageRows[row];
        if (pageRow.key)
            addShortcutRow(row, tr(pageRow.label), DefaultShortcuts::text(QLatin1String(pageRow.key)),
                           QLatin1String(group) + QLatin1String(pageRow.key));
        else
            addShortcutRow(row, tr(pageRow.label), QString(), QString());
    }
}

ShortcutsConfigForm::~ShortcutsConfigForm()
{
    delete ui;
}

void ShortcutsConfigForm::addShortcutRow(int row, const QString& label, const QString& defaultText,
                                         const QString& key)
{
    const QString current = key.isEmpty() ? QString() : unchangedText(Settings(), key, defaultText);
    QTableWidget* table = ui->shortcutsTableWidget;
    table->setItem(row, LabelColumn, new QTableWidgetItem(label));
    table->setItem(row, CurrentColumn, new QTableWidgetItem(current));
    table->setItem(row, DefaultColumn, new QTableWidgetItem(defaultText));
    table->setItem(row, KeyColumn, new QTableWidgetItem(key));
}

QString ShortcutsConfigForm::cellText(int row, int column) const
{
    const QTableWidgetItem* item = ui->shortcutsTableWidget->item(row, column);
    return item ? item->text() : QString();
}

void ShortcutsConfigForm::on_shortcutsTableWidget_cellClicked(int row, int column)
{
    qDebug() << Q_FUNC_INFO << ", row =" << row << ", column =" << column;
    showRow(row);
}

void ShortcutsConfigForm::showRow(int row)
{
    if (row < 0)
        return;
    const QString current = cellText(row, CurrentColumn);
    ui->currentShortcutGroupBox->setEnabled(!current.isEmpty());
    m_lineEdit->setText(current);
}

void ShortcutsConfigForm::onCurrentShortcutLineEditTextChanged(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    if (!acceptedText(text)) {
        ui->shortCutErrorWarningLabel->show();
        return;
    }
    const int row = ui->shortcutsTableWidget->currentRow();
    if (QTableWidgetItem* item = row >= 0 ? ui->shortcutsTableWidget->item(row, CurrentColumn) : nullptr)
        item->setText(text);
    ui->shortCutErrorWarningLabel->hide();
}

void ShortcutsConfigForm::on_recordPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    m_lineEdit->clear();
    m_lineEdit->grabKeyboard();
    m_lineEdit->setProperty(countProperty, 0);
}

void ShortcutsConfigForm::on_retorePushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    stopRecording();
    const int row = ui->shortcutsTableWidget->currentRow();
    if (row < 0)
        return;
    const QString current = cellText(row, CurrentColumn);
    ui->shortcutsTableWidget->item(row, CurrentColumn)->setText(current);
    m_lineEdit->setText(current);
}

void ShortcutsConfigForm::on_restoreAllPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    stopRecording();
    QTableWidget* table = ui->shortcutsTableWidget;
    for (int row = 0; row < table->rowCount(); ++row)
        if (!cellText(row, KeyColumn).isEmpty())
            table->item(row, CurrentColumn)->setText(cellText(row, DefaultColumn));
    showRow(table->currentRow());
}

void ShortcutsConfigForm::stopRecording()
{
    m_lineEdit->releaseKeyboard();
    m_lineEdit->setProperty(countProperty, 0);
}

void ShortcutsConfigForm::apply()
{
    qDebug() << Q_FUNC_INFO;
    // Applying ends a recording, so that keys pressed in the notice that follows are not recorded.
    m_lineEdit->releaseKeyboard();
    Settings settings;
    const QTableWidget* table = ui->shortcutsTableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString key = cellText(row, KeyColumn);
        if (key.isEmpty())
            continue;
        // A row is written when it differs from what the settings hold, so an unchanged page writes nothing.
        const QString current = cellText(row, CurrentColumn);
        if (current != unchangedText(settings, key, cellText(row, DefaultColumn)))
            settings.setValue(key, current);
    }
    settings.sync();
}
