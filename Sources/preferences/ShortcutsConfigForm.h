#pragma once
// Preferences page "快捷键": the changeable shortcuts of the main window's
// actions under group header rows, each with the sequence in force on the page,
// its default and its settings key. A row's sequence is recorded in the line edit
// below the table; apply writes the rows whose sequence differs from what the
// settings hold, and the dialog then has the main window bind them.

#include "PreferencesPage.h"

class ShortCutRecordLineEdit;

namespace Ui {
class ShortcutsConfigForm;
}

class ShortcutsConfigForm : public PreferencesPage
{
    Q_OBJECT
public:
    explicit ShortcutsConfigForm(QWidget* parent = nullptr);
    ~ShortcutsConfigForm() override;

    void apply() override;

    ShortCutRecordLineEdit* recordLineEdit() const { return m_lineEdit; }

    // Table columns.
    enum Column { LabelColumn, CurrentColumn, DefaultColumn, KeyColumn };

private slots:
    void on_shortcutsTableWidget_cellClicked(int row, int column);
    void onCurrentShortcutLineEditTextChanged(const QString& text);
    void on_recordPushButton_clicked();
    void on_retorePushButton_clicked();
    void on_restoreAllPushButton_clicked();

private:
    void addShortcutRow(int row, const QString& label, const QString& defaultText, const QString& key);
    // Puts the row's current sequence into the edit; a row without one disables the edit group.
    void showRow(int row);
    // Ends a recording: the keyboard goes back and the chord count starts again.
    void stopRecording();
    QString cellText(int row, int column) const;

    Ui::ShortcutsConfigForm* ui;
    ShortCutRecordLineEdit* m_lineEdit;
};
