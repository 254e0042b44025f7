#pragma once
// What the three generation input dialogs share: filling the history combo
// boxes from the field table (history, separator, word list, prompt), the
// batch widgets, and forgetting the history on Reset.
//
// The generator reads a dialog through inputs(): one entry per field, in the
// order in which it fills the placeholders, with the combo box and the folded
// history key under which the generation commands save the box's text.

#include <QDialog>
#include <QString>
#include <QVector>

#include "AutoGenInputFields.h"

class QComboBox;
class QDialogButtonBox;
class QSpinBox;
class QTextEdit;

struct AutoGenInput
{
    const AutoGenInputField* field;
    QComboBox* comboBox;
    QString historyKey; // folded, for example "AutoGen/Man1Name"

    QString placeholder() const { return QString::fromUtf8(field->placeholder); }
    // The box's current text: empty for an untouched box (the prompt is only grey).
    QString text() const;
};

class AutoGenInputDialogBase : public QDialog
{
    Q_OBJECT
public:
    AutoGenForm form() const { return m_form; }
    // Ok, Cancel and Reset.
    QDialogButtonBox* buttonBox() const { return m_buttonBox; }
    const QVector<AutoGenInput>& inputs() const { return m_inputs; }
    // The field of a placeholder, or null.
    const AutoGenInput* input(const QString& placeholder) const;

    // The batch widgets: the directory and the base name as typed, without the
    // blanks and line breaks a text box lets through, and the number of texts.
    QString outputDirectory() const;
    int generationCount() const;
    QString outputFileName() const;

    // Forgets the history of every field of the dialog's group (the other dialog
    // of the same group included) and empties every box's edit text; the items,
    // the batch widgets and the batch flag stay.
    void resetAllSettings() const;

    // Appends the values stored under the key to the box; returns their number.
    int loadComboBoxHistory(const QString& key, QComboBox* comboBox) const;

    // The folder of a form's word lists, relative to the program directory.
    static QString listFolder(AutoGenForm form);
    // The history group of a form: "AutoGen" or "Advertisement".
    static QString historyGroup(AutoGenForm form);

protected:
    AutoGenInputDialogBase(AutoGenForm form, QWidget* parent);

    enum PromptRule {
        PromptWhenListRead, // a list box shows the prompt only once its list was read
        PromptAlways,       // every box without history shows it
    };
    // Runs after the form was built: clear buttons on every combo box, then for
    // every field its history, the separator, the prompt and its word list.
    void fillInputs(PromptRule rule);
    void setFormWidgets(QDialogButtonBox* buttonBox, QTextEdit* directory, QTextEdit* name, QSpinBox* count);
    // Batch defaults: the home folder, "tmp", and the count in 1 to 1000.
    void setBatchDefaults(int count) const;

private:
    AutoGenForm m_form;
    QVector<AutoGenInput> m_inputs;
    QDialogButtonBox* m_buttonBox = nullptr;
    QTextEdit* m_directory = nullptr;
    QTextEdit* m_name = nullptr;
    QSpinBox* m_count = nullptr;
};
