#include "DatabaseTemplateSelectionDialog.h"

#include <QAbstractItemDelegate>
#include <QDebug>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlError>

#include "DatabaseTemplate.h"
#include "Prompt.h"
#include "ui_DatabaseTemplateSelectionDialog.h"

DatabaseTemplateSelectionDialog::DatabaseTemplateSelectionDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DatabaseTemplateSelectionDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    // Importing makes a new table as well; this button has no command of its own.
    ui->createTemplateButton_2->setEnabled(false);
    connect(ui->templateTreeWidget, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), this,
            SLOT(templateTreeWigetItemDoubleClicked(QTreeWidgetItem*, int)));
    connect(ui->templateTreeWidget, SIGNAL(itemChanged(QTreeWidgetItem*, int)), this,
            SLOT(templateTreeWigetItemChanged(QTreeWidgetItem*, int)));
    connect(ui->createTemplateButton, SIGNAL(clicked()), this, SLOT(createTemplate()));
    connect(ui->removeTemplateButton, SIGNAL(clicked()), this, SLOT(removeTemplate()));
    connect(ui->renameTemplateButton, SIGNAL(clicked()), this, SLOT(renameTemplate()));
    connect(ui->locateLineEdit, SIGNAL(textChanged(QString)), this, SLOT(locateTextChanged(const QString&)));
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::hide);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::hide);
    // The edit commits before the editor closes (and the view has let the
    // editor go before this runs): an edit still pending committed nothing.
    connect(ui->templateTreeWidget->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this]() { editorClosed(); });
}

DatabaseTemplateSelectionDialog::~DatabaseTemplateSelectionDialog()
{
    delete ui;
}

QTreeWidget* DatabaseTemplateSelectionDialog::templateTreeWidget() const
{
    return ui->templateTreeWidget;
}

QPushButton* DatabaseTemplateSelectionDialog::openButton() const
{
    return ui->buttonBox->button(QDialogButtonBox::Open);
}

QString DatabaseTemplateSelectionDialog::currentTableName() const
{
    QTreeWidgetItem* item = ui->templateTreeWidget->currentItem();
    return item ? item->text(0) : QString();
}

QTreeWidgetItem* DatabaseTemplateSelectionDialog::newRow(const QString& name) const
{
    auto* item = new QTreeWidgetItem(QStringList(name));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

void DatabaseTemplateSelectionDialog::reload()
{
    qDebug() << Q_FUNC_INFO;
    m_editedItem = nullptr;
    m_editedName.clear();
    QTreeWidget* tree = ui->templateTreeWidget;
    tree->clear();
    QSqlDatabase database = m_database ? m_database() : QSqlDatabase();
    QList<QTreeWidgetItem*> rows;
    for (const QString& table : database.tables())
        rows << newRow(table);
    tree->addTopLevelItems(rows);
    tree->setCurrentItem(tree->topLevelItem(0));
    locateTextChanged(ui->locateLineEdit->text());
}

void DatabaseTemplateSelectionDialog::templateTreeWigetItemDoubleClicked(QTreeWidgetItem* item, int column)
{
    qDebug() << Q_FUNC_INFO << ", item =" << (item ? item->text(0) : QString()) << ", column =" << column;
    // A double click on a row being named belongs to its editor.
    if (item && item != m_editedItem)
        openButton()->click();
}

void DatabaseTemplateSelectionDialog::startEditing(QTreeWidgetItem* item, bool creating)
{
    m_editedItem = item;
    m_creating = creating;
    m_editedName = item->text(0);
    ui->templateTreeWidget->setCurrentItem(item);
    ui->templateTreeWidget->setFocus();
    ui->templateTreeWidget->editItem(item, 0);
}

void DatabaseTemplateSelectionDialog::createTemplate()
{
    qDebug() << Q_FUNC_INFO;
    QTreeWidget* tree = ui->templateTreeWidget;
    const int row = qMax(0, tree->indexOfTopLevelItem(tree->currentItem()));
    QTreeWidgetItem* item = newRow(QString());
    tree->insertTopLevelItem(row, item);
    startEditing(item, true);
}

void DatabaseTemplateSelectionDialog::renameTemplate()
{
    qDebug() << Q_FUNC_INFO;
    if (QTreeWidgetItem* item = ui->templateTreeWidget->currentItem())
        startEditing(item, false);
}

void DatabaseTemplateSelectionDialog::templateTreeWigetItemChanged(QTreeWidgetItem* item, int column)
{
    if (!item || item != m_editedItem)
        return;
    const QString name = item->text(column);
    const QString oldName = m_editedName;
    const bool creating = m_creating;
    qDebug() << Q_FUNC_INFO << ", creating =" << creating << ", from =" << oldName << ", to =" << name;
    m_editedItem = nullptr;
    m_editedName.clear();

    QSqlDatabase database = m_database ? m_database() : QSqlDatabase();
    QString statement;
    QString error;
    bool done = false;
    if (!DatabaseTemplate::isUsableTableName(name)) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), tr("模板名不能为空。"), QMessageBox::Ok);
        Prompt::current().exec(box);
    } else if (name == oldName && !creating) {
        done = true;
    } else if (creating ? DatabaseTemplate::createTable(database, name, &statement, &error)
                        : DatabaseTemplate::renameTable(database, oldName, name, &statement, &error)) {
        done = true;
    } else {
        reportFailure(statement, error);
    }
    if (!done) {
        if (creating) {
            delete item;
        } else {
            const QSignalBlocker blocker(ui->templateTreeWidget);
            item->setText(0, oldName);
        }
    }
    updateTemplateNumberLabel();
}

void DatabaseTemplateSelectionDialog::editorClosed()
{
    if (!m_editedItem)
        return;
    qDebug() << Q_FUNC_INFO << ", nothing committed for" << m_editedName;
    if (m_creating)
        delete m_editedItem;
    m_editedItem = nullptr;
    m_editedName.clear();
    updateTemplateNumberLabel();
}

void DatabaseTemplateSelectionDialog::removeTemplate()
{
    QTreeWidgetItem* item = ui->templateTreeWidget->currentItem();
    qDebug() << Q_FUNC_INFO << ", item =" << (item ? item->text(0) : QString());
    if (!item)
        return;
    QString statement;
    QString error;
    if (!DatabaseTemplate::dropTable(m_database ? m_database() : QSqlDatabase(), item->text(0), &statement, &error)) {
        reportFailure(statement, error);
        return;
    }
    if (item == m_editedItem)
        m_editedItem = nullptr;
    delete item;
    updateTemplateNumberLabel();
}

void DatabaseTemplateSelectionDialog::locateTextChanged(const QString& text)
{
    QTreeWidget* tree = ui->templateTreeWidget;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        item->setHidden(!item->text(0).contains(text, Qt::CaseInsensitive));
    }
    updateTemplateNumberLabel();
}

void DatabaseTemplateSelectionDialog::updateTemplateNumberLabel()
{
    QTreeWidget* tree = ui->templateTreeWidget;
    int shown = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (!tree->topLevelItem(i)->isHidden())
            ++shown;
    ui->templateNumberLabel->setText(tr("%1 / 共: %2").arg(shown).arg(tree->topLevelItemCount()));
}

void DatabaseTemplateSelectionDialog::reportFailure(const QString& statement, const QString& error)
{
    QMessageBox box(QMessageBox::Warning, tr("错误"),
                    tr("查询数据库失败: ") + statement + tr(", 错误信息: ") + (error.isEmpty() ? tr("未知错误") : error),
                    QMessageBox::Ok);
    Prompt::current().exec(box);
}
