#pragma once
// Lists the tables of the atom-template database, one editable row per table,
// and creates, renames and removes tables there. The Open button of its button
// box is wired by the window that shows it, which opens the current table.

#include <QDialog>
#include <QSqlDatabase>

#include <functional>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace Ui {
class DatabaseTemplateSelectionDialog;
}

class DatabaseTemplateSelectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DatabaseTemplateSelectionDialog(QWidget* parent = nullptr);
    ~DatabaseTemplateSelectionDialog() override;

    // Where the atom-template database comes from, asked at every use.
    void setDatabaseSource(const std::function<QSqlDatabase()>& source) { m_database = source; }
    // Lists the database's tables again, the first one current.
    void reload();

    QTreeWidget* templateTreeWidget() const;
    QPushButton* openButton() const;
    // The table of the current row; empty when none.
    QString currentTableName() const;

public slots:
    void templateTreeWigetItemDoubleClicked(QTreeWidgetItem* item, int column);
    void createTemplate();
    void renameTemplate();
    void removeTemplate();
    void templateTreeWigetItemChanged(QTreeWidgetItem* item, int column);
    void locateTextChanged(const QString& text);
    void updateTemplateNumberLabel();

private:
    QTreeWidgetItem* newRow(const QString& name) const;
    // Shows why a statement failed.
    void reportFailure(const QString& statement, const QString& error);
    // Ends an edit that committed nothing: a new row without a table goes again.
    void editorClosed();
    void startEditing(QTreeWidgetItem* item, bool creating);

    Ui::DatabaseTemplateSelectionDialog* ui;
    std::function<QSqlDatabase()> m_database;
    // The row being named: a new table (m_creating) or one being renamed.
    QTreeWidgetItem* m_editedItem = nullptr;
    bool m_creating = false;
    QString m_editedName;
};
